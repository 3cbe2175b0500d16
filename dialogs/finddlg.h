#pragma once

#include "calllog/callsearch.h"
#include "platform/text/textops.h"
#include "platform/ui/dialog.h"

// Find: one field in which the user types a name, number or place to look for. Enter in the field
// confirms as Done does; the list view reads the typed text afterwards and searches its calls.
//
// Opening it: construct, put the search that is on (if any) in `text`, DoModal; on IDOK `text`
// holds what the user typed (empty to end the search). It records its kind in LastDialogKind.
class CFindDlg : public CDialog {
public:
    explicit CFindDlg(CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
    void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;

    FixedText<CallSearch::kMaxTyped + 1> text;
};
