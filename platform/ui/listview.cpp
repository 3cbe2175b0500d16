#include "platform/ui/listview.h"

#include "platform/ui/dc.h"

CListView::CListView() = default;

bool CListView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_BORDER;
    return CView::PreCreateWindow(cs);
}

bool CListView::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(client);
    dc->FillSolidRect(client, RGB(255, 255, 255));
    return true;
}
