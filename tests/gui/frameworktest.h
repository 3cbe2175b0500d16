#pragma once

// The window framework with small classes of the test's own: an application, a document, a frame
// and a view that log what reaches them, and dialogs on the program's templates. Included by one
// test program each (it defines the one application object).
#include "tests/support/guitest.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/dialog.h"
#include "platform/ui/document.h"
#include "platform/ui/edit.h"
#include "platform/ui/framewnd.h"
#include "platform/ui/singledoctemplate.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <string>
#include <vector>

namespace frameworktest {

inline std::vector<std::string> events;

inline void Log(const std::string& event) {
    events.push_back(event);
}

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp(u"Test App") {}

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override {
        static const CommandEntry<TestApp> commands[] = {{ID_MENU_DELETEALL, &TestApp::OnDeleteAll}};
        return WalkCommandTable(this, commands, id, query, ui) || CWinApp::DispatchCommand(id, query, ui);
    }

private:
    void OnDeleteAll() { Log("app delete all"); }
};

class TestDoc : public CDocument {};

inline bool failFrameCreation = false;

class TestFrame : public CFrameWnd {
public:
    int OnCreate(CREATESTRUCT* cs) override {
        if (failFrameCreation || CFrameWnd::OnCreate(cs) == -1) {
            return -1;
        }
        return ShellServices::CreateSoftKeyBar(GetSafeHwnd(), IDR_MAIN_MENU) == 0 ? 0 : -1;
    }
    void OnActivate(unsigned state, CWnd*, bool) override {
        Log(state == WA_INACTIVE ? "frame inactive" : "frame active");
        ShellServices::ShowDoneButton(GetSafeHwnd(), true);
    }
    void OnDestroy() override { Log("frame destroyed"); }

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override {
        static const CommandEntry<TestFrame> commands[] = {
            {ID_MENU_ABOUT, &TestFrame::OnAbout},
            {ID_MENU_QUIT, &TestFrame::OnQuit},
        };
        return WalkCommandTable(this, commands, id, query, ui) || CFrameWnd::DispatchCommand(id, query, ui);
    }

private:
    void OnAbout() { Log("frame about"); }
    void OnQuit() { Log("frame quit"); }
};

class TestView : public CView {
public:
    void OnInitialUpdate() override {
        Log("view initial update");
        CView::OnInitialUpdate();
    }
    void OnActivateView(bool activate, CView* activateView, CView* deactiveView) override {
        Log(activate ? "view active" : "view inactive");
        ShellServices::ClaimCallKeys(GetSafeHwnd());
        CView::OnActivateView(activate, activateView, deactiveView);
    }
    void OnKeyDown(unsigned key, unsigned, unsigned) override { Log("view key down " + std::to_string(key)); }
    void OnKeyUp(unsigned key, unsigned, unsigned) override { Log("view key up " + std::to_string(key)); }

    unsigned filter = ID_FILTER_ALLCALLS;
    bool canDelete = false;

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override {
        static const CommandEntry<TestView> commands[] = {
            {ID_CALL, &TestView::OnCall},
            {ID_MENU_ABOUT, &TestView::OnAbout},
            {ID_MENU_DELETE, &TestView::OnDelete, &TestView::OnUpdateDelete},
            {ID_FILTER_ALLCALLS, ID_FILTER_OUTGOINGCALLS, &TestView::OnFilter},
            {ID_FILTER_ALLCALLS, ID_FILTER_OUTGOINGCALLS, nullptr, &TestView::OnUpdateFilter},
        };
        return WalkCommandTable(this, commands, id, query, ui) || CView::DispatchCommand(id, query, ui);
    }

private:
    void OnCall() { Log("view call"); }
    void OnAbout() { Log("view about"); }
    void OnDelete() { Log("view delete"); }
    void OnUpdateDelete(CCmdUI* ui) { ui->Enable(canDelete); }
    void OnFilter(unsigned id) {
        filter = id;
        Log("view filter " + std::to_string(id));
    }
    void OnUpdateFilter(CCmdUI* ui) { ui->SetCheck(ui->id == filter ? 1 : 0); }
};

class LoggingDialog : public CDialog {
public:
    explicit LoggingDialog(CWnd* parent) : CDialog(IDD_CALLINFO, parent) {}
    bool OnInitDialog() override {
        Log("dialog init");
        ShellServices::InitFullScreenDialog(GetSafeHwnd());
        ShellServices::SetNavBarTitle(GetSafeHwnd(), u"Call Info");
        return CDialog::OnInitDialog();
    }
    void OnOK() override {
        Log("dialog ok");
        CDialog::OnOK();
    }
};

// Starts full-screen on the reverse lookup's template and logs its size, keys and the changes of
// one of its edit controls.
class StartUpDialog : public CDialog {
public:
    StartUpDialog(CWnd* parent, bool focusItself) : CDialog(IDD_REVLOOKUP, parent), choosesFocus(focusItself) {}
    bool OnInitDialog() override {
        Log("init begins");
        ShellServices::InitFullScreenDialog(GetSafeHwnd());
        ShellServices::ClaimCallKeys(GetSafeHwnd());
        if (choosesFocus) {
            GetDlgItem(IDC_LOOKUP_NUMBER_PORT)->SetFocus();
        }
        Log("init ends");
        return true;
    }
    void OnSize(unsigned, int cx, int cy) override { Log("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    void OnKeyUp(unsigned key, unsigned, unsigned) override { Log("dialog key up " + std::to_string(key)); }

protected:
    bool DispatchNotification(unsigned code, unsigned id) override {
        static const NotifyEntry<StartUpDialog> notifications[] = {
            {EN_CHANGE, IDC_LOOKUP_NUMBER_LAND, &StartUpDialog::OnChangeLand},
        };
        return WalkNotifyTable(this, notifications, code, id) || CDialog::DispatchNotification(code, id);
    }

private:
    void OnChangeLand() {
        Log("change " + QString::fromStdU16String(GetDlgItem(IDC_LOOKUP_NUMBER_LAND)->GetWindowText()).toStdString());
    }

    bool choosesFocus;
};

class EndsAtOnceDialog : public CDialog {
public:
    explicit EndsAtOnceDialog(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}
    bool OnInitDialog() override {
        Log("dialog init");
        EndDialog(IDCANCEL);
        return true;
    }
};

inline TestApp testApp;

// The test's document opened: its frame in front, the view active in it.
class Framework : public testing::Test {
protected:
    void SetUp() override {
        guitest::RecordExitsInsteadOfEnding();
        events.clear();
        ShellServices::InitShellControls();
        auto* docTemplate = new CSingleDocTemplate(IDR_MAINFRAME, RuntimeClassOf<TestDoc>(),
                                                   RuntimeClassOf<TestFrame>(), RuntimeClassOf<TestView>());
        testApp.AddDocTemplate(docTemplate);
        document = docTemplate->OpenDocumentFile(nullptr);
        ASSERT_NE(document, nullptr);
        frame = static_cast<TestFrame*>(AfxGetMainWnd());
        view = static_cast<TestView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        QApplication::processEvents();
    }

    CDocument* document = nullptr;
    TestFrame* frame = nullptr;
    TestView* view = nullptr;
};

} // namespace frameworktest
