#include "platform/ui/listview.h"

#include "platform/ui/dc.h"
#include "platform/ui/listcontrol.h"

#include <QFontMetrics>

CListView::CListView() = default;

bool CListView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_BORDER;
    return CView::PreCreateWindow(cs);
}

WndWidget* CListView::CreateWidget(QWidget* parent) {
    auto* control = new ListControl(this, this, parent);
    listCtrl = CListCtrl(control);
    return control;
}

bool CListView::OnEraseBkgnd(CDC* dc) {
    CRect box;
    dc->GetClipBox(box);
    dc->FillSolidRect(box, listCtrl.GetBkColor());
    return true;
}

void CListView::OnKeyDown(unsigned virtualKey, unsigned, unsigned) {
    if (ListControl* control = listCtrl.Control()) {
        control->HandleKey(virtualKey);
    }
}

void CListView::OnLButtonDown(unsigned, CPoint point) {
    if (ListControl* control = listCtrl.Control()) {
        control->HandlePress(point);
    }
}

void CListView::OnSetFont(const CFont* font, bool redraw) {
    CView::OnSetFont(font, redraw);
}

void CListView::OnWindowPosChanged(WINDOWPOS*) {
    if (ListControl* control = listCtrl.Control()) {
        control->MeasureRows();
    }
}

void CListView::GetSpokenText(int row, std::u16string& text) {
    text.clear();
    for (int column = 0; column < 2; ++column) {
        const std::u16string part = listCtrl.GetItemText(row, column);
        if (!part.empty()) {
            text += (text.empty() ? u"" : u", ") + part;
        }
    }
}

void CListView::MeasureItem(MEASUREITEMSTRUCT* measure) {
    // Without an answer of the owner a row is as high as a line of the list's font.
    if (ListControl* control = listCtrl.Control()) {
        measure->itemHeight = static_cast<unsigned>(QFontMetrics(control->font()).height());
    }
}

void CListView::OnCustomDraw(NMLVCUSTOMDRAW*, LRESULT* result) {
    *result = CDRF_DODEFAULT;
}

void CListView::OnClick(NMITEMACTIVATE*, LRESULT*) {}

void CListView::OnListNotify(NMHDR*, LRESULT*) {}
