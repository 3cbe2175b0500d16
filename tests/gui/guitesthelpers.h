#pragma once

// Helpers of the GUI tests: the phone's parts by name, soft keys and menus as a person uses them,
// the recorded end of the program.

#include "platform/shell/navbar.h"
#include "platform/shell/phonescreen.h"
#include "platform/shell/softkeybar.h"
#include "platform/ui/process.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QTest>

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

inline PhoneScreen* Phone() {
    return PhoneScreen::Instance();
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

} // namespace guitest
