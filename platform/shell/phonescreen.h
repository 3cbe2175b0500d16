#pragma once

#include "platform/resources/resourcemodule.h"
#include "platform/shell/shell.h"
#include "platform/shell/widgetfacts.h"
#include "platform/shell/windowstack.h"
#include "platform/shell/workarea.h"

#include <QMargins>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class NavBar;
class PhoneKeys;
class QPushButton;
class ShellClient;
class ShellMessageBox;
class SoftKeyBar;

// The one top-level window: a phone body around its screen. The screen holds the navigation bar on
// top, the work area where the program's full-screen windows lie stacked (the last shown in front)
// and the soft-key bar at the bottom. The bars always show the front window's title and keys.
class PhoneScreen : public QWidget {
public:
    using MenuLoader = int (*)(uint16_t id, MenuTemplate& out);

    static constexpr int kDefaultScreenWidth = kDefaultScreenSize.width;
    static constexpr int kDefaultScreenHeight = kDefaultScreenSize.height;

    // Made by the phone shell when the shell's controls are initialised, and destroyed with them.
    // fullScreen: the window is to be the screen alone, filling the display; a display no larger
    // than a phone's (720 x 1440) asks for that too. unattended (rendering a screenshot): message
    // boxes go to standard error and get their safe answer, No or OK, without being shown.
    PhoneScreen(bool fullScreen, bool unattended);
    ~PhoneScreen() override;
    PhoneScreen(const PhoneScreen&) = delete;
    PhoneScreen& operator=(const PhoneScreen&) = delete;

    // Where soft-key bars come from; tests replace it to make the creation fail. Returns the old one.
    static MenuLoader SetMenuLoader(MenuLoader loader);

    // Windows of the program, in the order they were added; the last visible one is in front.
    void AddWindow(QWidget* window, ShellClient* client, bool isMainFrame);
    void RemoveWindow(QWidget* window);
    QWidget* WorkArea() const { return workArea; }
    QWidget* ForegroundWindow() const;
    QWidget* MainFrameWindow() const;
    // Where the Talk and End keys go now: the window that claimed them, else the front window.
    QWidget* CallKeyTarget() const;
    ShellClient* ClientOf(QWidget* window) const;

    void SetNavTitle(QWidget* window, const QString& text);
    int SetSoftKeys(QWidget* window, uint16_t menuId);
    void ClaimCallKeys(QWidget* window);
    // On top and full-screen, with an empty bar and the Done button as its own.
    void StartFullScreenDialog(QWidget* dialog);
    void ShowDone(QWidget* owner);
    void HideDone();
    QWidget* DoneOwner() const { return stack.DoneOwner(); }
    bool DoneShown() const { return stack.DoneShown(); }
    // The Done button's click: OK to its owner, nothing when the frame owns it, the frame's end when
    // no one does.
    void PressDone();

    bool IsFullScreenMode() const { return fullScreenMode; }

    QSize ScreenSize() const;
    // The screen inside the drawn body, in the desktop's coordinates.
    QRect ScreenRect() const;
    // Gives the screen a size; the phone window grows or shrinks around it.
    void SetScreenSize(QSize size);
    // Turns the screen between portrait and landscape (the F9 key).
    void Rotate();

    // Shows the phone window in front and records it as active without telling anyone: the caller
    // (the framework, at start-up) sends the activation itself.
    void ShowActive();
    // Raises a top-level window and gives it activation, where the window system allows it.
    static void RaiseTopLevel(QWidget* window);

    // A modal message box inside the screen; returns IDOK, IDYES or IDNO.
    int RunMessageBox(const QString& text, const QString& caption, unsigned type);
    ShellMessageBox* ActiveMessageBox() const { return messageBox; }
    // Called with each message box once it is up (tests read and answer it from here).
    void SetMessageBoxObserver(std::function<void(ShellMessageBox&)> observer);

    // Brings the bars up to date with the front window (title, Done, keys and their states).
    void RefreshBars();
    // Like the idle time after each input on the phone: the keys' states are asked again once the
    // input has been handled.
    void ScheduleIdleUpdate();

    // The main window hears that what it shows changed: at once when it is in front of an active
    // phone, else when it next is (unless an activation told it first).
    void NotifyDataChanged();

    NavBar* NavigationBar() const { return navBar; }
    SoftKeyBar* SoftKeys() const { return softKeyBar; }
    QString NavTitleText() const;

    // Sends a command of the window's bar to the window, when it still exists.
    void SendCommand(QWidget* window, uint16_t id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOut();
    void PaintScreenInBaseColour();
    // The drawn body around the screen; none in full-screen mode.
    QMargins BodyMargins() const;

    WidgetFacts facts;
    WindowStack stack{facts};
    QWidget* screen = nullptr;
    NavBar* navBar = nullptr;
    ::WorkArea* workArea = nullptr;
    SoftKeyBar* softKeyBar = nullptr;
    PhoneKeys* keys = nullptr;
    QPushButton* talkButton = nullptr;
    QPushButton* endButton = nullptr;
    QSize screenSize{kDefaultScreenWidth, kDefaultScreenHeight};
    bool idleUpdatePending = false;
    bool fullScreenMode = false;
    bool unattended = false;
    ShellMessageBox* messageBox = nullptr;
    std::function<void(ShellMessageBox&)> messageBoxObserver;
};
