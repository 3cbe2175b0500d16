#pragma once

#include "platform/ui/wnd.h"

// A combo box of a dialog, as far as the program asks of it: its selected item.
class CComboBox : public CWnd {
public:
    CComboBox();

    // The selected item's index, or -1 when none is selected.
    int GetCurSel() const;
    // Selects the item (-1: none); false for an index outside the list.
    bool SetCurSel(int index);
};
