// The phone shell under the window framework, with the framework test's own classes: the drawn Talk
// key and the phone's key routing, the Done button, the soft-key bar's menus, turning the screen,
// message boxes inside the screen, and a start refused with the reason told on the phone's screen.
#include "tests/gui/frameworktest.h"

#include "platform/shell/shellmessagebox.h"
#include "platform/ui/platformswitches.h"
#include "platform/ui/winmain.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>

namespace {

using namespace frameworktest;
using namespace guitest;

TEST_F(Framework, SoftKeyMenuShowsTheUpdateHandlersStatesEachTimeItOpensAndAGreyedItemSwallowsTheTap) {
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

// A start refused before the program's InitInstance, on the phone shell the tests run in.
class RefusedStart : public testing::Test {
protected:
    static constexpr DesktopIdentity kIdentity{"com.zonrik.Ringlog", "ringlog"};

    void TearDown() override {
        if (PhoneScreen* phone = guitest::Phone()) {
            phone->SetMessageBoxObserver(nullptr);
        }
    }

    // Refuses the start with reason while act runs once the box is up; act should answer it.
    int Refuse(const PlatformSwitches& switches, const std::string& reason,
               const std::function<void(ShellMessageBox&)>& act) {
        guitest::IgnoreOffscreenLimits();
        PhoneScreen* phone = guitest::Phone();
        phone->SetMessageBoxObserver([this, phone, act](ShellMessageBox& box) {
            boxes++;
            EXPECT_TRUE(phone->isVisible()) << "the phone's window is shown with the box";
            EXPECT_TRUE(box.isVisible());
            act(box);
            if (!box.Answered()) {
                ADD_FAILURE() << "the box was left up";
                box.Dismiss();
            }
        });
        std::string program = "ringlog";
        char* argv[] = {program.data(), nullptr};
        return AfxRefuseStart(1, argv, switches, kIdentity, CurrentShell(), reason);
    }

    int boxes = 0;
    // The harness's shell, which the refusal borrows.
    Shell* shellBefore = &CurrentShell();
};

TEST_F(RefusedStart, TheReasonIsShownOnThePhonesScreenUntilAKeyDismissesIt) {
    const std::string reason = "/home/grace/.local/share/plasmaphonedialer/calls.sqlite is not a call log (file is "
                               "not a database)";
    const int code = Refuse(PlatformSwitches{}, reason, [&](ShellMessageBox& box) {
        EXPECT_EQ(box.Text().toStdString(), reason);
        // The caption is the application's name: the framework test's own application here.
        EXPECT_EQ(box.Caption(), QStringLiteral("Test App"));
        EXPECT_EQ(box.IconType(), unsigned{MB_ICONSTOP});
        EXPECT_EQ(box.Results(), std::vector<int>{IDOK});
        // What the user reads lies inside the phone's screen, the long file name wrapped.
        const QLabel* text = box.findChild<QLabel*>(QStringLiteral("text"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text().toStdString(), reason);
        const QRect onScreen(text->mapTo(&box, QPoint(0, 0)), text->size());
        EXPECT_TRUE(box.rect().contains(onScreen))
            << "text at " << onScreen.x() << "," << onScreen.y() << " " << onScreen.width() << "x" << onScreen.height();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(guitest::Phone(), nullptr) << "the phone's window goes with the refused start";
    EXPECT_EQ(&CurrentShell(), shellBefore) << "the shell in use before comes back";
}

TEST_F(RefusedStart, ClosingThePhonesWindowDismissesTheBoxAndEnds) {
    const int code = Refuse(PlatformSwitches{}, "phone.db is not a call log", [](ShellMessageBox&) {
        guitest::Phone()->close();
        QApplication::processEvents();
    });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(code, 1);
}

TEST_F(RefusedStart, WhileAScreenshotIsTakenNothingIsShown) {
    PlatformSwitches switches;
    switches.screenshot = "/tmp/unused.png";
    EXPECT_EQ(Refuse(switches, "phone.db is not a call log", [](ShellMessageBox&) {}), 1);
    QApplication::processEvents();
    EXPECT_EQ(boxes, 0);
    ASSERT_NE(guitest::Phone(), nullptr);
    EXPECT_FALSE(guitest::Phone()->isVisible());
}

} // namespace
