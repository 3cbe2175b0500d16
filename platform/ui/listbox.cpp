#include "platform/ui/listbox.h"

#include <QListWidget>

CListBox::CListBox() = default;

int CListBox::GetCurSel() const {
    auto* list = qobject_cast<QListWidget*>(GetSafeHwnd());
    if (list == nullptr || list->currentItem() == nullptr || !list->currentItem()->isSelected()) {
        return -1;
    }
    return list->currentRow();
}

bool CListBox::SetCurSel(int index) {
    auto* list = qobject_cast<QListWidget*>(GetSafeHwnd());
    if (list == nullptr || index < -1 || index >= list->count()) {
        return false;
    }
    list->setCurrentRow(index);
    return true;
}
