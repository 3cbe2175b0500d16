#include "platform/shell/phoneshell.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/phonescreen.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>

namespace {

QString Text(const char16_t* text) {
    return QString::fromUtf16(text != nullptr ? text : u"");
}

} // namespace

PhoneShell::PhoneShell(bool fullScreenRequested, bool unattendedBoxes)
    : fullScreen(fullScreenRequested), unattended(unattendedBoxes) {}

PhoneShell::~PhoneShell() {
    DestroyShellControls();
}

void PhoneShell::InitShellControls() {
    if (screen != nullptr) {
        return;
    }
    screen = new PhoneScreen(fullScreen, unattended);
}

void PhoneShell::DestroyShellControls() {
    if (screen != nullptr) {
        delete screen;
        screen = nullptr;
    }
}

void PhoneShell::AddWindow(WindowHandle window, ShellClient* client, bool isMainFrame) {
    if (screen != nullptr) {
        screen->AddWindow(window, client, isMainFrame);
    }
}

void PhoneShell::RemoveWindow(WindowHandle window) {
    if (screen != nullptr) {
        screen->RemoveWindow(window);
    }
}

WindowHandle PhoneShell::WorkArea() const {
    return screen != nullptr ? screen->WorkArea() : nullptr;
}

void PhoneShell::ShowActive() {
    if (screen != nullptr) {
        screen->ShowActive();
    }
}

void PhoneShell::NotifyDataChanged() {
    if (screen != nullptr) {
        screen->NotifyDataChanged();
    }
}

void PhoneShell::BringToFront() {
    if (screen == nullptr) {
        return;
    }
    screen->setWindowState(screen->windowState() & ~Qt::WindowMinimized);
    screen->show();
    PhoneScreen::RaiseTopLevel(screen);
}

void PhoneShell::SetNavBarTitle(WindowHandle window, const char16_t* text) {
    if (screen != nullptr) {
        screen->SetNavTitle(window, Text(text));
    }
}

int PhoneShell::CreateSoftKeyBar(WindowHandle window, uint16_t menuId) {
    return screen != nullptr ? screen->SetSoftKeys(window, menuId) : -1;
}

void PhoneShell::ClaimCallKeys(WindowHandle window) {
    if (screen != nullptr) {
        screen->ClaimCallKeys(window);
    }
}

void PhoneShell::InitFullScreenDialog(WindowHandle dialog) {
    if (screen != nullptr) {
        screen->StartFullScreenDialog(dialog);
    }
}

void PhoneShell::ShowDoneButton(WindowHandle window, bool show) {
    if (screen == nullptr) {
        return;
    }
    if (show) {
        screen->ShowDone(window);
    } else {
        screen->HideDone();
    }
}

ScreenSize PhoneShell::GetScreenSize() const {
    if (screen == nullptr) {
        return kDefaultScreenSize;
    }
    const QSize size = screen->ScreenSize();
    return ScreenSize{size.width(), size.height()};
}

ShellRect PhoneShell::MenuBounds() const {
    if (screen == nullptr) {
        return {};
    }
    const QRect bounds = screen->ScreenRect();
    return ShellRect{bounds.x(), bounds.y(), bounds.width(), bounds.height()};
}

int PhoneShell::RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) {
    if (screen == nullptr) {
        return (type & MB_BUTTONMASK) == MB_YESNO ? IDNO : IDOK;
    }
    return screen->RunMessageBox(Text(text), Text(caption), type);
}

void PhoneShell::ShowWaitCursor(bool show) {
    if (show) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QApplication::restoreOverrideCursor();
    }
}

int PhoneShell::SaveScreen(const std::string& path) {
    if (screen == nullptr) {
        return -1;
    }
    // Lets the first paint and any queued layout happen before the picture is taken.
    QApplication::processEvents();
    QApplication::processEvents();
    // A first rendering lets the screen settle as after its first paint on the phone: the soft keys
    // are asked again once the list has painted (whether the selected call can be returned).
    screen->grab();
    QApplication::processEvents();
    return screen->grab().save(QString::fromStdString(path), "PNG") ? 0 : -1;
}
