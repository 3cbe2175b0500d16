#pragma once

#include "calllog/nvxcallentry.h"
#include "platform/text/textops.h"
#include "platform/ui/dialog.h"
#include "platform/ui/font.h"

// The call details: one call's type, name, number, city and state, duration, date and time, full
// screen, keeping the template's layout when the screen turns. Call and Delete only record the
// user's choice in InfoAction; the list view carries it out once the dialog has closed. Owns the
// bold font of the call-type line; the entry's phone texts are borrowed and never released.
//
// Opening it: construct, CopyEntry the row's entry into `entry`, DoModal, then read
// LastDialogKind and InfoAction (dialogs/dialogstate.h).
class CCallInfoDlg : public CDialog {
public:
    explicit CCallInfoDlg(CWnd* parent = nullptr);
    ~CCallInfoDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnPaint(CDC* dc) override;
    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
    void OnActivate(unsigned state, CWnd* other, bool minimized) override;
    void OnCtlColor(CDC* dc, CWnd* control, unsigned ctlColor) override;

    // The name, or nothing for "UnNamed"; cut with an ellipsis to what fits the name line.
    void ComposeNameLine();
    // "City, ST", the city cut with an ellipsis until the line fits, or the state alone when
    // hardly anything fits; nothing without a city or a state.
    void ComposeLocationLine();
    // Sets every value control from the entry and the composed lines.
    void RefreshTexts();

    NVXCallEntry entry;
    FixedText<60> locationLine;
    FixedText<101> nameLine;
    CFont boldFont;

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override;

private:
    void OnCall();
    void OnInfoDelete();
};
