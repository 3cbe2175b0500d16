// Checks of the city database file that the product ships (data/Zonrik.dll), read here by a walk
// of its own so that a fault in the generator is not hidden by the same fault in the reader.
#include "citydb/citydatabase.h"

#include "platform/files/programfiles.h"
#include "platform/text/textops.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadShipped() {
    std::ifstream in(RINGLOG_SHIPPED_CITYDB, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint16_t U16(const std::vector<uint8_t>& d, size_t pos) {
    return static_cast<uint16_t>(d[pos] | (d[pos + 1] << 8));
}

uint32_t U32(const std::vector<uint8_t>& d, size_t pos) {
    return d[pos] | (d[pos + 1] << 8) | (d[pos + 2] << 16) | (static_cast<uint32_t>(d[pos + 3]) << 24);
}

} // namespace

TEST(ShippedCityDatabase, HasAWellFormedIndexAndBlocks) {
    const std::vector<uint8_t> d = ReadShipped();
    ASSERT_GE(d.size(), 2488u);
    int previous = -1;
    size_t cities = 0;
    size_t exchanges = 0;
    for (size_t i = 0; i < 311; ++i) {
        const size_t entry = i * 8;
        const int area = static_cast<int16_t>(U16(d, entry));
        EXPECT_GT(area, previous) << "entry " << i;
        EXPECT_GE(area, 200);
        EXPECT_LE(area, 999);
        previous = area;
        EXPECT_TRUE(d[entry + 2] >= 'A' && d[entry + 2] <= 'Z' && d[entry + 3] >= 'A' && d[entry + 3] <= 'Z');
        size_t pos = U32(d, entry + 4);
        ASSERT_GE(pos, 2488u) << area;
        ASSERT_LT(pos, d.size()) << area;
        // name, 0, codes, 00 00, ..., EA 03
        bool ended = false;
        while (!ended) {
            SCOPED_TRACE(area);
            ASSERT_FALSE(pos + 1 < d.size() && d[pos] == 0xEA && d[pos + 1] == 0x03) << "name begins with EA 03";
            size_t length = 0;
            while (pos + length < d.size() && d[pos + length] != 0) {
                ++length;
            }
            ASSERT_LT(pos + length, d.size()) << "name without terminator";
            ASSERT_GE(length, 1u);
            ASSERT_LE(length, 49u);
            ++cities;
            pos += length + 1;
            for (;;) {
                ASSERT_LE(pos + 2, d.size());
                const uint16_t code = U16(d, pos);
                pos += 2;
                if (code == 0) {
                    break;
                }
                EXPECT_GE(code, 200);
                EXPECT_LE(code, 999);
                ++exchanges;
            }
            ASSERT_LE(pos + 2, d.size());
            if (U16(d, pos) == 1002) {
                ended = true;
            }
        }
    }
    EXPECT_GT(cities, 311u);
    EXPECT_GT(exchanges, 40000u);
}

TEST(ShippedCityDatabase, GivesKnownAnswers) {
    SetCityDatabaseOverride(RINGLOG_SHIPPED_CITYDB);
    ASSERT_EQ(CityDatabase::Load(), 0);
    struct Row {
        const char16_t* number;
        const char16_t* city;
        const char16_t* state;
    };
    const Row rows[] = {
        {u"2063861234", u"Seattle", u"WA"},
        {u"2125551234", u"New York", u"NY"},
        {u"4182691234", u"Gasp\u00E9", u"QC"}, // kept in ISO 8859-1
        {u"8082481234", u"Hana", u"HI"},       // transliterated
        {u"2025551234", u"", u"DC"},           // a state-only area code
        {u"9998881234", u"", u""},             // not in the index
    };
    for (const Row& row : rows) {
        FixedText<50> city;
        FixedText<3> state;
        EXPECT_EQ(CityDatabase::Lookup(row.number, city.Data(), city.capacity, state.Data(), state.capacity), 0);
        EXPECT_TRUE(city.Equals(row.city)) << std::u16string(row.number).size();
        EXPECT_TRUE(state.Equals(row.state));
    }
    CityDatabase::Unload();
    SetCityDatabaseOverride("");
}

// Every exchange that the file lists under a city is found under that city by the program's own
// lookup, and the first listing wins when an exchange is listed twice in a block.
TEST(ShippedCityDatabase, LookupFindsEveryListedExchange) {
    const std::vector<uint8_t> d = ReadShipped();
    ASSERT_GE(d.size(), 2488u);
    SetCityDatabaseOverride(RINGLOG_SHIPPED_CITYDB);
    ASSERT_EQ(CityDatabase::Load(), 0);
    size_t checked = 0;
    for (size_t i = 0; i < 311; ++i) {
        const int area = static_cast<int16_t>(U16(d, i * 8));
        const char16_t state[3] = {d[i * 8 + 2], d[i * 8 + 3], 0};
        std::vector<bool> seen(1000, false);
        size_t pos = U32(d, i * 8 + 4);
        do {
            std::u16string name;
            while (pos < d.size() && d[pos] != 0) {
                name += static_cast<char16_t>(d[pos++]);
            }
            ++pos;
            for (uint16_t code = U16(d, pos); code != 0; code = U16(d, pos)) {
                pos += 2;
                if (code >= 1000 || seen[code]) {
                    continue;
                }
                seen[code] = true;
                char digits[16];
                std::snprintf(digits, sizeof digits, "%03d%03u1234", area, code);
                const std::u16string number(digits, digits + 10);
                FixedText<50> city;
                FixedText<3> found;
                CityDatabase::Lookup(number.c_str(), city.Data(), city.capacity, found.Data(), found.capacity);
                ASSERT_TRUE(city.Equals(name.c_str())) << digits;
                ASSERT_TRUE(found.Equals(state)) << digits;
                ++checked;
            }
            pos += 2;
        } while (pos + 2 <= d.size() && U16(d, pos) != 1002);
    }
    EXPECT_GT(checked, 40000u);
    CityDatabase::Unload();
    SetCityDatabaseOverride("");
}
