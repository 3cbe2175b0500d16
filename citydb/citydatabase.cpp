#include "citydb/citydatabase.h"

#include "platform/files/fileservice.h"
#include "platform/msgbox/messagebox.h"
#include "platform/text/textops.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr char16_t kDatabasePath[] = u"\\Program Files\\Zonrik\\Zonrik.dll";

// One image for the whole process; null while nothing is loaded.
uint8_t* image = nullptr;
size_t imageSize = 0;

// Eight bytes at p as a little-endian number: four 16-bit codes, lowest first.
uint64_t ReadUInt64(const uint8_t* p) {
    uint64_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, p, sizeof value);
    } else {
        for (int i = 7; i >= 0; --i) {
            value = (value << 8) | p[i];
        }
    }
    return value;
}

// The top bit of each 16-bit lane of v that is 0. Only the lowest marked lane is certain (a lane
// above a zero one may be marked too), which is all the scan asks for.
uint64_t ZeroLanes(uint64_t v) {
    return (v - 0x0001000100010001ULL) & ~v & 0x8000800080008000ULL;
}

// The top bit of each byte of v that is 0; as above, only the lowest mark is certain.
uint64_t ZeroBytes(uint64_t v) {
    return (v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL;
}

// Length of the name at offset, or -1 when its terminator does not stand within 49 bytes and
// inside the image: a longer name would put the scan out of step, a missing one runs off the end.
inline int NameLength(size_t offset) {
    if (offset >= imageSize) {
        return -1;
    }
    const size_t limit = std::min(CityDatabase::kMaxNameLength + 1, imageSize - offset);
    const uint8_t* name = image + offset;
    // Most names are shorter than 16 bytes: their terminator is found in the first two words
    // without a branch that depends on the length.
    if (limit >= 16) {
        const uint64_t first = ZeroBytes(ReadUInt64(name));
        const uint64_t second = ZeroBytes(ReadUInt64(name + 8));
        const int inFirst = std::countr_zero(first) / 8;       // 8 when none
        const int inSecond = 8 + std::countr_zero(second) / 8; // 16 when none
        const int length = first != 0 ? inFirst : inSecond;
        if (length < 16) {
            return length;
        }
    }
    // Longer names, and names near the end of the image: eight bytes at a time.
    size_t length = 0;
    for (; length + 8 <= limit; length += 8) {
        const uint64_t zeros = ZeroBytes(ReadUInt64(name + length));
        if (zeros != 0) {
            return static_cast<int>(length + std::countr_zero(zeros) / 8);
        }
    }
    for (; length < limit; ++length) {
        if (name[length] == 0) {
            return static_cast<int>(length);
        }
    }
    return -1;
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
    // Load refuses an image shorter than the index; this keeps the probes inside it regardless.
    if (image == nullptr || imageSize < kIndexSize) {
        return -1;
    }
    int low = 0;
    int high = kIndexEntries - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const uint8_t* entry = image + static_cast<size_t>(middle) * kIndexEntrySize;
        const auto probe = static_cast<int16_t>(entry[0] | (entry[1] << 8));
        if (areaCode > probe) {
            low = middle + 1;
        } else if (areaCode == probe) {
            return middle;
        } else {
            high = middle - 1;
        }
    }
    return -1;
}

void CityDatabase::FindExchange(int16_t exchange, uint32_t blockOffset, char16_t* city, size_t cityCapacity) {
    // The scan only measures names on its way; the name of the city whose exchange matches is
    // copied at the end. The answer is the same as copying every name it passes, at a fraction
    // of the cost in large blocks.
    TextCopy(city, cityCapacity, u"");
    if (image == nullptr) {
        return;
    }
    const uint16_t wanted = static_cast<uint16_t>(exchange);
    size_t nameOffset = blockOffset;
    int length = NameLength(nameOffset);
    if (length < 0) {
        return;
    }
    // p walks the block; a 16-bit value can be read while p < last.
    const uint8_t* p = image + nameOffset + length + 1;
    const uint8_t* const last = image + imageSize - 1;
    const uint64_t wantedLanes = 0x0001000100010001ULL * wanted;
    while (p < last) {
        // Skip four codes at a time up to the first that is the exchange or a separator.
        while (last - p >= 7) {
            const uint64_t codes = ReadUInt64(p);
            const uint64_t stops = ZeroLanes(codes) | ZeroLanes(codes ^ wantedLanes);
            if (stops != 0) {
                p += std::countr_zero(stops) / 16 * 2;
                break;
            }
            p += 8;
        }
        if (p >= last) {
            return;
        }
        const uint16_t code = static_cast<uint16_t>(p[0] | (p[1] << 8));
        p += 2;
        if (code == wanted) {
            ReadCityName(static_cast<uint32_t>(nameOffset), city, cityCapacity);
            return;
        }
        // 1002 ends the block only right behind a separator 0; elsewhere it is read as an exchange.
        if (code == 0) {
            if (p >= last || static_cast<uint16_t>(p[0] | (p[1] << 8)) == kEndMarker) {
                return;
            }
            nameOffset = static_cast<size_t>(p - image);
            length = NameLength(nameOffset);
            if (length < 0) {
                return;
            }
            p += length + 1;
        }
    }
}

int CityDatabase::ReadCityName(uint32_t offset, char16_t* city, size_t cityCapacity) {
    TextCopy(city, cityCapacity, u"");
    const int length = NameLength(offset);
    if (length < 0 || city == nullptr || cityCapacity == 0) {
        return length;
    }
    const size_t copied = std::min(static_cast<size_t>(length), cityCapacity - 1);
    for (size_t i = 0; i < copied; ++i) {
        city[i] = image[offset + i]; // ISO 8859-1 widens to the same UTF-16 value
    }
    city[copied] = u'\0';
    return length;
}
