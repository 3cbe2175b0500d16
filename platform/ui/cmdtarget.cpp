#include "platform/ui/cmdtarget.h"

bool CCmdTarget::OnCmdMsg(unsigned id, CommandQuery query, CCmdUI* ui) {
    return DispatchCommand(id, query, ui);
}

bool CCmdTarget::DispatchCommand(unsigned, CommandQuery, CCmdUI*) {
    return false;
}
