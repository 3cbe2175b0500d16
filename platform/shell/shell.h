#pragma once

#include "platform/shell/windowhandle.h"

#include <cstdint>
#include <string>

class ShellClient;

// Screen width and height in pixels.
struct ScreenSize {
    int width = 0;
    int height = 0;
};

// A rectangle of the desktop in logical pixels: its top-left corner and its size.
struct ShellRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The phone's screen until the user resizes or turns it.
inline constexpr ScreenSize kDefaultScreenSize{240, 320};

// The phone shell as the framework and the program use it: the full-screen windows and the one in
// front, the navigation bar, the soft keys, the Done button, the Talk and End keys, message boxes,
// the wait cursor and the screen's size. main() creates the shell and hands it in; the shell's
// controls (the phone window) are made by InitShellControls and go with DestroyShellControls.
// Everyone else reaches it through ShellServices.
class Shell {
public:
    virtual ~Shell() = default;

    // Makes the shell's controls; the calls below do nothing before it (and after the destroy).
    virtual void InitShellControls() = 0;
    virtual void DestroyShellControls() = 0;

    // The program's top-level windows, in the order they were added; the last visible is in front.
    virtual void AddWindow(WindowHandle window, ShellClient* client, bool isMainFrame) = 0;
    virtual void RemoveWindow(WindowHandle window) = 0;
    // Where the full-screen windows lie; null before the controls are made.
    virtual WindowHandle WorkArea() const = 0;
    // Shows the phone in front and records it active, without telling anyone (start-up).
    virtual void ShowActive() = 0;
    // Brings the phone to the front, as a second start of the program asks.
    virtual void BringToFront() = 0;
    // Tells the main window, once it is in front of an active phone, that what it shows changed
    // behind it (names that arrived late from the address books). An activation that comes first
    // tells it as much, and the notice is then dropped.
    virtual void NotifyDataChanged() = 0;

    virtual void SetNavBarTitle(WindowHandle window, const char16_t* text) = 0;
    // 0, or -1 when the menu cannot be loaded (the bar is left as it was).
    virtual int CreateSoftKeyBar(WindowHandle window, uint16_t menuId) = 0;
    virtual void ClaimCallKeys(WindowHandle window) = 0;
    virtual void InitFullScreenDialog(WindowHandle dialog) = 0;
    virtual void ShowDoneButton(WindowHandle window, bool show) = 0;
    virtual ScreenSize GetScreenSize() const = 0;
    // Where the soft keys' menus and their submenus may lie, in the desktop's logical pixels: the
    // phone's screen, so that on a desktop no menu spills over the drawn body. Empty while there is
    // no screen (before the controls are made); menus then go where the toolkit puts them.
    virtual ShellRect MenuBounds() const = 0;

    // A modal message box on the screen; IDOK, IDYES or IDNO.
    virtual int RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) = 0;
    // The wait cursor while the program's one thread is busy; shown and hidden in pairs.
    virtual void ShowWaitCursor(bool show) = 0;
    // Renders the screen as it stands to a PNG file. 0, or -1.
    virtual int SaveScreen(const std::string& path) = 0;
};

// The shell main() handed in; where none is (the command-line tool, tests of the core) a null shell
// whose calls do nothing and fail as NullShell says. Only ShellServices and those who install a
// shell (main(), the test harness) ask for it.
Shell& CurrentShell();
// Null puts the null shell back.
void SetCurrentShell(Shell* shell);
