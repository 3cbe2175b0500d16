#pragma once

#include "platform/shell/shell.h"
#include "platform/shell/windowhandle.h"

#include <cstdint>
#include <string>

class ShellClient;

// The one way to the phone shell, for the program and the framework alike: each call goes to the
// shell main() handed in (CurrentShell). No caller checks a result, so each call simply does nothing
// when the shell is not up or the window is unknown; where none was handed in, the null shell answers.
class ShellServices {
public:
    // Hot-key identifiers of the phone's Talk and End keys.
    static constexpr int kTalkHotKeyId = 114;
    static constexpr int kEndHotKeyId = 115;

    // Makes the shell's controls (the phone screen) and installs its message boxes; first thing at
    // start-up.
    static void InitShellControls();
    // The navigation-bar title shown while the window is in front.
    static void SetNavBarTitle(WindowHandle window, const char16_t* text);
    // Makes the menu resource the window's soft-key bar: first top-level item the left key, second the
    // right key. Returns 0, or -1 when the menu cannot be loaded (the bar is left as it was).
    static int CreateSoftKeyBar(WindowHandle window, uint16_t menuId);
    // The Talk and End keys go to the window from now on, their release included.
    static void ClaimCallKeys(WindowHandle window);
    // Brings the dialog to the front, full-screen (and kept so), with the Done button and an empty bar.
    static void InitFullScreenDialog(WindowHandle dialog);
    // Shows the Done button and makes the window its owner, or hides it (the main window comes to front).
    static void ShowDoneButton(WindowHandle window, bool show);
    static ScreenSize GetScreenSize();
    // Tells the main window that what it shows changed behind it (Shell::NotifyDataChanged). On the
    // program's thread: another thread posts it there (NoticeReceiver).
    static void NotifyDataChanged();

    // The framework's calls: its top-level windows, the work area they lie in, the phone window in
    // front, the wait cursor and a picture of the screen (Shell says what each does).
    static void AddWindow(WindowHandle window, ShellClient* client, bool isMainFrame);
    static void RemoveWindow(WindowHandle window);
    static WindowHandle WorkArea();
    static void ShowActive();
    static void BringToFront();
    static void ShowWaitCursor(bool show);
    static ShellRect MenuBounds();
    static int SaveScreen(const std::string& path);
};
