// The program's entry: the platform's switches, then the framework's start of the application object.
#include "platform/files/programfiles.h"
#include "platform/objectstore/storecheck.h"
#include "platform/objectstore/storelocation.h"
#include "platform/phone/callername.h"
#include "platform/phone/desktopdialler.h"
#include "platform/shell/phoneshell.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/noticereceiver.h"
#include "platform/ui/platformswitches.h"
#include "platform/ui/winmain.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

// The desktop entry is packaging/com.zonrik.Ringlog.desktop; its StartupWMClass is the class.
constexpr DesktopIdentity kIdentity{"com.zonrik.Ringlog", "ringlog"};

} // namespace

int main(int argc, char** argv) {
    PlatformSwitches switches;
    std::string error;
    if (ParsePlatformSwitches(argc, argv, switches, error) != 0) {
        std::fprintf(stderr, "ringlog: %s\n%s", error.c_str(), PlatformSwitchesUsage("ringlog").c_str());
        return 2;
    }
    // Answered before anything else: no display, no running program and no store is needed.
    if (switches.help) {
        std::fputs(PlatformSwitchesUsage("ringlog").c_str(), stdout);
        return 0;
    }
    if (switches.version) {
        std::puts("ringlog (Zonrik Ringlog) " RINGLOG_VERSION);
        return 0;
    }
    if (!switches.store.empty()) {
        SetStorePath(switches.store);
    }
    // A file that is no call log is refused before anything could write to it; the phone's screen
    // says so too, as a program started from a launcher has no terminal.
    if (CheckStoreFile(StorePath(), &error) != 0) {
        std::fprintf(stderr, "ringlog: %s\n", error.c_str());
        PhoneShell shell(switches.fullScreen, false);
        return AfxRefuseStart(argc, argv, switches, kIdentity, shell, error);
    }
    if (!switches.cityDatabase.empty()) {
        SetCityDatabaseOverride(switches.cityDatabase);
    }
    UseDesktopDialler();
    // The address books are read meanwhile; names that come after the first screen show at once,
    // posted to the program's thread, or dropped when the program is ending.
    PhoneUseAddressBooks([] { NoticeReceiver::Post(&ShellServices::NotifyDataChanged); });

    // One running program per executable and store.
    std::error_code ignored;
    std::filesystem::path store = std::filesystem::absolute(StorePath(), ignored);
    const std::string instanceKey =
        std::filesystem::read_symlink("/proc/self/exe", ignored).string() + "\n" + store.lexically_normal().string();
    // The phone drawn in a window; nobody is there to answer a message box while a screenshot is taken.
    int code = 0;
    {
        PhoneShell shell(switches.fullScreen, !switches.screenshot.empty());
        code = AfxWinMain(argc, argv, switches, kIdentity, instanceKey, shell);
    }
    // A user who quits at once may end the program while the address books are still read: the
    // libraries the reading thread is in must not be torn down beneath it.
    if (PhoneAddressBooksBusy()) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
