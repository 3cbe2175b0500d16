#pragma once

#include "platform/ui/wnd.h"

class CDocument;

// A view: a child window of a frame that shows its document. Commands that reach it and are not its
// own go on to its document.
class CView : public CWnd {
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return document; }
    void SetDocument(CDocument* doc) { document = doc; }

    // After the window exists, before the first activation notice.
    virtual void OnInitialUpdate();
    // The activation notice: the frame's activation changed (a dialog opened or closed over it, the
    // phone window lost or regained activation).
    virtual void OnActivateView(bool activate, CView* activateView, CView* deactiveView);

    bool OnCmdMsg(unsigned id, CommandQuery query, CCmdUI* ui) override;

protected:
    // The document template makes the view with new; it goes when its window goes.
    void PostNcDestroy() override;

private:
    CDocument* document = nullptr;
};
