#include "platform/shell/softkeybar.h"

#include "platform/shell/menutext.h"
#include "platform/shell/phonescreen.h"
#include "platform/shell/shellclient.h"
#include "platform/shell/softkeybaraccessible.h"
#include "platform/shell/windowstack.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr const char* kCommandProperty = "ringlogCommand";

// Where a menu placed at menu by the toolkit goes inside bounds: a submenu that would spill past the
// right edge opens on the left of its menu (opener) instead, as it does at a display's edge, and
// what still lies outside is moved in.
QPoint PlaceInside(QRect menu, const QRect& bounds, const QRect* opener) {
    if (menu.right() > bounds.right() && opener != nullptr) {
        menu.moveRight(opener->left() - 1);
    }
    menu.moveLeft(std::max(bounds.left(), std::min(menu.left(), bounds.right() + 1 - menu.width())));
    menu.moveTop(std::max(bounds.top(), std::min(menu.top(), bounds.bottom() + 1 - menu.height())));
    return menu.topLeft();
}

} // namespace

SoftKeyBar::SoftKeyBar(PhoneScreen* phoneScreen, QWidget* parent) : QWidget(parent), phone(phoneScreen) {
    SoftKeyBarAccessible::Install();
    setFixedHeight(kHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new QPushButton(this);
        buttons[i]->setObjectName(i == 0 ? QStringLiteral("leftSoftKey") : QStringLiteral("rightSoftKey"));
        buttons[i]->setFocusPolicy(Qt::NoFocus);
        buttons[i]->setFlat(true);
        buttons[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        buttons[i]->setStyleSheet(
            QStringLiteral("QPushButton { color: white; font-size: 12px; border: none; background: transparent; }"
                           "QPushButton:pressed { background: #5b8fd1; }"
                           "QPushButton:disabled { color: #8d9bb0; }"));
        layout->addWidget(buttons[i], 1);
        QObject::connect(buttons[i], &QPushButton::clicked, this, [this, i] { PressKey(i); });
    }
}

void SoftKeyBar::SetKeys(QWidget* keyWindow, ShellClient* keyClient, const MenuTemplate* keyTemplate) {
    if (openMenu != nullptr && window != keyWindow) {
        openMenu->close();
    }
    window = keyWindow;
    client = keyClient;
    keys = keyTemplate != nullptr ? *keyTemplate : MenuTemplate{};
    for (int i = 0; i < 2; ++i) {
        buttons[i]->setText(KeyText(i));
    }
    UpdateStates();
}

void SoftKeyBar::UpdateStates() {
    for (int i = 0; i < 2; ++i) {
        const bool enabled =
            i < KeyCount() &&
            WindowStack::StateOf(keys.items[static_cast<size_t>(i)], window != nullptr ? client : nullptr).enabled;
        buttons[i]->setEnabled(enabled);
    }
    update();
}

int SoftKeyBar::KeyCount() const {
    return static_cast<int>(std::min<size_t>(keys.items.size(), 2));
}

QString SoftKeyBar::KeyText(int index) const {
    if (index < 0 || index >= KeyCount()) {
        return {};
    }
    return MenuText(keys.items[static_cast<size_t>(index)].text);
}

bool SoftKeyBar::KeyEnabled(int index) const {
    return index >= 0 && index < 2 && buttons[index]->isEnabled();
}

void SoftKeyBar::PressKey(int index) {
    // A soft key pressed while a menu is open closes the menu, as on the phone.
    if (openMenu != nullptr && openMenu->isVisible()) {
        openMenu->close();
        return;
    }
    UpdateStates();
    if (!KeyEnabled(index) || window == nullptr) {
        return;
    }
    const MenuItem& item = keys.items[static_cast<size_t>(index)];
    if (!item.isPopup) {
        phone->SendCommand(window, item.id);
        return;
    }
    QMenu* menu = BuildMenu(item, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    openMenu = menu;
    UpdateMenu(menu);
    const QSize size = menu->sizeHint();
    QPushButton* key = buttons[index];
    const int x = index == 0 ? 0 : key->width() - size.width();
    menu->popup(key->mapToGlobal(QPoint(x, -size.height())));
}

QMenu* SoftKeyBar::BuildMenu(const MenuItem& popup, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setStyleSheet(QStringLiteral("QMenu { font-size: 12px; }"));
    menu->installEventFilter(this);
    for (const MenuItem& item : popup.children) {
        if (item.isSeparator) {
            menu->addSeparator();
        } else if (item.isPopup) {
            QMenu* sub = BuildMenu(item, menu);
            sub->setTitle(MenuText(item.text));
            menu->addMenu(sub);
        } else {
            QAction* action = menu->addAction(MenuText(item.text));
            action->setProperty(kCommandProperty, item.id);
            action->setEnabled((item.flags & MF_GRAYED) == 0);
            if ((item.flags & MF_CHECKED) != 0) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            QPointer<QWidget> target = window;
            const uint16_t id = item.id;
            QObject::connect(action, &QAction::triggered, this, [this, target, id] {
                if (target != nullptr) {
                    phone->SendCommand(target, id);
                }
            });
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] { UpdateMenu(menu); });
    return menu;
}

void SoftKeyBar::UpdateMenu(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        const QVariant command = action->property(kCommandProperty);
        if (!command.isValid() || window == nullptr || client == nullptr) {
            continue;
        }
        bool enabled = action->isEnabled();
        bool checked = action->isChecked();
        client->ShellQueryCommand(static_cast<uint16_t>(command.toUInt()), enabled, checked);
        action->setEnabled(enabled);
        // Only a checked item is checkable, so unchecked items show no empty box.
        action->setCheckable(checked);
        action->setChecked(checked);
    }
    // A submenu's states are right before it opens too: a screen reader reads them from here.
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            UpdateMenu(action->menu());
        }
    }
}

bool SoftKeyBar::eventFilter(QObject* watched, QEvent* event) {
    // The menu has its place but is not on the display yet: moved now, it never shows outside.
    auto* menu = qobject_cast<QMenu*>(watched);
    if (event->type() != QEvent::Show || menu == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    // The phone's own screen: on a desktop no menu spills over the drawn body.
    const QRect bounds = phone->ScreenRect();
    if (!bounds.isEmpty()) {
        const auto* opener = qobject_cast<QMenu*>(menu->parentWidget());
        const QRect openerPlace = opener != nullptr && opener->isVisible() ? opener->geometry() : QRect();
        const QPoint place = PlaceInside(menu->geometry(), bounds, openerPlace.isNull() ? nullptr : &openerPlace);
        if (place != menu->pos()) {
            menu->move(place);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SoftKeyBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, QColor(60, 70, 86));
    gradient.setColorAt(1.0, QColor(22, 26, 34));
    painter.fillRect(rect(), gradient);
    painter.setPen(QColor(120, 130, 146));
    painter.drawLine(width() / 2, 5, width() / 2, height() - 5);
}
