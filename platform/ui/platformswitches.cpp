#include "platform/ui/platformswitches.h"

#include <cstring>

int ParsePlatformSwitches(int argc, char** argv, PlatformSwitches& switches, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        std::string* target = nullptr;
        if (std::strcmp(arg, "--fullscreen") == 0) {
            switches.fullScreen = true;
            continue;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            switches.help = true;
            continue;
        }
        if (std::strcmp(arg, "--version") == 0) {
            switches.version = true;
            continue;
        }
        if (std::strcmp(arg, "--store") == 0) {
            target = &switches.store;
        } else if (std::strcmp(arg, "--citydb") == 0) {
            target = &switches.cityDatabase;
        } else if (std::strcmp(arg, "--screenshot") == 0) {
            target = &switches.screenshot;
        } else if (arg[0] == '-' && arg[1] == '-') {
            error = std::string("unknown switch ") + arg;
            return -1;
        } else {
            // Qt's own switches (-platform, -display, ...) are left to Qt.
            continue;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            error = std::string(arg) + " needs a file";
            return -1;
        }
        *target = argv[++i];
    }
    return 0;
}

std::string PlatformSwitchesUsage(const char* program) {
    const std::string name = program;
    return "usage: " + name + " [--store FILE] [--citydb FILE] [--screenshot FILE] [--fullscreen]\n" + "       " +
           name +
           " --help | --version\n"
           "\n"
           "  --store FILE       the call log to show: the program's own store, GNOME Calls' or\n"
           "                     Plasma Dialer's history\n"
           "  --citydb FILE      the city database to use instead of the installed one\n"
           "  --screenshot FILE  start, render the phone's screen to a PNG file and end\n"
           "  --fullscreen       the window is the phone's screen alone, filling the display\n"
           "  -h, --help         show this usage and end\n"
           "  --version          show the name and version and end\n";
}
