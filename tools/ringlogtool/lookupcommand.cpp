#include "tools/ringlogtool/toolcommands.h"

#include "citydb/citydatabase.h"
#include "citydb/reverselookup.h"
#include "platform/files/programfiles.h"
#include "platform/text/textops.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// The typed digits as UTF-16; only the first few characters matter, so anything past the
// buffer is cut and bytes that are not UTF-8 become U+FFFD.
void ToUtf16(const std::string& utf8, FixedText<16>& out) {
    out.Clear();
    char16_t one[2] = {};
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        size_t extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 3;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        if (i + extra >= utf8.size()) {
            c = 0xFFFD;
            extra = utf8.size() - i - 1;
        } else {
            for (size_t k = 1; k <= extra; ++k) {
                c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
            }
        }
        i += extra + 1;
        one[0] = c < 0x10000 ? static_cast<char16_t>(c) : u'\uFFFD';
        out.Append(one);
    }
}

std::string ToUtf8(const char16_t* text) {
    std::string out;
    for (; *text != u'\0'; ++text) {
        const char16_t c = *text;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void PrintAnswer(const std::string& digits) {
    FixedText<16> typed;
    ToUtf16(digits, typed);
    FixedText<64> result;
    ReverseLookupText(typed.Data(), result.Data(), result.capacity);
    std::printf("%s\n", ToUtf8(result.Data()).c_str());
}

} // namespace

// Answers like the reverse lookup dialog: the first six characters of each argument (or of each
// line of standard input) are the area code and exchange. Without a database every six-digit
// answer is "City and State information not available", as in the program.
int RunLookupCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    SetCityDatabaseOverride(options.citydb);
    if (CityDatabase::Load() != 0) {
        const std::string path = MapProgramPath(u"\\Program Files\\Zonrik\\Zonrik.dll");
        std::fprintf(stderr, "ringlog-tool: cannot load the city database %s; no city and state can be found\n",
                     path.empty() ? "(no install folder)" : path.c_str());
    }
    if (!args.empty()) {
        for (const std::string& digits : args) {
            PrintAnswer(digits);
        }
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            PrintAnswer(line);
        }
    }
    std::fflush(stdout);
    CityDatabase::Unload();
    return 0;
}
