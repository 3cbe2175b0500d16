#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Little-endian reader over a byte span that never reads past its end: every read reports
// failure instead, so the resource readers can reject damaged data with a single check.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : data(bytes) {}

    size_t Offset() const { return pos; }
    size_t Remaining() const { return data.size() - pos; }

    bool Skip(size_t count) {
        if (count > Remaining()) {
            return false;
        }
        pos += count;
        return true;
    }

    // Moves to the next multiple of `alignment` counted from the start of the span.
    bool Align(size_t alignment) {
        size_t rest = pos % alignment;
        return rest == 0 || Skip(alignment - rest);
    }

    bool U8(uint8_t& out) {
        if (Remaining() < 1) {
            return false;
        }
        out = data[pos++];
        return true;
    }

    bool U16(uint16_t& out) {
        if (Remaining() < 2) {
            return false;
        }
        out = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return true;
    }

    bool I16(int16_t& out) {
        uint16_t raw = 0;
        if (!U16(raw)) {
            return false;
        }
        out = static_cast<int16_t>(raw);
        return true;
    }

    bool U32(uint32_t& out) {
        uint16_t low = 0;
        uint16_t high = 0;
        if (Remaining() < 4 || !U16(low) || !U16(high)) {
            return false;
        }
        out = static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16);
        return true;
    }

    bool I32(int32_t& out) {
        uint32_t raw = 0;
        if (!U32(raw)) {
            return false;
        }
        out = static_cast<int32_t>(raw);
        return true;
    }

    // A zero-terminated string of 16-bit characters; fails when the terminator is missing.
    bool String16(std::u16string& out) {
        out.clear();
        for (;;) {
            uint16_t ch = 0;
            if (!U16(ch)) {
                return false;
            }
            if (ch == 0) {
                return true;
            }
            out.push_back(static_cast<char16_t>(ch));
        }
    }

    // `count` 16-bit characters without terminator.
    bool Chars16(size_t count, std::u16string& out) {
        out.clear();
        if (count > Remaining() / 2) {
            return false;
        }
        out.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            uint16_t ch = 0;
            U16(ch);
            out.push_back(static_cast<char16_t>(ch));
        }
        return true;
    }

    // A name or number field of resource headers and templates: 0xFFFF and a 16-bit number,
    // or a zero-terminated string of 16-bit characters.
    bool NameOrOrdinal(bool& isOrdinal, uint16_t& ordinal, std::u16string& name) {
        uint16_t first = 0;
        if (Remaining() < 2) {
            return false;
        }
        first = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
        name.clear();
        if (first == 0xFFFF) {
            pos += 2;
            isOrdinal = true;
            return U16(ordinal);
        }
        isOrdinal = false;
        ordinal = 0;
        return String16(name);
    }

    std::span<const uint8_t> Bytes(size_t count) {
        if (count > Remaining()) {
            return {};
        }
        std::span<const uint8_t> out = data.subspan(pos, count);
        pos += count;
        return out;
    }

private:
    std::span<const uint8_t> data;
    size_t pos = 0;
};
