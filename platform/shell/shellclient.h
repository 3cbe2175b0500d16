#pragma once

#include <cstdint>

// What the phone shell asks of a window that it shows full-screen: the framework implements it for
// each top-level window (the main frame, the dialogs). The shell never knows what the window is.
class ShellClient {
public:
    virtual ~ShellClient() = default;

    // A soft key or a menu item of the window's bar was chosen, or the Done button sent its OK.
    virtual void ShellCommand(uint16_t id) = 0;
    // Asked before the bar or a popup is shown; the defaults come from the menu resource.
    virtual void ShellQueryCommand(uint16_t id, bool& enabled, bool& checked) = 0;
    // The phone window as a whole gained or lost activation while this window was in front.
    virtual void ShellActivate(bool active) = 0;
    // The phone window was asked to close (its close button, the window manager).
    virtual void ShellCloseRequest() = 0;
    // The Done button was pressed while no window owned it: the frame is to be destroyed.
    virtual void ShellDestroyRequest() = 0;
    // What the window shows changed behind it (names that arrived late): it reloads as after an
    // activation. Only the main window hears it, once it is in front of an active phone.
    virtual void ShellDataChanged() = 0;
};
