#include "platform/shell/softkeybaraccessible.h"

#include "platform/shell/softkeybar.h"

#include <QMenu>

namespace {

QAccessibleInterface* SoftKeyBarFactory(const QString&, QObject* object) {
    if (auto* bar = dynamic_cast<SoftKeyBar*>(object)) {
        return new SoftKeyBarAccessible(bar);
    }
    return nullptr;
}

} // namespace

SoftKeyBarAccessible::SoftKeyBarAccessible(SoftKeyBar* bar) : QAccessibleWidget(bar, QAccessible::ToolBar) {}

QAccessibleInterface* SoftKeyBarAccessible::OpenMenuInterface() const {
    QMenu* menu = static_cast<SoftKeyBar*>(widget())->OpenMenu();
    return menu != nullptr && menu->isVisible() ? QAccessible::queryAccessibleInterface(menu) : nullptr;
}

int SoftKeyBarAccessible::childCount() const {
    return QAccessibleWidget::childCount() + (OpenMenuInterface() != nullptr ? 1 : 0);
}

QAccessibleInterface* SoftKeyBarAccessible::child(int index) const {
    const int keys = QAccessibleWidget::childCount();
    return index < keys ? QAccessibleWidget::child(index) : index == keys ? OpenMenuInterface() : nullptr;
}

int SoftKeyBarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    QAccessibleInterface* menu = OpenMenuInterface();
    if (menu != nullptr && child == menu) {
        return QAccessibleWidget::childCount();
    }
    return QAccessibleWidget::indexOfChild(child);
}

void SoftKeyBarAccessible::Install() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(SoftKeyBarFactory);
    }
}
