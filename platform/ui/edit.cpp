#include "platform/ui/edit.h"

#include <QLineEdit>

namespace {

// The longest text an edit control takes without a limit of its own.
constexpr int kNoLimit = 32767;

} // namespace

CEdit::CEdit() = default;

void CEdit::LimitText(int chars) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetSafeHwnd())) {
        edit->setMaxLength(chars > 0 ? chars : kNoLimit);
    }
}

int CEdit::GetLimitText() const {
    auto* edit = qobject_cast<QLineEdit*>(GetSafeHwnd());
    return edit != nullptr ? edit->maxLength() : 0;
}
