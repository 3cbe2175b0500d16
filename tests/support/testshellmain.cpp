// Shared main of the GUI tests of the framework and the dialogs: the test shell, without the drawn
// phone.
#include "tests/support/guitestrun.h"
#include "tests/support/testshell.h"

int main(int argc, char** argv) {
    return RunGuiTests(argc, argv, [] { return std::make_unique<TestShell>(); });
}
