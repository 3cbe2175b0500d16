// citydbgen: writes the city database file from the offline geocoder of libphonenumber.
//
// It asks the geocoder, in English, about every +1 number AAA-EEE-0000 with area code AAA and
// exchange EEE from 200 to 999, and writes the 311-entry file that the program reads:
//   - area codes whose answers include "City, ST", then the lowest-numbered US and Canadian area
//     codes whose 800 exchanges all give the same state or province name, until there are 311;
//   - an area code's state is the most common ", ST" of its cities; a city of another state is
//     left out, so its exchanges give the state alone;
//   - names are ISO 8859-1, at most 49 bytes; other characters are transliterated;
//   - a block lists its cities in order of their lowest exchange; a state-only area code's block
//     is its state or province name with no exchanges.
// File layout: see citydb/citydatabase.h.
//
// Usage: citydbgen OUTPUT_FILE    (a summary goes to standard error)

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberOfflineGeocoder;
using i18n::phonenumbers::PhoneNumberUtil;

constexpr int kFirst = 200;
constexpr int kLast = 999;
constexpr int kExchanges = kLast - kFirst + 1;
constexpr size_t kIndexEntries = 311;
constexpr size_t kMaxNameLength = 49;
constexpr uint16_t kEndMarker = 1002;

struct Answer {
    std::string region;      // "US", "CA", ...
    std::string description; // "Seattle, WA", "Ohio", "United States", or empty
};

struct City {
    std::string name; // ISO 8859-1
    std::vector<uint16_t> exchanges;
};

struct AreaCode {
    int code = 0;
    char state[2] = {};
    std::vector<City> cities;
};

struct Summary {
    size_t cityPairs = 0; // exchanges that the geocoder names a city for
    size_t cityAreaCodes = 0;
    std::map<std::string, size_t> cityAreaCodesByRegion;
    size_t stateOnlyAreaCodes = 0; // every exchange gives the same name, not a country's
    std::string unmappedStateOnly; // of those, the ones whose name is no state or province
    size_t otherStatePairs = 0;    // exchanges left out because their city lies in another state
    size_t untranslatable = 0;     // exchanges left out because their name has no ISO 8859-1 form
    size_t shortened = 0;          // names cut to 49 bytes
    size_t writtenPairs = 0;
};

const std::map<std::string, std::string>& StateCodes() {
    static const std::map<std::string, std::string> codes = {
        {"Alabama", "AL"},
        {"Alaska", "AK"},
        {"Arizona", "AZ"},
        {"Arkansas", "AR"},
        {"California", "CA"},
        {"Colorado", "CO"},
        {"Connecticut", "CT"},
        {"Delaware", "DE"},
        {"Florida", "FL"},
        {"Georgia", "GA"},
        {"Hawaii", "HI"},
        {"Idaho", "ID"},
        {"Illinois", "IL"},
        {"Indiana", "IN"},
        {"Iowa", "IA"},
        {"Kansas", "KS"},
        {"Kentucky", "KY"},
        {"Louisiana", "LA"},
        {"Maine", "ME"},
        {"Maryland", "MD"},
        {"Massachusetts", "MA"},
        {"Michigan", "MI"},
        {"Minnesota", "MN"},
        {"Mississippi", "MS"},
        {"Missouri", "MO"},
        {"Montana", "MT"},
        {"Nebraska", "NE"},
        {"Nevada", "NV"},
        {"New Hampshire", "NH"},
        {"New Jersey", "NJ"},
        {"New Mexico", "NM"},
        {"New York", "NY"},
        {"North Carolina", "NC"},
        {"North Dakota", "ND"},
        {"Ohio", "OH"},
        {"Oklahoma", "OK"},
        {"Oregon", "OR"},
        {"Pennsylvania", "PA"},
        {"Rhode Island", "RI"},
        {"South Carolina", "SC"},
        {"South Dakota", "SD"},
        {"Tennessee", "TN"},
        {"Texas", "TX"},
        {"Utah", "UT"},
        {"Vermont", "VT"},
        {"Virginia", "VA"},
        {"Washington", "WA"},
        {"Washington State", "WA"},
        {"West Virginia", "WV"},
        {"Wisconsin", "WI"},
        {"Wyoming", "WY"},
        {"Washington D.C.", "DC"},
        {"District of Columbia", "DC"},
        {"Alberta", "AB"},
        {"British Columbia", "BC"},
        {"Manitoba", "MB"},
        {"New Brunswick", "NB"},
        {"Newfoundland and Labrador", "NL"},
        {"Northwest Territories", "NT"},
        {"Nova Scotia", "NS"},
        {"Nunavut", "NU"},
        {"Ontario", "ON"},
        {"Prince Edward Island", "PE"},
        {"Quebec", "QC"},
        {"Saskatchewan", "SK"},
        {"Yukon", "YT"},
    };
    return codes;
}

// Characters beyond ISO 8859-1 that place names use, by their closest Latin letters.
std::optional<std::string> Transliterate(char32_t c) {
    static const std::map<char32_t, std::string> table = {
        {U'\u0100', "A"}, {U'\u0101', "a"}, {U'\u0112', "E"}, {U'\u0113', "e"}, {U'\u012A', "I"},  {U'\u012B', "i"},
        {U'\u014C', "O"}, {U'\u014D', "o"}, {U'\u016A', "U"}, {U'\u016B', "u"}, {U'\u0152', "OE"}, {U'\u0153', "oe"},
        {U'\u0106', "C"}, {U'\u0107', "c"}, {U'\u010C', "C"}, {U'\u010D', "c"}, {U'\u0141', "L"},  {U'\u0142', "l"},
        {U'\u0143', "N"}, {U'\u0144', "n"}, {U'\u0160', "S"}, {U'\u0161', "s"}, {U'\u017D', "Z"},  {U'\u017E', "z"},
        {U'\u02BB', "'"}, {U'\u2019', "'"}, {U'\u2018', "'"}, {U'\u2013', "-"}, {U'\u2014', "-"},
    };
    const auto it = table.find(c);
    if (it == table.end()) {
        return std::nullopt;
    }
    return it->second;
}

// UTF-8 to ISO 8859-1; nothing when a character has no form there.
std::optional<std::string> ToLatin1(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c = 0;
        size_t extra = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            return std::nullopt;
        }
        if (i + extra >= utf8.size()) {
            return std::nullopt;
        }
        for (size_t k = 1; k <= extra; ++k) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (c <= 0xFF) {
            out += static_cast<char>(c);
        } else if (auto latin = Transliterate(c)) {
            out += *latin;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// "Seattle, WA" -> "Seattle" and "WA"; nothing for a text without a two-letter suffix.
bool SplitCity(const std::string& description, std::string& city, std::string& state) {
    const size_t n = description.size();
    if (n < 5 || description[n - 4] != ',' || description[n - 3] != ' ') {
        return false;
    }
    const char a = description[n - 2];
    const char b = description[n - 1];
    if (a < 'A' || a > 'Z' || b < 'A' || b > 'Z') {
        return false;
    }
    city = description.substr(0, n - 4);
    state = description.substr(n - 2);
    return !city.empty();
}

std::vector<Answer> AskGeocoder() {
    PhoneNumberOfflineGeocoder geocoder;
    const PhoneNumberUtil* util = PhoneNumberUtil::GetInstance();
    const icu::Locale english("en");
    std::vector<Answer> answers(static_cast<size_t>(kExchanges) * kExchanges);
    for (int area = kFirst; area <= kLast; ++area) {
        for (int exchange = kFirst; exchange <= kLast; ++exchange) {
            PhoneNumber number;
            number.set_country_code(1);
            number.set_national_number(static_cast<uint64_t>(area) * 10000000ULL +
                                       static_cast<uint64_t>(exchange) * 10000ULL);
            Answer& answer = answers[static_cast<size_t>(area - kFirst) * kExchanges + (exchange - kFirst)];
            util->GetRegionCodeForNumber(number, &answer.region);
            answer.description = geocoder.GetDescriptionForNumber(number, english);
        }
    }
    return answers;
}

const Answer& At(const std::vector<Answer>& answers, int area, int exchange) {
    return answers[static_cast<size_t>(area - kFirst) * kExchanges + (exchange - kFirst)];
}

std::string CutName(std::string name, Summary& summary) {
    if (name.size() > kMaxNameLength) {
        name.resize(kMaxNameLength);
        ++summary.shortened;
    }
    return name;
}

// The cities of an area code with city data; false when it has none.
bool BuildCityArea(const std::vector<Answer>& answers, int area, AreaCode& out, Summary& summary) {
    std::map<std::string, int> stateVotes;
    std::string city;
    std::string state;
    for (int exchange = kFirst; exchange <= kLast; ++exchange) {
        if (SplitCity(At(answers, area, exchange).description, city, state)) {
            ++stateVotes[state];
        }
    }
    if (stateVotes.empty()) {
        return false;
    }
    // The most common state wins; a tie goes to the first in alphabetical order.
    std::string areaState;
    int best = 0;
    for (const auto& [name, votes] : stateVotes) {
        if (votes > best) {
            best = votes;
            areaState = name;
        }
    }
    out.code = area;
    out.state[0] = areaState[0];
    out.state[1] = areaState[1];
    std::map<std::string, size_t> position;
    for (int exchange = kFirst; exchange <= kLast; ++exchange) {
        if (!SplitCity(At(answers, area, exchange).description, city, state)) {
            continue;
        }
        ++summary.cityPairs;
        if (state != areaState) {
            ++summary.otherStatePairs;
            continue;
        }
        const std::optional<std::string> latin = ToLatin1(city);
        if (!latin) {
            ++summary.untranslatable;
            continue;
        }
        const std::string name = CutName(*latin, summary);
        // Exchanges ascend, so a city's first exchange places it in the block.
        auto [it, added] = position.emplace(name, out.cities.size());
        if (added) {
            out.cities.push_back(City{name, {}});
        }
        out.cities[it->second].exchanges.push_back(static_cast<uint16_t>(exchange));
        ++summary.writtenPairs;
    }
    if (out.cities.empty()) {
        const auto& codes = StateCodes();
        const auto named =
            std::find_if(codes.begin(), codes.end(), [&](const auto& entry) { return entry.second == areaState; });
        out.cities.push_back(City{named != codes.end() ? named->first : areaState, {}});
    }
    return true;
}

// A US or Canadian area code whose 800 exchanges all give the same known state or province.
bool BuildStateOnlyArea(const std::vector<Answer>& answers, int area, AreaCode& out, Summary& summary) {
    const Answer& first = At(answers, area, kFirst);
    if (first.region != "US" && first.region != "CA") {
        return false;
    }
    for (int exchange = kFirst; exchange <= kLast; ++exchange) {
        const Answer& answer = At(answers, area, exchange);
        if (answer.region != first.region || answer.description != first.description) {
            return false;
        }
    }
    if (first.description.empty() || first.description == "United States" || first.description == "Canada") {
        return false;
    }
    ++summary.stateOnlyAreaCodes;
    const auto code = StateCodes().find(first.description);
    if (code == StateCodes().end()) {
        summary.unmappedStateOnly +=
            (summary.unmappedStateOnly.empty() ? "" : "; ") + std::to_string(area) + " " + first.description;
        return false;
    }
    const std::optional<std::string> latin = ToLatin1(first.description);
    if (!latin) {
        return false;
    }
    out.code = area;
    out.state[0] = code->second[0];
    out.state[1] = code->second[1];
    out.cities.push_back(City{CutName(*latin, summary), {}});
    return true;
}

void PutUInt16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void PutUInt32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

std::string WriteImage(const std::vector<AreaCode>& areas) {
    std::string index;
    std::string blocks;
    const size_t indexSize = kIndexEntries * 8;
    for (const AreaCode& area : areas) {
        PutUInt16(index, static_cast<uint16_t>(area.code));
        index += area.state[0];
        index += area.state[1];
        PutUInt32(index, static_cast<uint32_t>(indexSize + blocks.size()));
        for (const City& city : area.cities) {
            blocks += city.name;
            blocks += '\0';
            for (uint16_t exchange : city.exchanges) {
                PutUInt16(blocks, exchange);
            }
            PutUInt16(blocks, 0);
        }
        PutUInt16(blocks, kEndMarker);
    }
    return index + blocks;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: citydbgen OUTPUT_FILE\n");
        return 2;
    }
    const std::vector<Answer> answers = AskGeocoder();
    Summary summary;
    std::vector<AreaCode> areas;
    for (int area = kFirst; area <= kLast; ++area) {
        AreaCode built;
        if (BuildCityArea(answers, area, built, summary)) {
            ++summary.cityAreaCodes;
            ++summary.cityAreaCodesByRegion[At(answers, area, kFirst).region];
            areas.push_back(built);
        }
    }
    std::vector<AreaCode> stateOnly;
    for (int area = kFirst; area <= kLast; ++area) {
        AreaCode built;
        if (std::none_of(areas.begin(), areas.end(), [area](const AreaCode& a) { return a.code == area; }) &&
            BuildStateOnlyArea(answers, area, built, summary)) {
            stateOnly.push_back(built);
        }
    }
    if (areas.size() > kIndexEntries || areas.size() + stateOnly.size() < kIndexEntries) {
        std::fprintf(stderr, "citydbgen: %zu area codes with cities and %zu state-only ones cannot fill %zu entries\n",
                     areas.size(), stateOnly.size(), kIndexEntries);
        return 1;
    }
    std::string added;
    for (size_t i = 0; areas.size() < kIndexEntries; ++i) {
        added += (added.empty() ? "" : " ") + std::to_string(stateOnly[i].code);
        areas.push_back(stateOnly[i]);
    }
    std::sort(areas.begin(), areas.end(), [](const AreaCode& a, const AreaCode& b) { return a.code < b.code; });

    const std::string image = WriteImage(areas);
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(image.data(), static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "citydbgen: cannot write %s\n", argv[1]);
        return 1;
    }

    std::fprintf(stderr, "area codes with cities: %zu (", summary.cityAreaCodes);
    for (const auto& [region, count] : summary.cityAreaCodesByRegion) {
        std::fprintf(stderr, " %s %zu", region.c_str(), count);
    }
    std::fprintf(stderr, " )\n");
    std::fprintf(stderr, "state-only US and Canadian area codes: %zu; not a state or province: %s\n",
                 summary.stateOnlyAreaCodes, summary.unmappedStateOnly.c_str());
    std::fprintf(stderr, "added: %s\n", added.c_str());
    std::fprintf(stderr, "exchanges with a city: %zu; written: %zu\n", summary.cityPairs, summary.writtenPairs);
    std::fprintf(stderr, "left out: %zu in another state, %zu without an ISO 8859-1 name; names cut: %zu\n",
                 summary.otherStatePairs, summary.untranslatable, summary.shortened);
    std::fprintf(stderr, "wrote %zu bytes to %s\n", image.size(), argv[1]);
    return 0;
}
