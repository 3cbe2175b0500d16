// Shared main of the GUI tests about the phone itself and of the program on it: the phone shell.
#include "platform/shell/phoneshell.h"
#include "tests/support/guitestrun.h"

int main(int argc, char** argv) {
    return RunGuiTests(argc, argv, [] { return std::make_unique<PhoneShell>(false, false); });
}
