#pragma once

#include "platform/ui/dialog.h"

// The reverse lookup: the user types the six digits of an area code and exchange and sees their
// city and state as soon as the sixth is in. The template holds a landscape and a portrait set of
// controls; the set for the screen's shape is shown, and a turn carries the typed digits over.
//
// Opening it: construct without a parent, DoModal; it records its kind in LastDialogKind.
class CRevLookup : public CDialog {
public:
    explicit CRevLookup(CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;

    // The set shown last: 1 portrait, 2 landscape.
    int orientation = 1;

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override;
    bool DispatchNotification(unsigned code, unsigned id) override;

private:
    // The lookup rule: the field's digits (at most six) give the text of its result line.
    void LookUp(unsigned field, unsigned resultLine);
    // Copies the digits of one field into the other; the copy runs the other field's lookup.
    void CarryDigits(unsigned from, unsigned to);
    void Clear(unsigned field);

    void OnChangeNumberLand();
    void OnChangeNumberPort();
    void OnClearLand();
    void OnClearPort();
};
