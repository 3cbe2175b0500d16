#pragma once

#include "platform/ui/dialog.h"

// The About box: the logo, "Version 1.6.0" and five lines of the maker's text. The template holds
// a landscape and a portrait set of the seven controls; the set for the screen's shape is shown.
//
// Opening it: construct without a parent, DoModal; it records its kind in LastDialogKind.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
};
