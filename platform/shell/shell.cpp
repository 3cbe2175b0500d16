#include "platform/shell/shell.h"

#include "platform/shell/nullshell.h"

namespace {

Shell& TheNullShell() {
    static NullShell shell;
    return shell;
}

Shell* current = nullptr;

} // namespace

Shell& CurrentShell() {
    return current != nullptr ? *current : TheNullShell();
}

void SetCurrentShell(Shell* shell) {
    current = shell;
}
