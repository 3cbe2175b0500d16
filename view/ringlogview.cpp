#include "view/ringlogview.h"

#include "platform/shell/shellservices.h"
#include "platform/shell/virtualkey.h"
#include "platform/ui/winapp.h"
#include "resources/resource.h"

CRinglogView::CRinglogView() = default;
CRinglogView::~CRinglogView() = default;

void CRinglogView::OnActivateView(bool, CView*, CView*) {
    ShellServices::ClaimCallKeys(GetSafeHwnd());
    SetFocus();
}

void CRinglogView::OnKeyUp(unsigned virtualKey, unsigned, unsigned) {
    // The End key ends the program through the main frame's Quit.
    if (virtualKey == VK_TEND) {
        if (CWnd* frame = AfxGetMainWnd()) {
            frame->SendCommand(ID_MENU_QUIT);
        }
    }
}
