// The window framework with small classes of the test's own, in the test shell: command routing,
// update handlers, dialogs from templates, activation notices, the Done button, claimed keys,
// message boxes and the wait cursor.
#include "tests/gui/frameworktest.h"
#include "tests/support/testshell.h"

#include "platform/ui/waitcursor.h"

#include <gtest/gtest-spi.h>

#include <QLabel>
#include <QTimer>

namespace {

using namespace frameworktest;
using namespace guitest;

TestShell& TheShell() {
    return TestShell::Current();
}

TEST_F(Framework, StartUpRunsInitialUpdateThenActivatesFrameThenView) {
    EXPECT_EQ(events, (std::vector<std::string>{"view initial update", "frame active", "view active"}));
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(TheShell().ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_EQ(frame->GetWindowText(), u"Ringlog");
    EXPECT_EQ(TheShell().SoftKeyMenuId(), IDR_MAIN_MENU);
}

TEST_F(Framework, SoftKeyCommandGoesToViewBeforeFrameThenApplication) {
    events.clear();
    EXPECT_TRUE(TheShell().PressSoftKey(0));
    EXPECT_EQ(events, (std::vector<std::string>{"view call"}));

    // About is in the tables of both the view and the frame: the view takes it.
    EXPECT_FALSE(TheShell().PressSoftKey(1)) << "the right key opens a menu";
    EXPECT_TRUE(TheShell().ChooseMenuItem(1, {"About"}));
    // Quit only in the frame's table, Delete All only in the application's.
    EXPECT_TRUE(TheShell().ChooseMenuItem(1, {"Quit"}));
    EXPECT_TRUE(TheShell().ChooseMenuItem(1, {"Delete All"}));
    EXPECT_EQ(events, (std::vector<std::string>{"view call", "view about", "frame quit", "app delete all"}));
}

TEST_F(Framework, UpdateHandlersGreyAndCheckItemsEachTimeTheMenuOpens) {
    EXPECT_EQ(TheShell().SoftKeyText(1), QStringLiteral("Menu"));
    const TestShell::MenuItemState remove = TheShell().MenuItemStateOf(1, {"Delete"});
    const TestShell::MenuItemState lookup = TheShell().MenuItemStateOf(1, {"Reverse Lookup"});
    ASSERT_TRUE(remove.found);
    ASSERT_TRUE(lookup.found);
    EXPECT_FALSE(remove.enabled);
    // No table of the route handles Reverse Lookup, so it is greyed without an update handler.
    EXPECT_FALSE(lookup.enabled);
    EXPECT_TRUE(TheShell().MenuItemStateOf(1, {"Quit"}).enabled);

    events.clear();
    EXPECT_FALSE(TheShell().ChooseMenuItem(1, {"Delete"}));
    EXPECT_TRUE(events.empty()) << "a greyed item must do nothing";

    view->canDelete = true;
    view->filter = ID_FILTER_MISSEDCALLS;
    EXPECT_TRUE(TheShell().MenuItemStateOf(1, {"Delete"}).enabled);
    ASSERT_TRUE(TheShell().MenuItemStateOf(1, {"Filter"}).found);
    EXPECT_FALSE(TheShell().MenuItemStateOf(1, {"Filter", "All Calls"}).checked);
    EXPECT_TRUE(TheShell().MenuItemStateOf(1, {"Filter", "Missed Calls"}).checked);
    EXPECT_TRUE(TheShell().ChooseMenuItem(1, {"Filter", "Outgoing Calls"}));
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
        titleWhileOpen = TheShell().NavTitleText();
        // Done, owned by the dialog, is its OK.
        TheShell().PressDone();
    });
    LoggingDialog dialog(view);
    EXPECT_EQ(dialog.DoModal(), IDOK);

    EXPECT_EQ(whileOpen, (std::vector<std::string>{"dialog init", "frame inactive", "view inactive"}));
    EXPECT_EQ(titleWhileOpen, QStringLiteral("Call Info"));
    EXPECT_EQ(events, (std::vector<std::string>{"dialog init", "frame inactive", "view inactive", "dialog ok",
                                                "frame active", "view active"}));
    EXPECT_EQ(TheShell().ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_EQ(TheShell().DoneOwner(), frame->GetSafeHwnd());
}

TEST_F(Framework, FullScreenSizingReachesTheDialogDuringItsStartUp) {
    events.clear();
    std::vector<std::string> whileOpen;
    QTimer::singleShot(0, [&] {
        whileOpen = events;
        TheShell().PressDone();
    });
    StartUpDialog dialog(view, false);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const QSize area = TheShell().WorkArea()->size();
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
            TheShell().PressDone();
        });
        StartUpDialog dialog(view, choosesFocus);
        dialog.DoModal();
        // The first tab stop in template order is the landscape field, after two statics.
        EXPECT_EQ(focused, choosesFocus ? static_cast<unsigned>(IDC_LOOKUP_NUMBER_PORT)
                                        : static_cast<unsigned>(IDC_LOOKUP_NUMBER_LAND));
    }
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
        TheShell().PressDone();
    });
    StartUpDialog dialog(view, false);
    dialog.DoModal();
    EXPECT_EQ(changes, (std::vector<std::string>{"change 12", "change 123"}));
}

TEST_F(Framework, DialogWithoutTemplateOrEndedInItsInitialisationNeverShows) {
    events.clear();
    CDialog missing(9999, view);
    EXPECT_EQ(missing.DoModal(), -1);
    EndsAtOnceDialog ended(view);
    EXPECT_EQ(ended.DoModal(), IDCANCEL);
    // No activation change reached the frame or the view, and the main screen is in front again.
    EXPECT_EQ(events, (std::vector<std::string>{"dialog init"}));
    EXPECT_EQ(TheShell().ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_TRUE(frame->GetSafeHwnd()->isEnabled());
}

TEST_F(Framework, DoneOwnedByTheFrameDoesNothingAndWithoutOwnerEndsTheFrame) {
    events.clear();
    ASSERT_TRUE(TheShell().DoneShown());
    TheShell().PressDone();
    QApplication::processEvents();
    EXPECT_TRUE(events.empty());
    EXPECT_NE(frame->GetSafeHwnd(), nullptr);

    ShellServices::ShowDoneButton(frame->GetSafeHwnd(), false);
    EXPECT_FALSE(TheShell().DoneShown());
    ShellServices::ShowDoneButton(nullptr, true);
    TheShell().PressDone();
    EXPECT_EQ(events, (std::vector<std::string>{"frame destroyed"}));
}

TEST(FrameworkStart, FailedFrameIsReportedAndLeavesNoMainWindow) {
    RecordExitsInsteadOfEnding();
    ShellServices::InitShellControls();
    failFrameCreation = true;
    TheShell().AnswerNextMessageBox(IDOK);
    events.clear();
    CSingleDocTemplate docTemplate(IDR_MAINFRAME, RuntimeClassOf<TestDoc>(), RuntimeClassOf<TestFrame>(),
                                   RuntimeClassOf<TestView>());
    EXPECT_EQ(docTemplate.OpenDocumentFile(nullptr), nullptr);
    ASSERT_EQ(TheShell().MessageBoxes().size(), 1u);
    const TestShell::MessageBoxRecord& box = TheShell().MessageBoxes()[0];
    EXPECT_EQ(box.caption, QStringLiteral("Test App"));
    EXPECT_EQ(box.text, QStringLiteral("Failed to create empty document."));
    EXPECT_EQ(box.type & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(TheShell().MainFrameWindow(), nullptr);
    // The frame's window never existed: it gets no destruction and the program does not end.
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(RecordedExit().has_value());
    failFrameCreation = false;
}

// The shell's own records, as the framework reaches them.
TEST_F(Framework, MessageBoxGoesToTheShellWithItsTextsAndTheAnswerComesBack) {
    TheShell().AnswerNextMessageBox(IDYES);
    TheShell().AnswerNextMessageBox(IDNO);
    EXPECT_EQ(
        ShowMessageBox(nullptr, u"Permanently delete all calls?", u"Zonrik Ringlog", MB_YESNO | MB_ICONEXCLAMATION),
        IDYES);
    EXPECT_EQ(frame->MessageBox(u"Again?", u"Zonrik Ringlog", MB_YESNO), IDNO);
    ASSERT_EQ(TheShell().MessageBoxes().size(), 2u);
    EXPECT_EQ(TheShell().MessageBoxes()[0].caption, QStringLiteral("Zonrik Ringlog"));
    EXPECT_EQ(TheShell().MessageBoxes()[0].text, QStringLiteral("Permanently delete all calls?"));
    EXPECT_EQ(TheShell().MessageBoxes()[0].type, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(TheShell().MessageBoxes()[1].text, QStringLiteral("Again?"));
}

TEST_F(Framework, MessageBoxNobodyAnswersOrAnsweredWithAButtonItLacksFailsTheTestWithItsSafeAnswer) {
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = ShowMessageBox(nullptr, u"Delete?", u"Zonrik Ringlog", MB_YESNO),
                            "nobody answered");
    EXPECT_EQ(result, IDNO);
    TheShell().AnswerNextMessageBox(IDYES);
    EXPECT_NONFATAL_FAILURE(result = ShowMessageBox(nullptr, u"Gone.", u"Zonrik Ringlog", MB_OK), "no button");
    EXPECT_EQ(result, IDOK);
}

TEST_F(Framework, WaitCursorIsShownAndHiddenInPairsEvenNested) {
    EXPECT_EQ(TheShell().WaitCursorCount(), 0);
    {
        CWaitCursor outer;
        EXPECT_EQ(TheShell().WaitCursorCount(), 1);
        {
            CWaitCursor inner;
            EXPECT_EQ(TheShell().WaitCursorCount(), 2);
        }
        EXPECT_EQ(TheShell().WaitCursorCount(), 1);
    }
    EXPECT_EQ(TheShell().WaitCursorCount(), 0);
}

TEST_F(Framework, TalkAndEndGoToTheWindowThatClaimedThemAndADialogStartsWithAnEmptyBar) {
    events.clear();
    TheShell().PressEndKey();
    TheShell().PressTalkKey();
    EXPECT_EQ(events, (std::vector<std::string>{"view key down 115", "view key up 115", "view key down 114",
                                                "view key up 114"}));

    std::vector<std::string> whileOpen;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(TheShell().SoftKeyMenuId(), 0);
        EXPECT_EQ(TheShell().SoftKeyText(0), QString());
        EXPECT_FALSE(TheShell().PressSoftKey(0));
        events.clear();
        TheShell().PressEndKey();
        whileOpen = events;
        TheShell().PressDone();
    });
    StartUpDialog dialog(view, false);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(whileOpen, (std::vector<std::string>{"dialog key up 115"}));
    EXPECT_EQ(TheShell().SoftKeyMenuId(), IDR_MAIN_MENU);
}

TEST_F(Framework, TurningTheScreenGivesEveryFullScreenWindowTheNewWorkArea) {
    const QSize portrait = frame->GetSafeHwnd()->size();
    TheShell().TurnScreen();
    EXPECT_EQ(ShellServices::GetScreenSize().width, 320);
    EXPECT_EQ(ShellServices::GetScreenSize().height, 240);
    EXPECT_EQ(frame->GetSafeHwnd()->size(), TheShell().WorkArea()->size());
    EXPECT_EQ(frame->GetSafeHwnd()->width() - portrait.width(), 80);
    EXPECT_EQ(frame->GetSafeHwnd()->height() - portrait.height(), -80);
}

} // namespace
