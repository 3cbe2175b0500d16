#include "dialogs/revlookup.h"

#include "citydb/reverselookup.h"
#include "dialogs/dialogstate.h"
#include "dialogs/endkey.h"
#include "dialogs/islandscape.h"
#include "platform/shell/shellservices.h"
#include "platform/text/textops.h"
#include "platform/ui/edit.h"
#include "resources/resource.h"

#include <initializer_list>
#include <string>

namespace {

constexpr int kDigits = 6;

void ShowItems(CDialog* dialog, std::initializer_list<unsigned> ids, int showCommand) {
    for (unsigned id : ids) {
        if (CWnd* control = dialog->GetDlgItem(id)) {
            control->ShowWindow(showCommand);
        }
    }
}

// The field's text, at most six characters of it.
FixedText<kDigits + 1> DigitsOf(const CDialog* dialog, unsigned field) {
    FixedText<kDigits + 1> digits;
    if (const CWnd* control = dialog->GetDlgItem(field)) {
        const std::u16string text = control->GetWindowText();
        TextCopyN(digits.Data(), digits.capacity, text.c_str(), kDigits);
    }
    return digits;
}

} // namespace

CRevLookup::CRevLookup(CWnd* parent) : CDialog(IDD_REVLOOKUP, parent) {}

bool CRevLookup::OnInitDialog() {
    ShellServices::InitFullScreenDialog(GetSafeHwnd());
    LastDialogKind = kDialogReverseLookup;
    ShellServices::SetNavBarTitle(GetSafeHwnd(), u"Reverse Lookup");
    for (unsigned field : {IDC_LOOKUP_NUMBER_LAND, IDC_LOOKUP_NUMBER_PORT}) {
        if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(field))) {
            edit->LimitText(kDigits);
        }
    }
    ShellServices::ClaimCallKeys(GetSafeHwnd());
    ShellServices::ShowDoneButton(GetSafeHwnd(), true);
    // The resize of the full-screen sizing has already put the focus into the visible field.
    return true;
}

void CRevLookup::LookUp(unsigned field, unsigned resultLine) {
    const FixedText<kDigits + 1> digits = DigitsOf(this, field);
    FixedText<64> result;
    ReverseLookupText(digits.Data(), result.Data(), result.capacity);
    SetDlgItemText(resultLine, result.Data());
}

void CRevLookup::CarryDigits(unsigned from, unsigned to) {
    const FixedText<kDigits + 1> digits = DigitsOf(this, from);
    SetDlgItemText(to, digits.Data());
}

void CRevLookup::OnSize(unsigned, int, int) {
    // The digits move only when the shape changes, so a second resize in the same shape leaves
    // the field as the user left it.
    if (IsLandscape()) {
        ShowItems(this,
                  {IDC_LOOKUP_HEADLINE_LAND, IDC_LOOKUP_PROMPT_LAND, IDC_LOOKUP_RESULT_LAND, IDC_LOOKUP_LOGO_LAND},
                  SW_SHOW);
        ShowItems(this,
                  {IDC_LOOKUP_HEADLINE_PORT, IDC_LOOKUP_PROMPT_PORT, IDC_LOOKUP_RESULT_PORT, IDC_LOOKUP_LOGO_PORT},
                  SW_HIDE);
        ShowItems(this, {IDC_LOOKUP_CLEAR_LAND}, SW_SHOW);
        ShowItems(this, {IDC_LOOKUP_CLEAR_PORT}, SW_HIDE);
        if (orientation == 1) {
            CarryDigits(IDC_LOOKUP_NUMBER_PORT, IDC_LOOKUP_NUMBER_LAND);
        }
        ShowItems(this, {IDC_LOOKUP_NUMBER_LAND}, SW_SHOW);
        ShowItems(this, {IDC_LOOKUP_NUMBER_PORT}, SW_HIDE);
        if (CWnd* field = GetDlgItem(IDC_LOOKUP_NUMBER_LAND)) {
            field->SetFocus();
        }
        orientation = 2;
    } else {
        ShowItems(this,
                  {IDC_LOOKUP_HEADLINE_LAND, IDC_LOOKUP_PROMPT_LAND, IDC_LOOKUP_RESULT_LAND, IDC_LOOKUP_LOGO_LAND},
                  SW_HIDE);
        ShowItems(this,
                  {IDC_LOOKUP_HEADLINE_PORT, IDC_LOOKUP_PROMPT_PORT, IDC_LOOKUP_RESULT_PORT, IDC_LOOKUP_LOGO_PORT},
                  SW_SHOW);
        ShowItems(this, {IDC_LOOKUP_CLEAR_LAND}, SW_HIDE);
        ShowItems(this, {IDC_LOOKUP_CLEAR_PORT}, SW_SHOW);
        if (orientation == 2) {
            CarryDigits(IDC_LOOKUP_NUMBER_LAND, IDC_LOOKUP_NUMBER_PORT);
        }
        ShowItems(this, {IDC_LOOKUP_NUMBER_LAND}, SW_HIDE);
        ShowItems(this, {IDC_LOOKUP_NUMBER_PORT}, SW_SHOW);
        if (CWnd* field = GetDlgItem(IDC_LOOKUP_NUMBER_PORT)) {
            field->SetFocus();
        }
        orientation = 1;
    }
}

void CRevLookup::Clear(unsigned field) {
    // Emptying the field empties its result line through the lookup rule.
    SetDlgItemText(field, u"");
    if (CWnd* control = GetDlgItem(field)) {
        control->SetFocus();
    }
}

void CRevLookup::OnChangeNumberLand() {
    LookUp(IDC_LOOKUP_NUMBER_LAND, IDC_LOOKUP_RESULT_LAND);
}

void CRevLookup::OnChangeNumberPort() {
    LookUp(IDC_LOOKUP_NUMBER_PORT, IDC_LOOKUP_RESULT_PORT);
}

void CRevLookup::OnClearLand() {
    Clear(IDC_LOOKUP_NUMBER_LAND);
}

void CRevLookup::OnClearPort() {
    Clear(IDC_LOOKUP_NUMBER_PORT);
}

void CRevLookup::OnKeyUp(unsigned virtualKey, unsigned, unsigned) {
    // The Talk key does nothing here.
    QuitOnEndKey(virtualKey);
}

void CRevLookup::OnOK() {
    LastDialogKind = kDialogReverseLookup;
    CDialog::OnOK();
}

bool CRevLookup::DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) {
    static const CommandEntry<CRevLookup> commands[] = {
        {IDC_LOOKUP_CLEAR_LAND, &CRevLookup::OnClearLand},
        {IDC_LOOKUP_CLEAR_PORT, &CRevLookup::OnClearPort},
    };
    return WalkCommandTable(this, commands, id, query, ui) || CDialog::DispatchCommand(id, query, ui);
}

bool CRevLookup::DispatchNotification(unsigned code, unsigned id) {
    static const NotifyEntry<CRevLookup> notifications[] = {
        {EN_CHANGE, IDC_LOOKUP_NUMBER_LAND, &CRevLookup::OnChangeNumberLand},
        {EN_CHANGE, IDC_LOOKUP_NUMBER_PORT, &CRevLookup::OnChangeNumberPort},
    };
    return WalkNotifyTable(this, notifications, code, id) || CDialog::DispatchNotification(code, id);
}
