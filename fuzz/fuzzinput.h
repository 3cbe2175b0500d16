#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads a fuzzer's input front to back; past the end every read gives zeros, so a target never
// has to check what is left.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    uint8_t Byte() { return offset < size ? data[offset++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    uint32_t Long() { return Word() | (static_cast<uint32_t>(Word()) << 16); }
    uint64_t Quad() { return Long() | (static_cast<uint64_t>(Long()) << 32); }
    size_t Left() const { return offset < size ? size - offset : 0; }
    const uint8_t* Rest() const { return data + (offset < size ? offset : size); }

    // A UTF-16 text of up to maxLength units, any values (unpaired surrogates and zeros too).
    std::u16string Text(size_t maxLength) {
        const size_t length = Byte() % (maxLength + 1);
        std::u16string text;
        for (size_t i = 0; i < length && Left() > 0; ++i) {
            text.push_back(static_cast<char16_t>(Word()));
        }
        return text;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t offset = 0;
};
