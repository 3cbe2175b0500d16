#pragma once

#include "platform/shell/shell.h"

class PhoneScreen;

// The shell as a phone drawn in a window of the desktop (or, on a display the size of a phone, the
// phone's screen alone): everything the shell does goes to its PhoneScreen.
class PhoneShell : public Shell {
public:
    // fullScreen: the window is to be the screen alone, filling the display. unattended: message
    // boxes go to standard error and get their safe answer (a screenshot is being taken).
    PhoneShell(bool fullScreen, bool unattended);
    ~PhoneShell() override;
    PhoneShell(const PhoneShell&) = delete;
    PhoneShell& operator=(const PhoneShell&) = delete;

    void InitShellControls() override;
    void DestroyShellControls() override;
    void AddWindow(WindowHandle window, ShellClient* client, bool isMainFrame) override;
    void RemoveWindow(WindowHandle window) override;
    WindowHandle WorkArea() const override;
    void ShowActive() override;
    void BringToFront() override;
    void NotifyDataChanged() override;
    void SetNavBarTitle(WindowHandle window, const char16_t* text) override;
    int CreateSoftKeyBar(WindowHandle window, uint16_t menuId) override;
    void ClaimCallKeys(WindowHandle window) override;
    void InitFullScreenDialog(WindowHandle dialog) override;
    void ShowDoneButton(WindowHandle window, bool show) override;
    ScreenSize GetScreenSize() const override;
    ShellRect MenuBounds() const override;
    int RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) override;
    void ShowWaitCursor(bool show) override;
    int SaveScreen(const std::string& path) override;

    // The phone's window while the controls are up, else null: for the tests of the drawn phone and
    // the pictures of it.
    PhoneScreen* Screen() const { return screen; }

private:
    bool fullScreen;
    bool unattended;
    PhoneScreen* screen = nullptr;
};
