// Lookup speed of the city database against libphonenumber's offline geocoder.
//
// One run, 1,000,000 numbers from a fixed seed: half are known hits (an area code and exchange with
// a city in the shipped database, a random line number), half are random ten-digit numbers. Each
// contender answers all of them in batches of 1,000; the median batch gives ns per lookup. Also
// measured: the time to load and the resident memory it adds. Not a test: run it by hand.
//
// Usage: citydb_bench [CITYDB_FILE]   (default: the database in share/zonrik beside bin/)

#include "citydb/citydatabase.h"
#include "platform/files/programfiles.h"
#include "platform/text/textops.h"

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberOfflineGeocoder;
using i18n::phonenumbers::PhoneNumberUtil;
using Clock = std::chrono::steady_clock;

constexpr size_t kNumbers = 1000000;
constexpr size_t kBatch = 1000;
constexpr uint64_t kSeed = 20261209;

// Resident memory of the process in KiB.
long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Median ns per item of run(i) over all numbers, timed per batch.
double MedianNs(const std::function<void(size_t)>& run) {
    std::vector<double> batches;
    for (size_t start = 0; start < kNumbers; start += kBatch) {
        const Clock::time_point t0 = Clock::now();
        for (size_t i = start; i < start + kBatch; ++i) {
            run(i);
        }
        batches.push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / kBatch);
    }
    std::nth_element(batches.begin(), batches.begin() + batches.size() / 2, batches.end());
    return batches[batches.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        SetCityDatabaseOverride(argv[1]);
    }
    const long rss0 = ResidentKiB();
    Clock::time_point t0 = Clock::now();
    if (CityDatabase::Load() != 0) {
        std::fprintf(stderr, "citydb_bench: cannot load the city database\n");
        return 1;
    }
    const double cityLoad = Seconds(t0);
    const long cityRss = ResidentKiB() - rss0;

    // The known hits: every area code and exchange for which the database names a city.
    std::vector<int> hits;
    for (int area = 200; area <= 999; ++area) {
        for (int exchange = 200; exchange <= 999; ++exchange) {
            FixedText<11> number;
            number.Format(u"%d%d0000", {area, exchange});
            FixedText<50> city;
            FixedText<3> state;
            CityDatabase::Lookup(number.Data(), city.Data(), city.capacity, state.Data(), state.capacity);
            if (!city.IsEmpty()) {
                hits.push_back(area * 1000 + exchange);
            }
        }
    }

    std::mt19937_64 random(kSeed);
    std::vector<uint64_t> numbers(kNumbers);
    for (size_t i = 0; i < kNumbers; ++i) {
        if (i % 2 == 0) {
            const uint64_t pair = static_cast<uint64_t>(hits[random() % hits.size()]);
            numbers[i] = pair * 10000 + random() % 10000;
        } else {
            numbers[i] = random() % 10000000000ULL;
        }
    }
    std::vector<FixedText<11>> texts(kNumbers);
    std::vector<std::string> utf8(kNumbers);
    for (size_t i = 0; i < kNumbers; ++i) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%010llu", static_cast<unsigned long long>(numbers[i]));
        utf8[i] = digits;
        for (size_t k = 0; k < 11; ++k) {
            texts[i].chars[k] = static_cast<char16_t>(digits[k]);
        }
    }

    const long rss1 = ResidentKiB();
    t0 = Clock::now();
    PhoneNumberOfflineGeocoder geocoder;
    const PhoneNumberUtil* util = PhoneNumberUtil::GetInstance();
    const icu::Locale english("en");
    // The geocoder reads its +1 tables on first use: one lookup belongs to its load.
    PhoneNumber first;
    util->Parse("2063861234", "US", &first);
    const std::string warm = geocoder.GetDescriptionForNumber(first, english);
    const double geoLoad = Seconds(t0);
    const long geoRss = ResidentKiB() - rss1;

    std::vector<PhoneNumber> parsed(kNumbers);
    for (size_t i = 0; i < kNumbers; ++i) {
        parsed[i].set_country_code(1);
        parsed[i].set_national_number(numbers[i]);
    }

    size_t cityHits = 0;
    const double cityNs = MedianNs([&](size_t i) {
        char16_t city[50] = {};
        char16_t state[3] = {};
        CityDatabase::Lookup(texts[i].Data(), city, 50, state, 3);
        cityHits += city[0] != u'\0';
    });
    size_t parseHits = 0;
    const double parseNs = MedianNs([&](size_t i) {
        PhoneNumber number;
        util->Parse(utf8[i], "US", &number);
        parseHits += !geocoder.GetDescriptionForNumber(number, english).empty();
    });
    size_t describeHits = 0;
    const double describeNs =
        MedianNs([&](size_t i) { describeHits += !geocoder.GetDescriptionForNumber(parsed[i], english).empty(); });

    std::printf("numbers: %zu (seed %llu, half known hits), batches of %zu, median per lookup\n", kNumbers,
                static_cast<unsigned long long>(kSeed), kBatch);
    std::printf("%-40s %10s %10s %12s %12s\n", "", "ns/lookup", "answered", "load ms", "memory KiB");
    std::printf("%-40s %10.1f %10zu %12.2f %12ld\n", "CityDatabase::Lookup (10-digit text)", cityNs, cityHits,
                cityLoad * 1000, cityRss);
    std::printf("%-40s %10.1f %10zu %12s %12s\n", "geocoder: Parse + GetDescriptionForNumber", parseNs, parseHits, "",
                "");
    std::printf("%-40s %10.1f %10zu %12.2f %12ld\n", "geocoder: GetDescriptionForNumber", describeNs, describeHits,
                geoLoad * 1000, geoRss);
    std::printf("ratio parse+describe / Lookup: %.0f x\n", parseNs / cityNs);
    std::printf("ratio describe / Lookup:       %.0f x\n", describeNs / cityNs);
    std::printf("geocoder warm-up answer for 206 386: %s\n", warm.c_str());
    CityDatabase::Unload();
    return 0;
}
