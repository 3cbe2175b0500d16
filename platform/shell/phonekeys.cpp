#include "platform/shell/phonekeys.h"

#include "platform/shell/phonescreen.h"
#include "platform/shell/softkeybar.h"
#include "platform/shell/virtualkey.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

PhoneKeys::PhoneKeys(PhoneScreen* phoneScreen) : QObject(phoneScreen), phone(phoneScreen) {}

void PhoneKeys::SendCallKey(unsigned virtualKey, bool released) {
    // The keys go to the active window, the front one, wherever the focus is: to the window inside
    // it that claimed them, else to the front window itself.
    QWidget* target = phone->CallKeyTarget();
    if (target == nullptr) {
        return;
    }
    QKeyEvent key(released ? QEvent::KeyRelease : QEvent::KeyPress, virtualKey == VK_TTALK ? Qt::Key_F3 : Qt::Key_F4,
                  Qt::NoModifier);
    delivering = true;
    QCoreApplication::sendEvent(target, &key);
    delivering = false;
}

bool PhoneKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    if (!watched->isWidgetType() || !BelongsToPhone(static_cast<QWidget*>(watched))) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool released = event->type() == QEvent::KeyRelease;
    phone->ScheduleIdleUpdate();
    if ((key->key() == Qt::Key_F3 || key->key() == Qt::Key_F4) && !delivering) {
        if (!key->isAutoRepeat()) {
            SendCallKey(key->key() == Qt::Key_F3 ? VK_TTALK : VK_TEND, released);
        }
        return true;
    }
    if (key->key() == Qt::Key_F1 || key->key() == Qt::Key_F2) {
        if (!released && !key->isAutoRepeat()) {
            phone->SoftKeys()->PressKey(key->key() == Qt::Key_F1 ? 0 : 1);
        }
        return true;
    }
    if (key->key() == Qt::Key_F9) {
        if (!released && !key->isAutoRepeat()) {
            phone->Rotate();
        }
        return true;
    }
    return false;
}

bool PhoneKeys::BelongsToPhone(const QWidget* widget) const {
    // A popup menu of a soft key is a window of its own, opened from the phone.
    for (const QWidget* window = widget != nullptr ? widget->window() : nullptr; window != nullptr;
         window = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr) {
        if (window == phone) {
            return true;
        }
    }
    return false;
}
