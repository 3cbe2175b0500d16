#pragma once

#include "platform/ui/listcontrolowner.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/view.h"

#include <string>

// A view whose window is a list-view control. The list's own handling of the messages it gets lives
// here (a derived view calls it as its base handling); the list's notifications reach the view as the
// virtual handlers below: the row-height request, custom draw, the click and other codes.
class CListView : public CView, public ListControlOwner {
public:
    CListView();

    CListCtrl& GetListCtrl() { return listCtrl; }
    const CListCtrl& GetListCtrl() const { return listCtrl; }

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    // The list fills its background with its background colour.
    bool OnEraseBkgnd(CDC* dc) override;
    // The list's own handling of a key and of a press (a press selects the row under it alone).
    void OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
    void OnLButtonDown(unsigned flags, CPoint point) override;
    // The list takes the font and redraws.
    void OnSetFont(const CFont* font, bool redraw) override;
    // The list's window moved or was resized: it measures its rows again.
    virtual void OnWindowPosChanged(WINDOWPOS* position);

    // Notifications of the list, reflected to the view.
    void MeasureItem(MEASUREITEMSTRUCT* measure) override;
    void OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override;
    void OnClick(NMITEMACTIVATE* click, LRESULT* result) override;
    void OnListNotify(NMHDR* header, LRESULT* result) override;
    // What a screen reader says for a row: the owner knows how its row texts read aloud. By
    // default the row's column texts, the empty ones left out, joined by ", ".
    void GetSpokenText(int row, std::u16string& text) override;

protected:
    WndWidget* CreateWidget(QWidget* parent) override;

private:
    CListCtrl listCtrl;
};
