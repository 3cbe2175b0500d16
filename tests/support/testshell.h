#pragma once

#include "platform/shell/shell.h"
#include "platform/shell/widgetfacts.h"
#include "platform/shell/windowstack.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class WorkArea;

// The shell without the drawn phone, for the tests of the framework and the dialogs: a plain work
// area of the phone's holds the program's windows, and what the phone would show (the title, the
// soft keys, the Done button, the message boxes, the wait cursor) is recorded for the test to read.
// The test presses the soft keys, Done and the Talk and End keys through it, which send the window
// what the phone would, and answers the message boxes from a queue.
class TestShell : public Shell {
public:
    struct MessageBoxRecord {
        QString text;
        QString caption;
        unsigned type = 0;
    };
    struct MenuItemState {
        bool found = false;
        bool enabled = false;
        bool checked = false;
    };

    TestShell();
    ~TestShell() override;
    TestShell(const TestShell&) = delete;
    TestShell& operator=(const TestShell&) = delete;

    // The shell main() handed in, which must be a test shell.
    static TestShell& Current();

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
    // Records the box and gives the next queued answer; a box nobody answered, or answered with a
    // button it does not have, fails the test and gets its safe answer (No or OK).
    int RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) override;
    void ShowWaitCursor(bool show) override;
    int SaveScreen(const std::string& path) override;

    // The windows as the phone would stack them.
    WindowHandle ForegroundWindow() const;
    WindowHandle MainFrameWindow() const;
    // The navigation bar's title: the front window's, else its window title.
    QString NavTitleText() const;
    bool DoneShown() const;
    WindowHandle DoneOwner() const;
    // The Done button's click: OK to its owner, nothing when the frame owns it, the frame's end when
    // no one does.
    void PressDone();

    // The menu resource of the front window's soft-key bar; 0 for none or an emptied bar.
    uint16_t SoftKeyMenuId() const;
    QString SoftKeyText(int index) const;
    // Asked of the front window, as the bar asks each time it is shown.
    bool SoftKeyEnabled(int index) const;
    // A command key sends its command when the window allows it. False when nothing was sent: no
    // such key, greyed, or a key that opens a menu (ChooseMenuItem).
    bool PressSoftKey(int index);
    // The item of the key's menu reached by its texts ({"Filter", "Missed Calls"}), with the states
    // the window gives it as the menu opens.
    MenuItemState MenuItemStateOf(int key, const std::vector<QString>& path) const;
    // Chooses the item as a tap would; a greyed or missing item sends nothing (false).
    bool ChooseMenuItem(int key, const std::vector<QString>& path);

    // Press and release, to the window that gets the phone's keys.
    void PressTalkKey();
    void PressEndKey();

    // Gives the screen a size (the user resized or turned it): every full-screen window follows.
    void SetScreenSize(ScreenSize size);
    void TurnScreen();

    void AnswerNextMessageBox(int answer);
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes; }
    // Shows less hides of the wait cursor so far: 0 when every show was undone.
    int WaitCursorCount() const { return waitCursors; }

private:
    const MenuItem* KeyItem(int index) const;
    const MenuItem* FindMenuItem(int key, const std::vector<QString>& path) const;
    ShellClient* FrontClient() const;
    void SendCommand(WindowHandle window, uint16_t id);
    void SendPhoneKey(int qtKey);
    void SetMenuId(WindowHandle window, uint16_t menuId);

    WidgetFacts facts;
    std::unique_ptr<WindowStack> stack;
    ::WorkArea* area = nullptr;
    ScreenSize screenSize = kDefaultScreenSize;
    std::vector<std::pair<WindowHandle, uint16_t>> menuIds;
    std::deque<int> answers;
    std::vector<MessageBoxRecord> messageBoxes;
    int waitCursors = 0;
};
