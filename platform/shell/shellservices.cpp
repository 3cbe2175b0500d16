#include "platform/shell/shellservices.h"

#include "platform/msgbox/messagebox.h"

namespace {

int ShowInShell(const void*, const char16_t* text, const char16_t* caption, unsigned type) {
    Shell* shell = CurrentShell();
    if (shell == nullptr) {
        return (type & MB_BUTTONMASK) == MB_YESNO ? IDNO : IDOK;
    }
    return shell->RunMessageBox(text, caption, type);
}

} // namespace

void ShellServices::InitShellControls() {
    if (Shell* shell = CurrentShell()) {
        shell->InitShellControls();
        SetMessageBoxHandler(ShowInShell);
    }
}

void ShellServices::SetNavBarTitle(WindowHandle window, const char16_t* text) {
    if (Shell* shell = CurrentShell()) {
        shell->SetNavBarTitle(window, text);
    }
}

int ShellServices::CreateSoftKeyBar(WindowHandle window, uint16_t menuId) {
    Shell* shell = CurrentShell();
    return shell != nullptr ? shell->CreateSoftKeyBar(window, menuId) : -1;
}

void ShellServices::ClaimCallKeys(WindowHandle window) {
    if (Shell* shell = CurrentShell()) {
        shell->ClaimCallKeys(window);
    }
}

void ShellServices::InitFullScreenDialog(WindowHandle dialog) {
    if (Shell* shell = CurrentShell()) {
        shell->InitFullScreenDialog(dialog);
    }
}

void ShellServices::ShowDoneButton(WindowHandle window, bool show) {
    if (Shell* shell = CurrentShell()) {
        shell->ShowDoneButton(window, show);
    }
}

ScreenSize ShellServices::GetScreenSize() {
    Shell* shell = CurrentShell();
    return shell != nullptr ? shell->GetScreenSize() : kDefaultScreenSize;
}

void ShellServices::HandBackScreen() {
    if (Shell* shell = CurrentShell()) {
        shell->HandBackScreen();
    }
}
