#pragma once

#include "platform/ui/listview.h"

// The main window's client area: the call list. The list's rows, filters and commands come with the
// call list; this much already claims the phone's Talk and End keys and ends the program on End.
class CRinglogView : public CListView {
public:
    CRinglogView();
    ~CRinglogView() override;

    void OnActivateView(bool activate, CView* activateView, CView* deactiveView) override;
    void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
};
