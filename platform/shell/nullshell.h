#pragma once

#include "platform/shell/shell.h"

// The shell where none was handed in (the command-line tool, tests of the core): it has no controls,
// knows no window and shows nothing. What asks for an answer gets the failure or the safe one: no
// work area, -1 for a soft-key bar or a picture, the phone's default screen, empty menu bounds, and
// No or OK for a message box.
class NullShell : public Shell {
public:
    void InitShellControls() override {}
    void DestroyShellControls() override {}
    void AddWindow(WindowHandle, ShellClient*, bool) override {}
    void RemoveWindow(WindowHandle) override {}
    WindowHandle WorkArea() const override { return nullptr; }
    void ShowActive() override {}
    void BringToFront() override {}
    void NotifyDataChanged() override {}
    void SetNavBarTitle(WindowHandle, const char16_t*) override {}
    int CreateSoftKeyBar(WindowHandle, uint16_t) override { return -1; }
    void ClaimCallKeys(WindowHandle) override {}
    void InitFullScreenDialog(WindowHandle) override {}
    void ShowDoneButton(WindowHandle, bool) override {}
    ScreenSize GetScreenSize() const override { return kDefaultScreenSize; }
    ShellRect MenuBounds() const override { return {}; }
    int RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) override;
    void ShowWaitCursor(bool) override {}
    int SaveScreen(const std::string&) override { return -1; }
};
