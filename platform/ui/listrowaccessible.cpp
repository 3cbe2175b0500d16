#include "platform/ui/listrowaccessible.h"

#include "platform/ui/listaccessible.h"
#include "platform/ui/listcontrol.h"

#include <QWidget>
#include <QWindow>

ListRowAccessible::ListRowAccessible(ListControl* listControl, int rowIndex) : list(listControl), row(rowIndex) {}

ListControl* ListRowAccessible::List() const {
    return static_cast<ListControl*>(list.data());
}

bool ListRowAccessible::isValid() const {
    return List() != nullptr && List()->HasRow(row);
}

QObject* ListRowAccessible::object() const {
    return nullptr;
}

QWindow* ListRowAccessible::window() const {
    return List() != nullptr ? List()->window()->windowHandle() : nullptr;
}

QAccessibleInterface* ListRowAccessible::parent() const {
    return QAccessible::queryAccessibleInterface(List());
}

QAccessibleInterface* ListRowAccessible::child(int) const {
    return nullptr;
}

int ListRowAccessible::childCount() const {
    return 0;
}

int ListRowAccessible::indexOfChild(const QAccessibleInterface*) const {
    return -1;
}

QAccessibleInterface* ListRowAccessible::childAt(int, int) const {
    return nullptr;
}

QAccessibleInterface* ListRowAccessible::focusChild() const {
    return nullptr;
}

QString ListRowAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || !isValid()) {
        return {};
    }
    return List()->SpokenText(row);
}

void ListRowAccessible::setText(QAccessible::Text, const QString&) {}

QRect ListRowAccessible::rect() const {
    if (!isValid()) {
        return {};
    }
    const CRect bounds = List()->RowBounds(row);
    const QPoint origin = List()->mapToGlobal(QPoint(bounds.left, bounds.top));
    return QRect(origin, QSize(bounds.Width(), bounds.Height()));
}

QAccessible::Role ListRowAccessible::role() const {
    return QAccessible::ListItem;
}

QAccessible::State ListRowAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.selectable = true;
    state.focusable = true;
    state.selected = List()->RowState(row, LVIS_SELECTED) != 0;
    state.focused = List()->hasFocus() && FocusRow(List()) == row;
    const CRect bounds = List()->RowBounds(row);
    state.invisible = bounds.bottom <= 0 || bounds.top >= List()->ClientRect().height();
    state.offscreen = state.invisible;
    return state;
}
