#include "dialogs/finddlg.h"

#include "dialogs/dialogstate.h"
#include "dialogs/endkey.h"
#include "platform/shell/shellservices.h"
#include "platform/shell/virtualkey.h"
#include "platform/ui/edit.h"
#include "resources/resource.h"

#include <string>

CFindDlg::CFindDlg(CWnd* parent) : CDialog(IDD_FIND, parent) {}

bool CFindDlg::OnInitDialog() {
    ShellServices::InitFullScreenDialog(GetSafeHwnd());
    LastDialogKind = kDialogFind;
    ShellServices::SetNavBarTitle(GetSafeHwnd(), u"Find");
    if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(IDC_FIND_TEXT))) {
        edit->LimitText(static_cast<int>(CallSearch::kMaxTyped));
        edit->SetWindowText(text.Data());
        edit->SetFocus();
    }
    ShellServices::ClaimCallKeys(GetSafeHwnd());
    ShellServices::ShowDoneButton(GetSafeHwnd(), true);
    return true;
}

void CFindDlg::OnSize(unsigned, int, int) {
    // The full-screen sizing and a turn of the screen move the focus; the field keeps it, so the
    // on-screen keyboard stays up for it.
    if (CWnd* field = GetDlgItem(IDC_FIND_TEXT)) {
        field->SetFocus();
    }
}

void CFindDlg::OnKeyDown(unsigned virtualKey, unsigned, unsigned) {
    // The field leaves Enter to the dialog: it confirms as Done does.
    if (virtualKey == VK_RETURN) {
        OnOK();
    }
}

void CFindDlg::OnKeyUp(unsigned virtualKey, unsigned, unsigned) {
    QuitOnEndKey(virtualKey);
}

void CFindDlg::OnOK() {
    if (const CWnd* field = GetDlgItem(IDC_FIND_TEXT)) {
        const std::u16string typed = field->GetWindowText();
        TextCopyN(text.Data(), text.capacity, typed.c_str(), CallSearch::kMaxTyped);
    }
    LastDialogKind = kDialogFind;
    CDialog::OnOK();
}
