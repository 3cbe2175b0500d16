#pragma once

// Helpers of the GUI tests: the phone's parts by name, soft keys and menus as a person uses them,
// a dialog acted on while it is up, the recorded end of the program.

#include "platform/shell/navbar.h"
#include "platform/shell/phonescreen.h"
#include "platform/shell/phoneshell.h"
#include "platform/shell/softkeybar.h"
#include "platform/ui/dialog.h"
#include "platform/ui/process.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <optional>
#include <string>
#include <vector>

namespace guitest {

// The end of the program, recorded instead of done.
inline std::optional<int>& RecordedExit() {
    static std::optional<int> code;
    return code;
}

inline void RecordExit(int code) {
    if (!RecordedExit().has_value()) {
        RecordedExit() = code;
    }
}

inline void IgnoreOffscreenLimits();

inline void RecordExitsInsteadOfEnding() {
    IgnoreOffscreenLimits();
    RecordedExit().reset();
    SetEndProcessHook(RecordExit);
}

// The offscreen platform cannot raise windows or grab the keyboard for a popup menu and says so;
// those notes are about the test platform, not faults of the program. Every other message still
// goes to the shared handler, which fails the test.
inline QtMessageHandler& PreviousHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void SkipOffscreenLimits(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (PreviousHandler() != nullptr) {
        PreviousHandler()(type, context, message);
    }
}

inline void IgnoreOffscreenLimits() {
    if (PreviousHandler() == nullptr) {
        PreviousHandler() = qInstallMessageHandler(SkipOffscreenLimits);
    }
}

// The drawn phone's window, while the phone shell is the current one and its controls are up.
inline PhoneScreen* Phone() {
    auto* shell = dynamic_cast<PhoneShell*>(&CurrentShell());
    return shell != nullptr ? shell->Screen() : nullptr;
}

inline QPushButton* SoftKey(int index) {
    return Phone()->findChild<QPushButton*>(index == 0 ? QStringLiteral("leftSoftKey")
                                                       : QStringLiteral("rightSoftKey"));
}

// Taps a soft key with the mouse; a popup key leaves its menu open.
inline void TapSoftKey(int index) {
    QPushButton* key = SoftKey(index);
    QTest::mouseClick(key, Qt::LeftButton);
    QApplication::processEvents();
}

inline int CommandOf(const QAction* action) {
    const QVariant command = action->property("ringlogCommand");
    return command.isValid() ? static_cast<int>(command.toUInt()) : -1;
}

inline QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Another program takes the screen and gives it back: the phone window loses activation and gets it
// again.
inline void LeaveAndComeBack() {
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    Phone()->activateWindow();
    QApplication::processEvents();
}

// Lets queued events (a request from another instance) be handled until done or the time is up.
inline void ProcessUntil(const bool& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// Taps a menu item where it is drawn; a disabled item swallows the tap.
inline void TapMenuItem(QMenu* menu, QAction* action) {
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
    QApplication::processEvents();
}

// The next dialog to come up runs act once it is up and in front (looked for every 10 ms, from the
// loop the dialog runs); act should close it as a person would. A dialog left open is cancelled,
// and one that never comes up fails the test after 5 s, so a failing test never hangs.
inline void WhenDialogUp(std::function<void(CDialog&)> act) {
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        auto* dialog = dynamic_cast<CDialog*>(CWnd::GetActiveWindow());
        if (dialog == nullptr) {
            if (++*tries > 500) {
                ADD_FAILURE() << "no dialog came up";
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        if (!dialog->IsEnding()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog->EndDialog(-2);
        }
    });
    poll->start(10);
}

} // namespace guitest
