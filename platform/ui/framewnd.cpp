#include "platform/ui/framewnd.h"

#include "platform/resources/resourcemodule.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/bitmapimage.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace {

// A main window's icon, from the frame's icon resource.
void SetPhoneIcon(unsigned resourceId) {
    Bitmap icon;
    if (ResourceModule::Program().LoadIcon(static_cast<uint16_t>(resourceId), icon) != 0) {
        return;
    }
    const QImage image = ToQImage(icon);
    if (!image.isNull()) {
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
    }
}

} // namespace

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::LoadFrame(unsigned resourceId, uint32_t style, CWnd* parent, CCreateContext* context) {
    // The document string's first line is the window's title.
    std::u16string title;
    ResourceModule::Program().LoadString(static_cast<uint16_t>(resourceId), title);
    title = title.substr(0, title.find(u'\n'));
    SetPhoneIcon(resourceId);

    createContext = context;
    const QWidget* workArea = ShellServices::WorkArea();
    const QRect area =
        workArea != nullptr ? workArea->rect() : QRect(0, 0, kDefaultScreenSize.width, kDefaultScreenSize.height);
    const bool created =
        Create(parent, style & ~WS_VISIBLE, CRect{0, 0, area.width(), area.height()}, 0, title.c_str());
    createContext = nullptr;
    return created;
}

void CFrameWnd::RegisterWithShell() {
    ShellServices::AddWindow(GetSafeHwnd(), this, true);
}

int CFrameWnd::OnCreate(CREATESTRUCT* cs) {
    if (createContext != nullptr && !OnCreateClient(cs, createContext)) {
        return -1;
    }
    return 0;
}

bool CFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext* context) {
    if (context->newViewClass == nullptr) {
        return true;
    }
    auto* view = static_cast<CView*>(context->newViewClass->createObject());
    if (view == nullptr) {
        return false;
    }
    if (context->currentDoc != nullptr) {
        context->currentDoc->AddView(view);
    }
    CRect client;
    GetClientRect(client);
    if (!view->Create(this, WS_CHILD | WS_VISIBLE | WS_BORDER, client, AFX_IDW_PANE_FIRST, u"")) {
        delete view;
        return false;
    }
    firstView = view;
    return true;
}

void CFrameWnd::OnSize(unsigned, int cx, int cy) {
    if (firstView != nullptr) {
        firstView->MoveWindow(0, 0, cx, cy);
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument*, bool makeVisible) {
    if (firstView != nullptr) {
        SetActiveView(firstView, false);
        firstView->OnInitialUpdate();
    }
    if (makeVisible) {
        ActivateFrame();
    }
}

void CFrameWnd::ActivateFrame(int showCommand) {
    ShowWindow(showCommand == -1 ? SW_SHOW : showCommand);
    ShellServices::ShowActive();
    ActivateTopLevel(this);
}

void CFrameWnd::SetActiveView(CView* view, bool notify) {
    CView* previous = activeView;
    activeView = view;
    if (notify && view != nullptr && view != previous) {
        view->OnActivateView(true, view, previous);
    }
}

void CFrameWnd::ForgetView(CView* view) {
    if (activeView == view) {
        activeView = nullptr;
    }
    if (firstView == view) {
        firstView = nullptr;
    }
}

void CFrameWnd::DeliverActivation(unsigned state, CWnd* other) {
    OnActivate(state, other, false);
    // The view hears of every activation change of its frame by its own notice.
    if (activeView != nullptr) {
        activeView->OnActivateView(state != WA_INACTIVE, activeView, activeView);
    }
}

void CFrameWnd::OnDataChanged() {
    if (activeView != nullptr) {
        activeView->OnDataChanged();
    }
}

bool CFrameWnd::OnCmdMsg(unsigned id, CommandQuery query, CCmdUI* ui) {
    if (activeView != nullptr && activeView->OnCmdMsg(id, query, ui)) {
        return true;
    }
    if (DispatchCommand(id, query, ui)) {
        return true;
    }
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, query, ui);
}
