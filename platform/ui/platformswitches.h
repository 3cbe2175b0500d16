#pragma once

#include <string>

// The platform layer's own command-line switches (the program defines none):
//   --store FILE       the phone's store to use
//   --citydb FILE      the city database file to use
//   --screenshot FILE  start, render the phone screen to a PNG file and end
//   --fullscreen       the window is the phone's screen alone, filling the display
//   -h, --help         the usage on standard output, then the end
//   --version          the program's name and version on standard output, then the end
struct PlatformSwitches {
    std::string store;
    std::string cityDatabase;
    std::string screenshot;
    bool fullScreen = false;
    bool help = false;
    bool version = false;
};

// 0, or -1 for an unknown switch or a switch without its file (error names what was wrong).
int ParsePlatformSwitches(int argc, char** argv, PlatformSwitches& switches, std::string& error);

// The usage of a program that takes these switches, one line per switch, for --help and for a
// wrong switch.
std::string PlatformSwitchesUsage(const char* program);
