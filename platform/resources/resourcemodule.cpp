#include "platform/resources/resourcemodule.h"

#include "platform/resources/bytereader.h"
#include "platform/resources/dibdecoder.h"
#include "platform/resources/embeddedres.h"

// Compiled resource file (.res), little-endian, a sequence of entries each on a 4-byte boundary:
//   u32 data size, u32 header size (counted from the entry's start, data follows the header)
//   type, name: each 0xFFFF + u16 number, or zero-terminated UTF-16; then padding to 4 bytes
//   u32 data version, u16 memory flags, u16 language, u32 version, u32 characteristics
//   data, then padding to 4 bytes
// The file opens with an empty entry (data size 0, header size 32, type 0, name 0) that marks it
// as a 32-bit resource file; it is checked and not listed.

namespace {

char16_t AsciiUpper(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') ? static_cast<char16_t>(ch - u'a' + u'A') : ch;
}

bool ReadEntryHeader(std::span<const uint8_t> header, ResourceId& type, ResourceId& name) {
    ByteReader reader(header);
    // Skips the two sizes, already read by the caller.
    if (!reader.Skip(8) || !reader.NameOrOrdinal(type.isNumber, type.number, type.name) ||
        !reader.NameOrOrdinal(name.isNumber, name.number, name.name) || !reader.Align(4)) {
        return false;
    }
    // Data version, memory flags, language, version and characteristics.
    return reader.Remaining() >= 16;
}

} // namespace

ResourceId ResourceId::Number(uint16_t value) {
    ResourceId id;
    id.number = value;
    return id;
}

ResourceId ResourceId::Name(std::u16string value) {
    ResourceId id;
    id.isNumber = false;
    id.name = std::move(value);
    return id;
}

bool ResourceId::Matches(const ResourceId& other) const {
    if (isNumber != other.isNumber) {
        return false;
    }
    if (isNumber) {
        return number == other.number;
    }
    if (name.size() != other.name.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (AsciiUpper(name[i]) != AsciiUpper(other.name[i])) {
            return false;
        }
    }
    return true;
}

const ResourceModule& ResourceModule::Program() {
    static const ResourceModule module = [] {
        ResourceModule loaded;
        // A damaged embedded file leaves the module empty: every lookup then fails.
        loaded.LoadFromBytes(std::span<const uint8_t>(kEmbeddedRes, kEmbeddedResSize));
        return loaded;
    }();
    return module;
}

int ResourceModule::LoadFromBytes(std::span<const uint8_t> res) {
    bytes.clear();
    entries.clear();
    std::vector<Entry> found;
    size_t pos = 0;
    bool first = true;
    while (pos < res.size()) {
        ByteReader sizes(res.subspan(pos));
        uint32_t dataSize = 0;
        uint32_t headerSize = 0;
        if (!sizes.U32(dataSize) || !sizes.U32(headerSize)) {
            return -1;
        }
        size_t rest = res.size() - pos;
        if (headerSize < 8 || headerSize > rest || dataSize > rest - headerSize) {
            return -1;
        }
        Entry entry;
        if (!ReadEntryHeader(res.subspan(pos, headerSize), entry.type, entry.name)) {
            return -1;
        }
        entry.offset = pos + headerSize;
        entry.size = dataSize;
        if (first) {
            if (dataSize != 0 || !entry.type.isNumber || entry.type.number != 0) {
                return -1;
            }
            first = false;
        } else if (!(entry.type.isNumber && entry.type.number == 0)) {
            found.push_back(std::move(entry));
        }
        pos += headerSize + dataSize;
        if (pos < res.size()) {
            // Padding follows the data: it must be there in full.
            pos += (4 - pos % 4) % 4;
            if (pos > res.size()) {
                return -1;
            }
        }
    }
    if (first) {
        return -1;
    }
    bytes.assign(res.begin(), res.end());
    entries = std::move(found);
    return 0;
}

int ResourceModule::Find(const ResourceId& type, const ResourceId& name, std::span<const uint8_t>& data) const {
    for (const Entry& entry : entries) {
        if (entry.type.Matches(type) && entry.name.Matches(name)) {
            data = std::span<const uint8_t>(bytes).subspan(entry.offset, entry.size);
            return 0;
        }
    }
    return -1;
}

// String table (RT_STRING) resource number n holds strings 16 × (n − 1) to 16 × (n − 1) + 15:
// sixteen records of u16 length and that many UTF-16 characters, no terminator. Length 0 is
// a string that does not exist.
int ResourceModule::LoadString(uint16_t id, std::u16string& out) const {
    std::span<const uint8_t> data;
    if (Find(ResourceId::Number(RT_STRING), ResourceId::Number(static_cast<uint16_t>(id / 16 + 1)), data) != 0) {
        return -1;
    }
    ByteReader reader(data);
    std::u16string text;
    for (unsigned i = 0; i <= id % 16u; ++i) {
        uint16_t length = 0;
        if (!reader.U16(length) || !reader.Chars16(length, text)) {
            return -1;
        }
    }
    if (text.empty()) {
        return -1;
    }
    out = std::move(text);
    return 0;
}

int ResourceModule::LoadMenu(uint16_t id, MenuTemplate& out) const {
    std::span<const uint8_t> data;
    if (Find(ResourceId::Number(RT_MENU), ResourceId::Number(id), data) != 0) {
        return -1;
    }
    return ParseMenuTemplate(data, out);
}

int ResourceModule::LoadDialog(uint16_t id, DialogTemplate& out) const {
    std::span<const uint8_t> data;
    if (Find(ResourceId::Number(RT_DIALOG), ResourceId::Number(id), data) != 0) {
        return -1;
    }
    return ParseDialogTemplate(data, out);
}

int ResourceModule::LoadBitmap(uint16_t id, Bitmap& out) const {
    std::span<const uint8_t> data;
    if (Find(ResourceId::Number(RT_BITMAP), ResourceId::Number(id), data) != 0) {
        return -1;
    }
    return DecodeBitmap(data, out);
}

// Group icon (RT_GROUP_ICON): u16 reserved (0), u16 type (1), u16 count, then count entries of
// 14 bytes: u8 width, u8 height, u8 colours, u8 reserved, u16 planes, u16 bits, u32 size,
// u16 number of the RT_ICON resource holding the image.
int ResourceModule::LoadIcon(uint16_t id, Bitmap& out) const {
    std::span<const uint8_t> group;
    if (Find(ResourceId::Number(RT_GROUP_ICON), ResourceId::Number(id), group) != 0) {
        return -1;
    }
    ByteReader reader(group);
    uint16_t reserved = 0;
    uint16_t type = 0;
    uint16_t count = 0;
    uint16_t imageId = 0;
    if (!reader.U16(reserved) || !reader.U16(type) || !reader.U16(count) || type != 1 || count == 0 ||
        !reader.Skip(12) || !reader.U16(imageId)) {
        return -1;
    }
    std::span<const uint8_t> image;
    if (Find(ResourceId::Number(RT_ICON), ResourceId::Number(imageId), image) != 0) {
        return -1;
    }
    return DecodeIconImage(image, out);
}

int ResourceModule::LoadAccelerators(uint16_t id, std::vector<Accelerator>& out) const {
    std::span<const uint8_t> data;
    if (Find(ResourceId::Number(RT_ACCELERATOR), ResourceId::Number(id), data) != 0) {
        return -1;
    }
    return ParseAccelerators(data, out);
}

// Accelerator table (RT_ACCELERATOR): entries of 8 bytes, u16 flags (FVIRTKEY, FSHIFT,
// FCONTROL, FALT; 0x80 marks the last entry), u16 key, u16 command, u16 padding.
int ParseAccelerators(std::span<const uint8_t> data, std::vector<Accelerator>& out) {
    constexpr uint16_t kLastEntry = 0x80;
    ByteReader reader(data);
    std::vector<Accelerator> table;
    for (;;) {
        Accelerator entry;
        uint16_t padding = 0;
        if (!reader.U16(entry.flags) || !reader.U16(entry.key) || !reader.U16(entry.command) || !reader.U16(padding)) {
            return -1;
        }
        bool last = (entry.flags & kLastEntry) != 0;
        entry.flags = static_cast<uint16_t>(entry.flags & ~kLastEntry);
        table.push_back(entry);
        if (last) {
            break;
        }
    }
    out = std::move(table);
    return 0;
}
