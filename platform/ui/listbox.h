#pragma once

#include "platform/ui/wnd.h"

// A list box of a dialog, as far as the program asks of it: its selected item.
class CListBox : public CWnd {
public:
    CListBox();

    // The selected item's index, or -1 when none is selected.
    int GetCurSel() const;
    // Selects the item (-1: none); false for an index outside the list.
    bool SetCurSel(int index);
};
