#pragma once

#include "platform/ui/commandbar.h"
#include "platform/ui/framewnd.h"

// The program's one top-level window: the list view as its client area, the main soft-key bar, the
// title "Zonrik Ringlog" and the Done button, and the program's single way to end.
class CMainFrame : public CFrameWnd {
public:
    CMainFrame();

    // Ends the program at once with exit code 0: no question, nothing saved, no window closed first.
    void OnQuit();

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(CREATESTRUCT* cs) override;
    void OnActivate(unsigned state, CWnd* other, bool minimized) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnSysCommand(unsigned id, long param) override;

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override;

private:
    CCommandBar commandBar;
};
