#include "dialogs/endkey.h"

#include "platform/shell/virtualkey.h"
#include "platform/ui/winapp.h"
#include "platform/ui/wnd.h"
#include "resources/resource.h"

void QuitOnEndKey(unsigned virtualKey) {
    if (virtualKey != VK_TEND) {
        return;
    }
    // Before the frame exists (or after it is gone) there is nothing to quit through.
    if (CWnd* frame = AfxGetMainWnd()) {
        frame->SendCommand(ID_MENU_QUIT);
    }
}
