#pragma once

// Hand-made city database images for the tests, written to temporary files that the database
// loads through its override path.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

struct TestCity {
    std::string name; // bytes as stored
    std::vector<uint16_t> exchanges;
};

// A block: each city's name, zero byte, exchanges, 00 00; then EA 03.
inline std::string CityBlock(const std::vector<TestCity>& cities, bool endMarker = true) {
    std::string out;
    auto put16 = [&out](uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    for (const TestCity& city : cities) {
        out += city.name;
        out += '\0';
        for (uint16_t code : city.exchanges) {
            put16(code);
        }
        put16(0);
    }
    if (endMarker) {
        put16(1002);
    }
    return out;
}

// 311 area codes 201 to 511, state "ZZ", each with the block "City<code>" holding exchange 555,
// unless a block or state is given for it. Blocks are laid out in order behind the index.
struct ImageSpec {
    std::map<int, std::string> blocks;
    std::map<int, std::string> states;
    std::map<int, uint32_t> offsets; // replaces the offset written for an area code
    std::string tail;                // raw bytes appended behind the last block
};

constexpr int kFirstTestArea = 201;
constexpr int kLastTestArea = 511;

inline std::string BuildImage(const ImageSpec& spec) {
    std::string index;
    std::string blocks;
    for (int area = kFirstTestArea; area <= kLastTestArea; ++area) {
        const auto state = spec.states.find(area);
        const std::string letters = state != spec.states.end() ? state->second : "ZZ";
        const auto block = spec.blocks.find(area);
        const auto offset = spec.offsets.find(area);
        uint32_t where = static_cast<uint32_t>(311 * 8 + blocks.size());
        if (offset != spec.offsets.end()) {
            where = offset->second;
        }
        index += static_cast<char>(area & 0xFF);
        index += static_cast<char>(area >> 8);
        index += letters.substr(0, 2);
        for (int shift = 0; shift < 32; shift += 8) {
            index += static_cast<char>((where >> shift) & 0xFF);
        }
        blocks += block != spec.blocks.end() ? block->second : CityBlock({{"City" + std::to_string(area), {555}}});
    }
    return index + blocks + spec.tail;
}

// A temporary file that is removed when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        char name[] = "/tmp/citydb_test_XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) {
            close(fd);
        }
        path = name;
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { std::remove(path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::string path;
};
