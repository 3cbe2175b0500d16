#include "platform/ui/commandbar.h"

#include "platform/shell/shellservices.h"
#include "platform/ui/wnd.h"

bool CCommandBar::Create(CWnd* parent, uint32_t style, unsigned id) {
    if (parent == nullptr || parent->GetSafeHwnd() == nullptr) {
        return false;
    }
    owner = parent;
    windowStyle = style;
    barId = id;
    return true;
}

bool CCommandBar::InsertMenuBar(uint16_t menuId, int) {
    return owner != nullptr && ShellServices::CreateSoftKeyBar(owner->GetSafeHwnd(), menuId) == 0;
}

bool CCommandBar::AddAdornments(uint32_t flags) {
    // The phone's bar has no extra buttons to add; only "none" is possible.
    return owner != nullptr && flags == 0;
}
