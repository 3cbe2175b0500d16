#pragma once

#include "platform/ui/platformswitches.h"

class Shell;

#include <string>

// How the desktop matches the program's windows to its desktop entry and icon: the desktop entry's
// name (Wayland's app id) and the X11 window class, which the desktop entry repeats as its
// StartupWMClass.
struct DesktopIdentity {
    const char* desktopFileName;
    const char* windowClass;
};

// The platform's start of the program, after the statics (the application object among them) are
// constructed: the window system, the application's name, the single-instance check, the
// application's InitInstance, then the message loop. Returns the process's exit code: the loop's,
// -1 when another instance runs, 1 when start-up failed (without a display, said in one line on
// standard error; a screenshot is then drawn off-screen). instanceKey names this program and its
// store for the single-instance check. shell is the phone shell the program runs in; its controls
// are destroyed when this returns.
int AfxWinMain(int argc, char** argv, const PlatformSwitches& switches, const DesktopIdentity& identity,
               const std::string& instanceKey, Shell& shell);

// A start refused before the application's InitInstance (a call log the program cannot use): the
// reason in a message box on the phone's screen, captioned with the application's name, until the
// user dismisses it. Started from a launcher there is no terminal to read standard error. Nothing
// is shown while a screenshot is taken or where no window system can start. Returns the exit code
// of a failed start, 1. Uses the window system's application when there is one already.
int AfxRefuseStart(int argc, char** argv, const PlatformSwitches& switches, const DesktopIdentity& identity,
                   Shell& shell, const std::string& reason);
