#include "tools/ringlogtool/toolcommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Command {
    const char* name;
    int (*run)(const ToolOptions&, const std::vector<std::string>&);
    const char* usage;
};

const Command commands[] = {
    {"lookup", RunLookupCommand,
     "lookup [DIGITS...]      city and state of six digits (reads lines of stdin without DIGITS)"},
    {"demo", RunDemoCommand, "demo [--calls N] [--seed S]   replace the call log with N made-up calls (default 60)"},
    {"add", RunAddCommand,
     "add --type missed|incoming|outgoing --start TIME [--end TIME] [--number TEXT] [--name TEXT]\n"
     "      [--name-type TEXT] [--note TEXT] [--caller-id available|blocked|unavailable] [--flags N]\n"
     "                          add a call; TIME is \"YYYY-MM-DD HH:MM:SS\", local unless it ends in Z"},
    {"list", RunListCommand,
     "list [--now TIME]         the calls as the program shows them, latest first, tab-separated"},
    {"delete", RunDeleteCommand,
     "delete POSITION|--all     delete a call (0 is the latest) or all, as the program does"},
    {"export", RunExportCommand, "export [--output FILE]    the call log as CSV"},
    {"import", RunImportCommand,
     "import FILE               add the calls of a CSV file made by export, or of an Android call-log\n"
     "                          XML backup (<calls><call number=... date=... type=.../></calls>)"},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: ringlog-tool [--store FILE] [--citydb FILE] COMMAND [ARGS...]\n"
                      "       ringlog-tool --help | --version\n\ncommands:\n");
    for (const Command& c : commands) {
        std::fprintf(out, "  %s\n", c.usage);
    }
}

} // namespace

int main(int argc, char** argv) {
    ToolOptions options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("ringlog-tool (Zonrik Ringlog) " RINGLOG_VERSION);
            return 0;
        }
        if (arg == "--store" || arg == "--citydb") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "ringlog-tool: %s needs a file name\n", arg.c_str());
                return 2;
            }
            (arg == "--store" ? options.store : options.citydb) = argv[++i];
            continue;
        }
        if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "ringlog-tool: unknown option %s\n", arg.c_str());
            PrintUsage(stderr);
            return 2;
        }
        break;
    }
    if (i >= argc) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[i];
    const std::vector<std::string> args(argv + i + 1, argv + argc);
    for (const Command& c : commands) {
        if (name == c.name) {
            return c.run(options, args);
        }
    }
    std::fprintf(stderr, "ringlog-tool: unknown command %s\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
