#include "platform/ui/combobox.h"

#include <QComboBox>

CComboBox::CComboBox() = default;

int CComboBox::GetCurSel() const {
    auto* combo = qobject_cast<QComboBox*>(GetSafeHwnd());
    return combo != nullptr ? combo->currentIndex() : -1;
}

bool CComboBox::SetCurSel(int index) {
    auto* combo = qobject_cast<QComboBox*>(GetSafeHwnd());
    if (combo == nullptr || index < -1 || index >= combo->count()) {
        return false;
    }
    combo->setCurrentIndex(index);
    return true;
}
