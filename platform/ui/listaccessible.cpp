#include "platform/ui/listaccessible.h"

#include "platform/text/textqt.h"
#include "platform/ui/listcontrol.h"
#include "platform/ui/listrowaccessible.h"

namespace {

QAccessibleInterface* ListFactory(const QString&, QObject* object) {
    if (auto* list = dynamic_cast<ListControl*>(object)) {
        return new ListAccessible(list);
    }
    return nullptr;
}

ListAccessible* InterfaceOf(ListControl* list) {
    if (!QAccessible::isActive()) {
        return nullptr;
    }
    return dynamic_cast<ListAccessible*>(QAccessible::queryAccessibleInterface(list));
}

} // namespace

int FocusRow(ListControl* list) {
    const int focused = list->NextRow(-1, LVIS_FOCUSED);
    return focused >= 0 ? focused : list->NextRow(-1, LVIS_SELECTED);
}

ListAccessible::ListAccessible(ListControl* list) : QAccessibleWidget(list, QAccessible::List) {}

ListAccessible::~ListAccessible() {
    ForgetRows();
}

ListControl* ListAccessible::List() const {
    return static_cast<ListControl*>(widget());
}

int ListAccessible::RowCount() const {
    return List()->RowCount();
}

void ListAccessible::ForgetRows() {
    for (const auto& [row, id] : rowInterfaces) {
        QAccessible::deleteAccessibleInterface(id);
    }
    rowInterfaces.clear();
}

int ListAccessible::childCount() const {
    return RowCount() + QAccessibleWidget::childCount();
}

QAccessibleInterface* ListAccessible::child(int index) const {
    if (index < 0) {
        return nullptr;
    }
    if (index >= RowCount()) {
        return QAccessibleWidget::child(index - RowCount());
    }
    const auto found = rowInterfaces.find(index);
    if (found != rowInterfaces.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    auto* row = new ListRowAccessible(List(), index);
    rowInterfaces[index] = QAccessible::registerAccessibleInterface(row);
    return row;
}

int ListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (const auto* row = dynamic_cast<const ListRowAccessible*>(child)) {
        return row->isValid() ? row->Row() : -1;
    }
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : index + RowCount();
}

QAccessibleInterface* ListAccessible::childAt(int x, int y) const {
    const QPoint local = List()->mapFromGlobal(QPoint(x, y));
    const int row = List()->HitTest(CPoint{local.x(), local.y()});
    return row >= 0 ? child(row) : QAccessibleWidget::childAt(x, y);
}

QAccessibleInterface* ListAccessible::focusChild() const {
    if (!List()->hasFocus()) {
        return nullptr;
    }
    const int row = FocusRow(List());
    return row >= 0 ? child(row) : nullptr;
}

QString ListAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Description && !List()->EmptyText().empty()) {
        return QString::fromStdU16String(List()->EmptyText());
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State ListAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.multiSelectable = true;
    return state;
}

void InstallListAccessibility() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(ListFactory);
    }
}

void ListRowsChanged(ListControl* list) {
    ListAccessible* accessible = InterfaceOf(list);
    if (accessible == nullptr) {
        return;
    }
    // Row interfaces are made again on demand, for the rows as they now stand.
    accessible->ForgetRows();
}

void ListRowStateChanged(ListControl* list, int row, unsigned oldState, unsigned newState) {
    ListAccessible* accessible = InterfaceOf(list);
    if (accessible == nullptr) {
        return;
    }
    QAccessibleInterface* item = accessible->child(row);
    if (item == nullptr) {
        return;
    }
    if (((oldState ^ newState) & LVIS_SELECTED) != 0) {
        QAccessible::State changes;
        changes.selected = true;
        QAccessibleStateChangeEvent event(item, changes);
        QAccessible::updateAccessibility(&event);
    }
    // The view moves the selection and leaves the focus state alone: a screen reader follows the row
    // that FocusRow names, so it hears of a newly selected row as of a focus change.
    const unsigned gained = newState & ~oldState;
    if ((gained & (LVIS_FOCUSED | LVIS_SELECTED)) != 0 && list->hasFocus() && FocusRow(list) == row) {
        QAccessibleEvent focus(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void ListEmptyTextChanged(ListControl* list) {
    if (InterfaceOf(list) == nullptr) {
        return;
    }
    QAccessibleEvent event(list, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void ListScrolled(ListControl* list) {
    if (InterfaceOf(list) == nullptr) {
        return;
    }
    QAccessibleEvent event(list, QAccessible::VisibleDataChanged);
    QAccessible::updateAccessibility(&event);
}
