#pragma once

#include "platform/ui/view.h"

// A view whose window is a list. The list itself comes with the call list; until then the view is
// an empty white pane.
class CListView : public CView {
public:
    CListView();

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool OnEraseBkgnd(CDC* dc) override;
};
