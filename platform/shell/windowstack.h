#pragma once

#include "platform/resources/resourcemodule.h"
#include "platform/shell/windowhandle.h"

#include <cstdint>
#include <string>
#include <vector>

class ShellClient;

// The program's top-level windows as the shell stacks them, and the rules of the phone that every
// shell follows: which one is in front, who owns the Done button and what pressing it does, who
// gets the Talk and End keys, when the main window hears that its data changed. Plain data: a
// window is an opaque handle, whether it is shown or holds another window is asked of WindowFacts,
// and what the rules say to a window goes to its ShellClient.
class WindowStack {
public:
    // What only the window system knows.
    class WindowFacts {
    public:
        virtual ~WindowFacts() = default;
        virtual bool IsShown(WindowHandle window) const = 0;
        // Whether the top-level window is the window or holds it.
        virtual bool Holds(WindowHandle topLevel, WindowHandle window) const = 0;
    };

    struct Entry {
        WindowHandle window = nullptr;
        ShellClient* client = nullptr;
        bool isMainFrame = false;
        bool fullScreen = false;
        bool hasNavTitle = false;
        std::u16string navTitle;
        bool hasSoftKeys = false;
        MenuTemplate softKeys;
    };

    // A soft key's or a menu item's state as the phone shows it.
    struct ItemState {
        bool enabled = false;
        bool checked = false;
    };

    // What the Done button does when pressed.
    enum class DoneAction {
        Nothing,      // hidden, or owned by the main frame (the main screen's Done does nothing)
        OkToOwner,    // the owner (a dialog) gets its OK
        DestroyFrame, // shown without an owner: the main frame is to be destroyed
    };

    // The command that the Done button sends to the dialog that owns it: the dialog's OK.
    static constexpr uint16_t kDoneCommand = 1;

    explicit WindowStack(const WindowFacts& facts);

    // Adds a window on top; false for none or a window already there. A main frame is full-screen.
    bool Add(WindowHandle window, ShellClient* client, bool isMainFrame);
    // Takes the window away, and the Done button and the call keys with it when it had them.
    void Remove(WindowHandle window);
    Entry* Find(WindowHandle window);
    const Entry* Find(WindowHandle window) const;
    // Makes the window full-screen and puts it on top. False when it is not there.
    bool BringToTop(WindowHandle window);
    // A dialog's start on the phone: on top and full-screen, with an empty soft-key bar and the Done
    // button as its own. False when it is not there.
    bool StartFullScreenDialog(WindowHandle dialog);

    // The title the navigation bar shows while the window is in front. False when it is not there.
    bool SetNavTitle(WindowHandle window, std::u16string title);
    // The window's soft keys from now on. A menu without items is no soft-key bar: false, as for a
    // window that is not there, and the bar is left as it was.
    bool SetSoftKeys(WindowHandle window, MenuTemplate keys);
    // An empty bar for the window. False when it is not there.
    bool ClearSoftKeys(WindowHandle window);

    // The last shown window, or null.
    const Entry* Front() const;
    WindowHandle MainFrame() const;
    ShellClient* ClientOf(WindowHandle window) const;
    // The top-level window that is or holds the window, or null.
    WindowHandle TopLevelOf(WindowHandle window) const;
    // Whether a shown window lies above the window (or above the window holding it).
    bool IsCovered(WindowHandle window) const;

    // Shows the Done button for the top-level window holding owner (null: no owner). A window that
    // is covered cannot take it from the one in front. False when nothing changed.
    bool ShowDone(WindowHandle owner);
    void HideDone();
    bool DoneShown() const { return doneShown; }
    WindowHandle DoneOwner() const { return doneOwner; }
    // The Done button's click, carried out: the owner's client gets kDoneCommand, or the main
    // frame's client is asked to go, or nothing happens. Returns what was done.
    DoneAction PressDone();

    // The item greyed and checked as the menu resource says, then as the window's update handlers
    // decide (client; null for none). A popup is not asked: its items are, as its menu opens.
    static ItemState StateOf(const MenuItem& item, ShellClient* client);

    // The Talk and End keys go to the window from now on (null changes nothing).
    void ClaimCallKeys(WindowHandle window);
    // Where a Talk or End key goes: the claimer when the front window is or holds it, else the
    // front window; null without one.
    WindowHandle CallKeyTarget() const;

    // The phone as a whole shown active (at start-up), without an activation that anyone hears of.
    void ShowScreenActive() { screenActive = true; }
    // The phone as a whole gained or lost activation (another program took or gave back the screen).
    // True when that changed: the shell then tells the front window. The main window coming back in
    // front hears all there is to know from that: a data-changed notice owed to it is dropped.
    bool SetScreenActive(bool active);
    bool ScreenActive() const { return screenActive; }

    // What the main window shows changed behind it: it is told (ShellClient::ShellDataChanged) once
    // it is in front of an active phone; a dialog in front keeps the notice for it until it closes.
    void OweDataChanged() { dataChangedOwed = true; }
    bool DataChangedOwed() const { return dataChangedOwed; }
    // Tells the main window now if it is owed the notice and may have it. True when told.
    bool DeliverDataChanged();

    const std::vector<Entry>& Entries() const { return entries; }

private:
    const WindowFacts& facts;
    std::vector<Entry> entries;
    WindowHandle doneOwner = nullptr;
    bool doneShown = false;
    WindowHandle keyClaimer = nullptr;
    bool screenActive = false;
    bool dataChangedOwed = false;
};
