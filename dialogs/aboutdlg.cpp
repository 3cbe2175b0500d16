#include "dialogs/aboutdlg.h"

#include "dialogs/dialogstate.h"
#include "dialogs/endkey.h"
#include "dialogs/islandscape.h"
#include "platform/shell/shellservices.h"
#include "resources/resource.h"

namespace {

constexpr unsigned kLandscapeSet[] = {IDC_ABOUT_LOGO_LAND,  IDC_ABOUT_VERSION_LAND, IDC_ABOUT_LINE1_LAND,
                                      IDC_ABOUT_LINE2_LAND, IDC_ABOUT_LINE3_LAND,   IDC_ABOUT_LINE4_LAND,
                                      IDC_ABOUT_LINE5_LAND};
constexpr unsigned kPortraitSet[] = {IDC_ABOUT_LOGO_PORT,  IDC_ABOUT_VERSION_PORT, IDC_ABOUT_LINE1_PORT,
                                     IDC_ABOUT_LINE2_PORT, IDC_ABOUT_LINE3_PORT,   IDC_ABOUT_LINE4_PORT,
                                     IDC_ABOUT_LINE5_PORT};

void ShowSet(CDialog* dialog, const unsigned (&ids)[7], int showCommand) {
    for (unsigned id : ids) {
        if (CWnd* control = dialog->GetDlgItem(id)) {
            control->ShowWindow(showCommand);
        }
    }
}

} // namespace

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

bool CAboutDlg::OnInitDialog() {
    ShellServices::InitFullScreenDialog(GetSafeHwnd());
    LastDialogKind = kDialogAbout;
    ShellServices::SetNavBarTitle(GetSafeHwnd(), u"About");
    ShellServices::ClaimCallKeys(GetSafeHwnd());
    ShellServices::ShowDoneButton(GetSafeHwnd(), true);
    return true;
}

void CAboutDlg::OnSize(unsigned, int, int) {
    const bool landscape = IsLandscape();
    ShowSet(this, kLandscapeSet, landscape ? SW_SHOW : SW_HIDE);
    ShowSet(this, kPortraitSet, landscape ? SW_HIDE : SW_SHOW);
}

void CAboutDlg::OnKeyUp(unsigned virtualKey, unsigned, unsigned) {
    QuitOnEndKey(virtualKey);
}

void CAboutDlg::OnOK() {
    LastDialogKind = kDialogAbout;
    CDialog::OnOK();
}
