#include "platform/ui/view.h"

#include "platform/ui/document.h"
#include "platform/ui/framewnd.h"

CView::CView() = default;

CView::~CView() {
    if (auto* frame = dynamic_cast<CFrameWnd*>(GetParent())) {
        frame->ForgetView(this);
    }
    if (document != nullptr) {
        document->RemoveView(this);
    }
}

void CView::OnInitialUpdate() {
    Invalidate();
}

void CView::OnActivateView(bool activate, CView*, CView*) {
    if (activate) {
        SetFocus();
    }
}

bool CView::OnCmdMsg(unsigned id, CommandQuery query, CCmdUI* ui) {
    if (DispatchCommand(id, query, ui)) {
        return true;
    }
    return document != nullptr && document->OnCmdMsg(id, query, ui);
}

void CView::PostNcDestroy() {
    delete this;
}
