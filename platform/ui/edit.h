#pragma once

#include "platform/ui/wnd.h"

// An edit control of a dialog: one line of text. Every change of its text, typed or set by the
// program, reaches the dialog as EN_CHANGE with the control's identifier.
class CEdit : public CWnd {
public:
    CEdit();

    // At most chars characters can be typed; 0 lifts the limit.
    void LimitText(int chars);
    int GetLimitText() const;
};
