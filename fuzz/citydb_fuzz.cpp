// Any bytes as the city database file, then lookups of fixed numbers and of numbers built from the
// input: the area codes its own index names, with exchanges from the input.
#include "citydb/citydatabase.h"
#include "fuzz/fuzzinput.h"
#include "platform/files/programfiles.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& DatabasePath() {
    static const std::string path = "/tmp/ringlog-fuzz-citydb-" + std::to_string(getpid());
    // The file goes with the process.
    static const int removal = std::atexit([] { std::remove(path.c_str()); });
    (void)removal;
    return path;
}

void LookUp(const std::u16string& number) {
    char16_t city[51] = {};
    char16_t state[3] = {};
    CityDatabase::Lookup(number.c_str(), city, 51, state, 3);
}

std::u16string Digits(int value, int width) {
    std::u16string text(static_cast<size_t>(width), u'0');
    for (int i = width - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (FILE* file = std::fopen(DatabasePath().c_str(), "wb")) {
        if (size > 0) {
            std::fwrite(data, 1, size, file);
        }
        std::fclose(file);
    }
    SetCityDatabaseOverride(DatabasePath());
    if (CityDatabase::Load() == 0) {
        for (const char16_t* number : {u"4255551212", u"2065550100", u"0000000000", u"9999999999", u"12015550123",
                                       u"(907) 555-0100", u"201", u""}) {
            LookUp(number);
        }
        // Area codes from the file's own index, exchanges from the input.
        FuzzInput input(data, size);
        for (size_t entry = 0; entry < 16 && entry * 8 + 1 < size; ++entry) {
            const int areaCode = static_cast<int16_t>(data[entry * 8] | (data[entry * 8 + 1] << 8));
            const int exchange = input.Word() % 1000;
            LookUp(Digits(areaCode < 0 ? -areaCode : areaCode, 3) + Digits(exchange, 3) + u"0100");
        }
    }
    CityDatabase::Unload();
    return 0;
}
