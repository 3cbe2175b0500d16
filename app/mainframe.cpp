#include "app/mainframe.h"

#include "platform/shell/shellservices.h"
#include "platform/ui/process.h"
#include "resources/resource.h"

CMainFrame::CMainFrame() = default;

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(CREATESTRUCT* cs) {
    if (CFrameWnd::OnCreate(cs) == -1) {
        return -1;
    }
    // Child, visible, aligned to the top edge, border on its bottom side.
    if (!commandBar.Create(this, 0x50002800, ID_COMMANDBAR)) {
        return -1;
    }
    if (!commandBar.InsertMenuBar(IDR_MAIN_MENU, 0xFFFF)) {
        return -1;
    }
    if (!commandBar.AddAdornments(0)) {
        return -1;
    }
    commandBar.SetBarStyle(commandBar.GetBarStyle() | CCommandBar::CBRS_SIZE_FIXED);
    return 0;
}

void CMainFrame::OnActivate(unsigned, CWnd*, bool) {
    // Every change, in either direction: the main screen gets its Done button and title back. The
    // base handling is left out, so the view hears of the change only by its own notice.
    ShellServices::ShowDoneButton(GetSafeHwnd(), true);
    SetWindowText(u"Zonrik Ringlog");
}

void CMainFrame::OnQuit() {
    PostQuitMessage(0);
    EndProcess(0);
}

void CMainFrame::OnClose() {
    OnQuit();
}

void CMainFrame::OnDestroy() {
    OnQuit();
}

void CMainFrame::OnSysCommand(unsigned id, long) {
    // Close ends the program; every other system command is swallowed.
    if (id == SC_CLOSE) {
        OnQuit();
    }
}

bool CMainFrame::DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) {
    static const CommandEntry<CMainFrame> commands[] = {
        {ID_MENU_QUIT, &CMainFrame::OnQuit},
    };
    return WalkCommandTable(this, commands, id, query, ui) || CFrameWnd::DispatchCommand(id, query, ui);
}
