#include "platform/shell/shellservices.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/phonescreen.h"

#include <QString>
#include <QWidget>

namespace {

int ShowInPhoneScreen(const void*, const char16_t* text, const char16_t* caption, unsigned type) {
    return PhoneScreen::Instance()->RunMessageBox(QString::fromUtf16(text != nullptr ? text : u""),
                                                  QString::fromUtf16(caption != nullptr ? caption : u""), type);
}

// Every call but the first builds nothing: the calls of a window the shell does not know are ignored.
PhoneScreen* Phone() {
    return PhoneScreen::Exists() ? PhoneScreen::Instance() : nullptr;
}

} // namespace

void ShellServices::InitShellControls() {
    PhoneScreen::Instance();
    SetMessageBoxHandler(ShowInPhoneScreen);
}

void ShellServices::SetNavBarTitle(WindowHandle window, const char16_t* text) {
    if (PhoneScreen* phone = Phone()) {
        phone->SetNavTitle(window, QString::fromUtf16(text != nullptr ? text : u""));
    }
}

int ShellServices::CreateSoftKeyBar(WindowHandle window, uint16_t menuId) {
    PhoneScreen* phone = Phone();
    return phone != nullptr ? phone->SetSoftKeys(window, menuId) : -1;
}

void ShellServices::ClaimCallKeys(WindowHandle window) {
    if (PhoneScreen* phone = Phone()) {
        phone->ClaimCallKeys(window);
    }
}

void ShellServices::InitFullScreenDialog(WindowHandle dialog) {
    if (PhoneScreen* phone = Phone()) {
        phone->MakeFullScreen(dialog);
        phone->ClearSoftKeys(dialog);
        phone->ShowDone(dialog);
    }
}

void ShellServices::ShowDoneButton(WindowHandle window, bool show) {
    PhoneScreen* phone = Phone();
    if (phone == nullptr) {
        return;
    }
    if (show) {
        phone->ShowDone(window);
    } else {
        phone->HideDone();
    }
}

ScreenSize ShellServices::GetScreenSize() {
    const QSize size = PhoneScreen::Exists()
                           ? PhoneScreen::Instance()->ScreenSize()
                           : QSize(PhoneScreen::kDefaultScreenWidth, PhoneScreen::kDefaultScreenHeight);
    return ScreenSize{size.width(), size.height()};
}
