#include "citydb/citydatabase.h"

#include "platform/files/fileservice.h"
#include "platform/msgbox/messagebox.h"
#include "platform/text/textops.h"

#include <new>

namespace {

constexpr char16_t kDatabasePath[] = u"\\Program Files\\Zonrik\\Zonrik.dll";

// One image for the whole process; null while nothing is loaded.
uint8_t* image = nullptr;
size_t imageSize = 0;

// Reads the uint16 at pos into value when all of it lies inside the image.
bool ReadUInt16(size_t pos, uint16_t& value) {
    if (pos > imageSize || imageSize - pos < 2) {
        return false;
    }
    value = static_cast<uint16_t>(image[pos] | (image[pos + 1] << 8));
    return true;
}

// Integer value of a three-character piece: leading blanks, one sign, digits up to the first
// other character; no digits give 0.
int PieceValue(const char16_t* piece) {
    size_t i = 0;
    while (i < 3 && (piece[i] == u' ' || (piece[i] >= u'\t' && piece[i] <= u'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < 3 && (piece[i] == u'+' || piece[i] == u'-')) {
        negative = piece[i] == u'-';
        ++i;
    }
    int value = 0;
    while (i < 3 && piece[i] >= u'0' && piece[i] <= u'9') {
        value = value * 10 + (piece[i] - u'0');
        ++i;
    }
    return negative ? -value : value;
}

} // namespace

int CityDatabase::Load() {
    if (image != nullptr) {
        return 0;
    }
    FileHandle file = OpenFileForRead(kDatabasePath);
    if (file == kInvalidFile) {
        ShowMessageBox(nullptr, u"DB file not found", u"Zonrik", MB_OK | MB_ICONSTOP);
        return -1;
    }
    uint64_t size = 0;
    // A file shorter than its fixed index cannot be a database: refuse it rather than keep an
    // image in which nothing can be found.
    if (GetFileSize(file, size) != 0 || size < kIndexSize || size > SIZE_MAX) {
        CloseFile(file);
        return -1;
    }
    uint8_t* buffer = new (std::nothrow) uint8_t[size];
    if (buffer == nullptr) {
        CloseFile(file);
        return -1;
    }
    if (ReadFileBytes(file, buffer, size) != 0) {
        CloseFile(file);
        delete[] buffer;
        return -1;
    }
    CloseFile(file);
    image = buffer;
    imageSize = size;
    return 0;
}

void CityDatabase::Unload() {
    delete[] image;
    image = nullptr;
    imageSize = 0;
}

bool CityDatabase::IsLoaded() {
    return image != nullptr;
}

int CityDatabase::Lookup(const char16_t* number, char16_t* city, size_t cityCapacity, char16_t* state,
                         size_t stateCapacity) {
    int16_t areaCode = 0;
    int16_t exchange = 0;
    if (ParseNumber(number, areaCode, exchange) == -1) {
        return -1;
    }
    if (areaCode == 0 || exchange == 0) {
        return 0;
    }
    if (image == nullptr) {
        return 0;
    }
    const int entry = FindAreaCode(areaCode);
    if (entry == -1) {
        return 0;
    }
    const uint8_t* e = image + static_cast<size_t>(entry) * kIndexEntrySize;
    const char16_t letters[3] = {e[2], e[3], u'\0'};
    TextCopy(state, stateCapacity, letters);
    const uint32_t blockOffset = static_cast<uint32_t>(e[4]) | (static_cast<uint32_t>(e[5]) << 8) |
                                 (static_cast<uint32_t>(e[6]) << 16) | (static_cast<uint32_t>(e[7]) << 24);
    FindExchange(exchange, blockOffset, city, cityCapacity);
    return 0;
}

int CityDatabase::ParseNumber(const char16_t* number, int16_t& areaCode, int16_t& exchange) {
    areaCode = 0;
    exchange = 0;
    const size_t n = TextLength(number);
    if (n < 10) {
        return -1;
    }
    // Only the last ten characters count: a dialling prefix in front is harmless.
    areaCode = static_cast<int16_t>(PieceValue(number + n - 10));
    exchange = static_cast<int16_t>(PieceValue(number + n - 7));
    return 0;
}

int CityDatabase::FindAreaCode(int16_t areaCode) {
    int low = 0;
    int high = kIndexEntries - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        uint16_t raw = 0;
        if (!ReadUInt16(static_cast<size_t>(middle) * kIndexEntrySize, raw)) {
            return -1;
        }
        const int16_t probe = static_cast<int16_t>(raw);
        if (areaCode > probe) {
            low = middle + 1;
        } else if (areaCode == probe) {
            // The entry's state and offset must lie inside the image too.
            return static_cast<size_t>(middle + 1) * kIndexEntrySize <= imageSize ? middle : -1;
        } else {
            high = middle - 1;
        }
    }
    return -1;
}

void CityDatabase::FindExchange(int16_t exchange, uint32_t blockOffset, char16_t* city, size_t cityCapacity) {
    const uint16_t wanted = static_cast<uint16_t>(exchange);
    size_t pos = blockOffset;
    int length = ReadCityName(blockOffset, city, cityCapacity);
    if (length < 0) {
        return;
    }
    pos += static_cast<size_t>(length) + 1;
    uint16_t code = 0;
    if (!ReadUInt16(pos, code)) {
        TextCopy(city, cityCapacity, u"");
        return;
    }
    pos += 2;
    // 1002 ends the block only right behind a separator 0; elsewhere it is read as an exchange.
    while (code != wanted) {
        if (code == 0) {
            uint16_t next = 0;
            if (!ReadUInt16(pos, next) || next == kEndMarker) {
                TextCopy(city, cityCapacity, u"");
                return;
            }
            length = ReadCityName(static_cast<uint32_t>(pos), city, cityCapacity);
            if (length < 0) {
                return;
            }
            pos += static_cast<size_t>(length) + 1;
        }
        if (!ReadUInt16(pos, code)) {
            TextCopy(city, cityCapacity, u"");
            return;
        }
        pos += 2;
    }
}

int CityDatabase::ReadCityName(uint32_t offset, char16_t* city, size_t cityCapacity) {
    TextCopy(city, cityCapacity, u"");
    if (image == nullptr || offset >= imageSize) {
        return -1;
    }
    size_t length = 0;
    while (length <= kMaxNameLength && offset + length < imageSize && image[offset + length] != 0) {
        ++length;
    }
    if (length > kMaxNameLength || offset + length >= imageSize) {
        return -1;
    }
    char16_t name[kMaxNameLength + 1] = {};
    for (size_t i = 0; i < length; ++i) {
        name[i] = image[offset + i];
    }
    TextCopy(city, cityCapacity, name);
    return static_cast<int>(length);
}
