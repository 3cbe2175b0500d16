#pragma once

#include "platform/ui/platformswitches.h"

#include <string>

// The platform's start of the program, after the statics (the application object among them) are
// constructed: the window system, the application's name, the single-instance check, the
// application's InitInstance, then the message loop. Returns the process's exit code: the loop's,
// -1 when another instance runs, 1 when start-up failed. instanceKey names this program and its
// store for the single-instance check.
int AfxWinMain(int argc, char** argv, const PlatformSwitches& switches, const std::string& instanceKey);
