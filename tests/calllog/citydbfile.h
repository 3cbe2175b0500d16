#pragma once

// Writes a small city database in the shipped file's format, so tests know every place in it:
// 311 area codes from 201 to 511, all in state "XX" with no cities, except
//   425 (WA): Redmond 555, 882; Bellevue 641
//   206 (WA): Seattle 386
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace citydbfile {

inline void PutU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void PutCity(std::vector<uint8_t>& out, const char* name, std::initializer_list<uint16_t> exchanges) {
    for (const char* c = name; *c != '\0'; ++c) {
        out.push_back(static_cast<uint8_t>(*c));
    }
    out.push_back(0);
    for (uint16_t exchange : exchanges) {
        PutU16(out, exchange);
    }
    PutU16(out, 0);
}

inline void Write(const std::string& path) {
    constexpr int kFirst = 201;
    constexpr int kCount = 311;
    std::vector<uint8_t> blocks;
    const uint32_t base = kCount * 8;
    const uint32_t emptyBlock = base;
    PutU16(blocks, 1002);
    const uint32_t block425 = base + static_cast<uint32_t>(blocks.size());
    PutCity(blocks, "Redmond", {555, 882});
    PutCity(blocks, "Bellevue", {641});
    PutU16(blocks, 1002);
    const uint32_t block206 = base + static_cast<uint32_t>(blocks.size());
    PutCity(blocks, "Seattle", {386});
    PutU16(blocks, 1002);

    std::vector<uint8_t> file;
    for (int i = 0; i < kCount; ++i) {
        const int areaCode = kFirst + i;
        PutU16(file, static_cast<uint16_t>(areaCode));
        const bool washington = areaCode == 425 || areaCode == 206;
        file.push_back(washington ? 'W' : 'X');
        file.push_back(washington ? 'A' : 'X');
        const uint32_t offset = areaCode == 425 ? block425 : areaCode == 206 ? block206 : emptyBlock;
        PutU16(file, static_cast<uint16_t>(offset & 0xFFFF));
        PutU16(file, static_cast<uint16_t>(offset >> 16));
    }
    file.insert(file.end(), blocks.begin(), blocks.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

} // namespace citydbfile
