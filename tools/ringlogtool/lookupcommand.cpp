#include "tools/ringlogtool/toolcommands.h"

#include "citydb/citydatabase.h"
#include "citydb/reverselookup.h"
#include "platform/files/programfiles.h"
#include "platform/text/textops.h"
#include "platform/text/utf8.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void PrintAnswer(const std::string& digits) {
    // Only the first characters matter: the rest is cut.
    FixedText<16> typed;
    typed.Assign(Utf8ToUtf16(digits).c_str());
    FixedText<64> result;
    ReverseLookupText(typed.Data(), result.Data(), result.capacity);
    std::printf("%s\n", Utf16ToUtf8(result.Data()).c_str());
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
