#pragma once

#include <functional>
#include <memory>

class Shell;

// Runs the GUI tests of a test program: the real windows on Qt's offscreen platform in the shell that
// makeShell gives once Qt is up, a fixed time zone and locale, every Qt warning a failure, and the
// application and the shell started afresh after each test. Returns the program's exit code.
int RunGuiTests(int argc, char** argv, const std::function<std::unique_ptr<Shell>()>& makeShell);
