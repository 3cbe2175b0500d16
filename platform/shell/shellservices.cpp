#include "platform/shell/shellservices.h"

#include "platform/msgbox/messagebox.h"

namespace {

int ShowInShell(const void*, const char16_t* text, const char16_t* caption, unsigned type) {
    return CurrentShell().RunMessageBox(text, caption, type);
}

} // namespace

void ShellServices::InitShellControls() {
    CurrentShell().InitShellControls();
    SetMessageBoxHandler(ShowInShell);
}

void ShellServices::SetNavBarTitle(WindowHandle window, const char16_t* text) {
    CurrentShell().SetNavBarTitle(window, text);
}

int ShellServices::CreateSoftKeyBar(WindowHandle window, uint16_t menuId) {
    return CurrentShell().CreateSoftKeyBar(window, menuId);
}

void ShellServices::ClaimCallKeys(WindowHandle window) {
    CurrentShell().ClaimCallKeys(window);
}

void ShellServices::InitFullScreenDialog(WindowHandle dialog) {
    CurrentShell().InitFullScreenDialog(dialog);
}

void ShellServices::ShowDoneButton(WindowHandle window, bool show) {
    CurrentShell().ShowDoneButton(window, show);
}

ScreenSize ShellServices::GetScreenSize() {
    return CurrentShell().GetScreenSize();
}

void ShellServices::NotifyDataChanged() {
    CurrentShell().NotifyDataChanged();
}

void ShellServices::AddWindow(WindowHandle window, ShellClient* client, bool isMainFrame) {
    CurrentShell().AddWindow(window, client, isMainFrame);
}

void ShellServices::RemoveWindow(WindowHandle window) {
    CurrentShell().RemoveWindow(window);
}

WindowHandle ShellServices::WorkArea() {
    return CurrentShell().WorkArea();
}

void ShellServices::ShowActive() {
    CurrentShell().ShowActive();
}

void ShellServices::BringToFront() {
    CurrentShell().BringToFront();
}

void ShellServices::ShowWaitCursor(bool show) {
    CurrentShell().ShowWaitCursor(show);
}

ShellRect ShellServices::MenuBounds() {
    return CurrentShell().MenuBounds();
}

int ShellServices::SaveScreen(const std::string& path) {
    return CurrentShell().SaveScreen(path);
}
