#pragma once

#include "platform/ui/platformswitches.h"

class Shell;

#include <string>

// The platform's start of the program, after the statics (the application object among them) are
// constructed: the window system, the application's name, the single-instance check, the
// application's InitInstance, then the message loop. Returns the process's exit code: the loop's,
// -1 when another instance runs, 1 when start-up failed. instanceKey names this program and its
// store for the single-instance check. shell is the phone shell the program runs in; its controls
// are destroyed when this returns.
int AfxWinMain(int argc, char** argv, const PlatformSwitches& switches, const std::string& instanceKey, Shell& shell);
