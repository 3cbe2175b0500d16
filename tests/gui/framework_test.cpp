// The window framework with small classes of the test's own: command routing, update handlers,
// dialogs from templates, activation notices, the Done button, claimed keys and message boxes.
#include "tests/support/guitest.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
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

#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

using namespace guitest;

namespace {

std::vector<std::string> events;

void Log(const std::string& event) {
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

bool failFrameCreation = false;

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

TestApp testApp;

class Framework : public testing::Test {
protected:
    void SetUp() override {
        RecordExitsInsteadOfEnding();
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

TEST_F(Framework, StartUpRunsInitialUpdateThenActivatesFrameThenView) {
    EXPECT_EQ(events, (std::vector<std::string>{"view initial update", "frame active", "view active"}));
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(Phone()->ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_EQ(frame->GetWindowText(), u"Ringlog");
}

TEST_F(Framework, SoftKeyCommandGoesToViewBeforeFrameThenApplication) {
    events.clear();
    TapSoftKey(0);
    EXPECT_EQ(events, (std::vector<std::string>{"view call"}));

    // About is in the tables of both the view and the frame: the view takes it.
    TapSoftKey(1);
    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
    ASSERT_NE(menu, nullptr);
    TapMenuItem(menu, FindAction(menu, QStringLiteral("About")));
    // Quit only in the frame's table, Delete All only in the application's.
    TapSoftKey(1);
    menu = Phone()->SoftKeys()->OpenMenu();
    TapMenuItem(menu, FindAction(menu, QStringLiteral("Quit")));
    TapSoftKey(1);
    menu = Phone()->SoftKeys()->OpenMenu();
    TapMenuItem(menu, FindAction(menu, QStringLiteral("Delete All")));
    EXPECT_EQ(events, (std::vector<std::string>{"view call", "view about", "frame quit", "app delete all"}));
}

TEST_F(Framework, UpdateHandlersGreyAndCheckItemsEachTimeTheMenuOpens) {
    TapSoftKey(1);
    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
    ASSERT_NE(menu, nullptr);
    QAction* remove = FindAction(menu, QStringLiteral("Delete"));
    QAction* lookup = FindAction(menu, QStringLiteral("Reverse Lookup"));
    ASSERT_NE(remove, nullptr);
    ASSERT_NE(lookup, nullptr);
    EXPECT_FALSE(remove->isEnabled());
    // No table of the route handles Reverse Lookup, so it is greyed without an update handler.
    EXPECT_FALSE(lookup->isEnabled());
    EXPECT_TRUE(FindAction(menu, QStringLiteral("Quit"))->isEnabled());

    events.clear();
    TapMenuItem(menu, remove);
    EXPECT_TRUE(events.empty()) << "a greyed item must do nothing";
    menu->close();

    view->canDelete = true;
    view->filter = ID_FILTER_MISSEDCALLS;
    TapSoftKey(1);
    menu = Phone()->SoftKeys()->OpenMenu();
    EXPECT_TRUE(FindAction(menu, QStringLiteral("Delete"))->isEnabled());
    QMenu* filters = FindAction(menu, QStringLiteral("Filter"))->menu();
    ASSERT_NE(filters, nullptr);
    filters->popup(QPoint(0, 0));
    QApplication::processEvents();
    EXPECT_FALSE(FindAction(filters, QStringLiteral("All Calls"))->isChecked());
    EXPECT_TRUE(FindAction(filters, QStringLiteral("Missed Calls"))->isChecked());
    TapMenuItem(filters, FindAction(filters, QStringLiteral("Outgoing Calls")));
    EXPECT_EQ(view->filter, static_cast<unsigned>(ID_FILTER_OUTGOINGCALLS));
}

TEST_F(Framework, DialogControlsStandAtTheirTemplatePositions) {
    std::vector<QRect> rects;
    QString dialogTitle;
    QTimer::singleShot(0, [&] {
        auto* dialog = static_cast<CDialog*>(CWnd::GetActiveWindow());
        dialogTitle = QString::fromStdU16String(dialog->GetWindowText());
        for (unsigned id : {IDC_CALLTYPE, IDC_NAME, IDC_DURATION_LABEL, IDC_TIME}) {
            CWnd* control = dialog->GetDlgItem(id);
            rects.push_back(control != nullptr ? control->GetSafeHwnd()->geometry() : QRect());
        }
        auto* label = qobject_cast<QLabel*>(dialog->GetDlgItem(IDC_DURATION_LABEL)->GetSafeHwnd());
        EXPECT_EQ(label != nullptr ? label->text() : QString(), QStringLiteral("Duration"));
        dialog->EndDialog(IDCANCEL);
    });
    CDialog dialog(IDD_CALLINFO, view);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_EQ(dialogTitle, QStringLiteral("Call Info"));
    // 8-point DejaVu Sans Condensed at 96 dpi: 11-pixel characters with base units of 6 by 13
    // pixels, so a dialog unit is 1.5 pixels across and 1.625 down, each edge rounded half away
    // from zero.
    //   IDC_CALLTYPE 9, 3, 55 x 14; IDC_NAME 9, 19, 138 x 8; label 1004 9, 58, 55 x 8; IDC_TIME 9, 107, 55 x 8
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], QRect(14, 5, 82, 23));
    EXPECT_EQ(rects[1], QRect(14, 31, 207, 13));
    EXPECT_EQ(rects[2], QRect(14, 94, 82, 13));
    EXPECT_EQ(rects[3], QRect(14, 174, 82, 13));
}

TEST_F(Framework, ActivationNoticeFollowsDialogInitialisationAndItsClosing) {
    events.clear();
    std::vector<std::string> whileOpen;
    QString titleWhileOpen;
    QTimer::singleShot(0, [&] {
        whileOpen = events;
        titleWhileOpen = Phone()->NavTitleText();
        // Done, owned by the dialog, is its OK.
        Phone()->PressDone();
    });
    LoggingDialog dialog(view);
    EXPECT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(whileOpen, (std::vector<std::string>{"dialog init", "frame inactive", "view inactive"}));
    EXPECT_EQ(titleWhileOpen, QStringLiteral("Call Info"));
    EXPECT_EQ(events, (std::vector<std::string>{"dialog init", "frame inactive", "view inactive", "dialog ok",
                                                "frame active", "view active"}));
    EXPECT_EQ(Phone()->ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_EQ(Phone()->DoneOwner(), frame->GetSafeHwnd());
}

TEST_F(Framework, FullScreenSizingReachesTheDialogDuringItsStartUp) {
    events.clear();
    std::vector<std::string> whileOpen;
    QTimer::singleShot(0, [&] {
        whileOpen = events;
        Phone()->PressDone();
    });
    StartUpDialog dialog(view, false);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const QSize area = Phone()->WorkArea()->size();
    const std::string size = "size " + std::to_string(area.width()) + "x" + std::to_string(area.height());
    // Once, before the start-up returns; showing the dialog brings no second one.
    EXPECT_EQ(whileOpen,
              (std::vector<std::string>{"init begins", size, "init ends", "frame inactive", "view inactive"}));
}

TEST_F(Framework, FocusGoesToTheFirstTabStopUnlessTheDialogChoseOne) {
    for (bool choosesFocus : {false, true}) {
        SCOPED_TRACE(choosesFocus);
        unsigned focused = 0;
        QTimer::singleShot(0, [&] {
            CWnd* focus = CWnd::FromHandle(QApplication::focusWidget());
            focused = focus != nullptr ? focus->GetDlgCtrlID() : 0;
            Phone()->PressDone();
        });
        StartUpDialog dialog(view, choosesFocus);
        dialog.DoModal();
        // The first tab stop in template order is the landscape field, after two statics.
        EXPECT_EQ(focused, choosesFocus ? static_cast<unsigned>(IDC_LOOKUP_NUMBER_PORT)
                                        : static_cast<unsigned>(IDC_LOOKUP_NUMBER_LAND));
    }
}

TEST_F(Framework, TalkAndEndReachTheDialogInFrontThoughTheViewClaimedThemAfterIt) {
    QTimer::singleShot(0, [&] {
        // The view claimed the keys again when the dialog's opening reached it.
        ASSERT_EQ(std::count(events.begin(), events.end(), "view inactive"), 1);
        events.clear();
        QTest::keyPress(Phone(), Qt::Key_F4);
        QTest::keyRelease(Phone(), Qt::Key_F4);
        QTest::mouseClick(Phone()->findChild<QPushButton*>(QStringLiteral("talkKey")), Qt::LeftButton);
        Phone()->PressDone();
    });
    StartUpDialog dialog(view, true);
    dialog.DoModal();
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 2),
              (std::vector<std::string>{"dialog key up 115", "dialog key up 114"}));
}

TEST_F(Framework, EditChangesReachTheNotificationTableTypedOrSetByTheProgram) {
    std::vector<std::string> changes;
    QTimer::singleShot(0, [&] {
        auto* dialog = static_cast<CDialog*>(CWnd::GetActiveWindow());
        events.clear();
        dialog->SetDlgItemText(IDC_LOOKUP_NUMBER_LAND, u"12");
        auto* edit = dynamic_cast<CEdit*>(dialog->GetDlgItem(IDC_LOOKUP_NUMBER_LAND));
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit->GetSafeHwnd(), QStringLiteral("3x"));
        edit->LimitText(3);
        EXPECT_EQ(edit->GetLimitText(), 3);
        QTest::keyClicks(edit->GetSafeHwnd(), QStringLiteral("4"));
        // The other field has no row in the table.
        dialog->SetDlgItemText(IDC_LOOKUP_NUMBER_PORT, u"99");
        changes = events;
        Phone()->PressDone();
    });
    StartUpDialog dialog(view, false);
    dialog.DoModal();
    EXPECT_EQ(changes, (std::vector<std::string>{"change 12", "change 123"}));
}

TEST_F(Framework, DoneShownForAControlBelongsToTheDialogHoldingIt) {
    bool ownedByDialog = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = static_cast<CDialog*>(CWnd::GetActiveWindow());
        ShellServices::ShowDoneButton(dialog->GetDlgItem(IDC_LOOKUP_CLEAR_PORT)->GetSafeHwnd(), true);
        ownedByDialog = Phone()->DoneOwner() == dialog->GetSafeHwnd();
        QTest::mouseClick(Phone()->NavigationBar()->DoneButton(), Qt::LeftButton);
    });
    StartUpDialog dialog(view, false);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ownedByDialog);
}

class EndsAtOnceDialog : public CDialog {
public:
    explicit EndsAtOnceDialog(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}
    bool OnInitDialog() override {
        Log("dialog init");
        EndDialog(IDCANCEL);
        return true;
    }
};

TEST_F(Framework, DialogWithoutTemplateOrEndedInItsInitialisationNeverShows) {
    events.clear();
    CDialog missing(9999, view);
    EXPECT_EQ(missing.DoModal(), -1);
    EndsAtOnceDialog ended(view);
    EXPECT_EQ(ended.DoModal(), IDCANCEL);
    // No activation change reached the frame or the view, and the main screen is in front again.
    EXPECT_EQ(events, (std::vector<std::string>{"dialog init"}));
    EXPECT_EQ(Phone()->ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_TRUE(frame->GetSafeHwnd()->isEnabled());
}

TEST_F(Framework, DoneOwnedByTheFrameDoesNothingAndWithoutOwnerEndsTheFrame) {
    events.clear();
    ASSERT_TRUE(Phone()->DoneShown());
    QTest::mouseClick(Phone()->NavigationBar()->DoneButton(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(events.empty());
    EXPECT_NE(frame->GetSafeHwnd(), nullptr);

    ShellServices::ShowDoneButton(frame->GetSafeHwnd(), false);
    EXPECT_FALSE(Phone()->DoneShown());
    Phone()->ShowDone(nullptr);
    Phone()->PressDone();
    EXPECT_EQ(events, (std::vector<std::string>{"frame destroyed"}));
}

TEST_F(Framework, ClaimedEndKeyReachesTheViewWhereverTheFocusIs) {
    events.clear();
    Phone()->NavigationBar()->setFocus();
    QTest::keyPress(Phone(), Qt::Key_F4);
    QTest::keyRelease(Phone(), Qt::Key_F4);
    EXPECT_EQ(events, (std::vector<std::string>{"view key down 115", "view key up 115"}));

    events.clear();
    QTest::mouseClick(Phone()->findChild<QPushButton*>(QStringLiteral("talkKey")), Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"view key down 114", "view key up 114"}));

    // Also while a soft key's menu is open and has the keyboard.
    events.clear();
    TapSoftKey(1);
    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
    ASSERT_NE(menu, nullptr);
    QTest::keyRelease(menu, Qt::Key_F4);
    EXPECT_EQ(events, (std::vector<std::string>{"view key up 115"}));
}

TEST_F(Framework, TurningTheScreenResizesFullScreenWindows) {
    EXPECT_EQ(ShellServices::GetScreenSize().width, 240);
    EXPECT_EQ(ShellServices::GetScreenSize().height, 320);
    const QSize portrait = frame->GetSafeHwnd()->size();
    QTest::keyClick(Phone(), Qt::Key_F9);
    EXPECT_EQ(ShellServices::GetScreenSize().width, 320);
    EXPECT_EQ(ShellServices::GetScreenSize().height, 240);
    const QSize landscape = frame->GetSafeHwnd()->size();
    EXPECT_EQ(landscape.width() - portrait.width(), 80);
    EXPECT_EQ(landscape.height() - portrait.height(), -80);
    CRect client;
    view->GetClientRect(client);
    EXPECT_EQ(client.Width(), landscape.width());

    Phone()->resize(Phone()->width() + 40, Phone()->height());
    EXPECT_EQ(ShellServices::GetScreenSize().width, 360);
}

TEST_F(Framework, MessageBoxIsShownInThePhoneAndAnsweredByTheUser) {
    std::vector<std::string> seen;
    Phone()->SetMessageBoxObserver([&](ShellMessageBox& box) {
        seen.push_back(box.Caption().toStdString());
        seen.push_back(box.Text().toStdString());
        EXPECT_EQ(box.IconType(), static_cast<unsigned>(MB_ICONEXCLAMATION));
        EXPECT_EQ(box.Results(), (std::vector<int>{IDYES, IDNO}));
        EXPECT_TRUE(box.isVisible());
        box.Press(IDYES);
    });
    EXPECT_EQ(
        ShowMessageBox(nullptr, u"Permanently delete all calls?", u"Zonrik Ringlog", MB_YESNO | MB_ICONEXCLAMATION),
        IDYES);
    EXPECT_EQ(seen, (std::vector<std::string>{"Zonrik Ringlog", "Permanently delete all calls?"}));
    EXPECT_EQ(Phone()->ActiveMessageBox(), nullptr);
    Phone()->SetMessageBoxObserver(nullptr);
}

TEST(FrameworkStart, FailedFrameIsReportedAndLeavesNoMainWindow) {
    RecordExitsInsteadOfEnding();
    ShellServices::InitShellControls();
    failFrameCreation = true;
    std::vector<std::string> seen;
    Phone()->SetMessageBoxObserver([&](ShellMessageBox& box) {
        seen = {box.Caption().toStdString(), box.Text().toStdString(), std::to_string(box.IconType())};
        box.Press(IDOK);
    });
    events.clear();
    CSingleDocTemplate docTemplate(IDR_MAINFRAME, RuntimeClassOf<TestDoc>(), RuntimeClassOf<TestFrame>(),
                                   RuntimeClassOf<TestView>());
    EXPECT_EQ(docTemplate.OpenDocumentFile(nullptr), nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"Test App", "Failed to create empty document.",
                                              std::to_string(MB_ICONEXCLAMATION)}));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(Phone()->MainFrameWindow(), nullptr);
    // The frame's window never existed: it gets no destruction and the program does not end.
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(RecordedExit().has_value());
    failFrameCreation = false;
    Phone()->SetMessageBoxObserver(nullptr);
}

} // namespace
