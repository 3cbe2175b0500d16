#pragma once

#include "platform/ui/runtimeclass.h"
#include "platform/ui/wnd.h"

class CDocument;
class CView;

// What a frame needs to make its client view.
struct CCreateContext {
    const CRuntimeClass* newViewClass = nullptr;
    CDocument* currentDoc = nullptr;
};

// The main frame: a full-screen window of the phone shell with its view as the client area. Commands
// go to the active view first (and from there to the document), then to the frame, then to the
// application object.
class CFrameWnd : public CWnd {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the window with the title from string resource resourceId (its first line) and, through
    // OnCreate, the client view of the context.
    bool LoadFrame(unsigned resourceId, uint32_t style, CWnd* parent, CCreateContext* context);
    // Makes the view active, runs its first update, then shows and activates the frame.
    void InitialUpdateFrame(CDocument* document, bool makeVisible);
    virtual void ActivateFrame(int showCommand = -1);

    CView* GetActiveView() const { return activeView; }
    void SetActiveView(CView* view, bool notify = true);
    // A view of the frame is going away.
    void ForgetView(CView* view);

    bool OnCmdMsg(unsigned id, CommandQuery query, CCmdUI* ui) override;
    int OnCreate(CREATESTRUCT* cs) override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnDataChanged() override;

protected:
    virtual bool OnCreateClient(CREATESTRUCT* cs, CCreateContext* context);
    void DeliverActivation(unsigned state, CWnd* other) override;
    void RegisterWithShell() override;

private:
    CView* activeView = nullptr;
    CView* firstView = nullptr;
    CCreateContext* createContext = nullptr;
};
