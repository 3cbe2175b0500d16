// Calls named from the address book in the real windows: the row, the details and the screen
// reader show the contact; Delete from the menu and from the details takes that call alone; names
// that come after the first screen show without the user leaving; a program ending at any point of
// the read neither crashes nor hangs.
#include "viewtestenv.h"

#include "platform/contacts/callernames.h"
#include "platform/contacts/contactlist.h"
#include "platform/msgbox/messagebox.h"
#include "platform/phone/callername.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/noticereceiver.h"
#include "resources/resource.h"
#include "tests/support/gate.h"
#include "tests/support/heldsource.h"

#include <QAccessible>
#include <QElapsedTimer>

#include <optional>
#include <thread>

using namespace viewtest;

namespace {

const std::vector<ContactCard> kCards = {{"Grace Hopper", {{"+1 206 386 1234", "m", false}}}};

// Three calls from Grace's number, none named in the log, and one from another number.
std::vector<CallRecordData> GracesCalls() {
    return {Call(Utc(2026, 12, 9, 14, 0), u"2063861234"), Call(Utc(2026, 12, 9, 13, 0), u"2063861234"),
            Call(Utc(2026, 12, 9, 12, 0), u"4255550100"), Call(Utc(2026, 12, 9, 11, 0), u"2063861234")};
}

class ContactNamesGui : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        Phone()->SetMessageBoxObserver([this](ShellMessageBox& box) {
            ++boxes;
            box.Press(box.ButtonsType() == MB_YESNO ? IDYES : IDOK);
        });
    }
    void TearDown() override {
        Phone()->SetMessageBoxObserver(nullptr);
        PhoneUseAddressBooks(nullptr);
        ViewTest::TearDown();
    }

    void UseCards() {
        CallerNames::UseSources({std::make_shared<ContactList>(kCards)});
        PhoneUseAddressBooks(nullptr);
    }

    std::vector<uint64_t> StoredStarts() {
        std::vector<uint64_t> starts;
        for (const CallRecordData& call : StoredCalls()) {
            starts.push_back(call.startTime);
        }
        return starts;
    }

    int boxes = 0;
};

TEST_F(ContactNamesGui, RowAndScreenReaderShowTheContact) {
    UseCards();
    Start(GracesCalls());
    EXPECT_EQ(Rows().GetItemText(0, 1), u"Grace Hopper|14:00\n(206) 386-1234 m\nSeattle, WA");
    EXPECT_EQ(Rows().GetItemText(2, 1), u"(425) 555-0100|12:00\nRedmond, WA");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->childCount(), 4);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name),
              QStringLiteral("Grace Hopper, 13:00, (206) 386-1234 m, Seattle, WA"));
}

TEST_F(ContactNamesGui, DeleteFromTheMenuTakesTheNamedCallAlone) {
    UseCards();
    Start(GracesCalls());
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(boxes, 0); // no refusal
    EXPECT_EQ(StoredStarts(),
              (std::vector<uint64_t>{Utc(2026, 12, 9, 14, 0), Utc(2026, 12, 9, 12, 0), Utc(2026, 12, 9, 11, 0)}));
    EXPECT_EQ(Rows().GetItemCount(), 3);
}

TEST_F(ContactNamesGui, DeleteFromTheDetailsTakesTheNamedCallAlone) {
    UseCards();
    Start(GracesCalls());
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Down);
    }
    std::u16string shownName;
    WhenDialogUp([&shownName](CDialog& dialog) {
        if (CWnd* name = dialog.GetDlgItem(IDC_NAME)) {
            shownName = name->GetWindowText();
        }
        guitest::TapSoftKey(1);
    });
    Key(Qt::Key_Return);
    EXPECT_EQ(shownName, u"Grace Hopper");
    EXPECT_EQ(StoredStarts(),
              (std::vector<uint64_t>{Utc(2026, 12, 9, 14, 0), Utc(2026, 12, 9, 13, 0), Utc(2026, 12, 9, 12, 0)}));
    EXPECT_EQ(Rows().GetItemCount(), 3);
}

TEST_F(ContactNamesGui, NamesThatComeAfterTheFirstScreenShowWithoutLeaving) {
    NoticeReceiver receiver;
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    PhoneUseAddressBooks([] { NoticeReceiver::Post(&ShellServices::NotifyDataChanged); });
    Start(GracesCalls());
    Key(Qt::Key_Down);
    EXPECT_EQ(Rows().GetItemText(1, 1), u"(206) 386-1234|13:00\nSeattle, WA");
    held->Release();
    QElapsedTimer timer;
    timer.start();
    while (Rows().GetItemText(1, 1).rfind(u"Grace Hopper", 0) != 0 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(Rows().GetItemText(1, 1), u"Grace Hopper|13:00\n(206) 386-1234 m\nSeattle, WA");
    // The user's place in the list stays.
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_F(ContactNamesGui, NamesThatComeWhileADialogIsUpLeaveTheListBehindItUntilItCloses) {
    NoticeReceiver receiver;
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    auto noticed = std::make_shared<bool>(false);
    PhoneUseAddressBooks([noticed] {
        NoticeReceiver::Post([noticed] {
            ShellServices::NotifyDataChanged();
            *noticed = true;
        });
    });
    Start(GracesCalls());
    Key(Qt::Key_Down);
    std::u16string behindTheDialog;
    WhenDialogUp([&](CDialog& dialog) {
        held->Release();
        guitest::ProcessUntil(*noticed, 10000);
        EXPECT_TRUE(*noticed) << "the names arrived while the details were up";
        EXPECT_EQ(CWnd::GetActiveWindow(), &dialog);
        behindTheDialog = Rows().GetItemText(1, 1);
        Phone()->PressDone();
    });
    Key(Qt::Key_Return);
    EXPECT_EQ(behindTheDialog, u"(206) 386-1234|13:00\nSeattle, WA");
    QApplication::processEvents();
    EXPECT_EQ(Rows().GetItemText(1, 1), u"Grace Hopper|13:00\n(206) 386-1234 m\nSeattle, WA");
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

// What a receiver that ends leaves untaken is dropped with it: the next one (the program started
// again in the same process, as here) carries out only what was posted to it, in order.
TEST(NoticeReceiver, NoticeLeftWithAnEndedReceiverNeverReachesTheNextOne) {
    std::vector<int> carried;
    const auto postFromAnotherThread = [&carried](std::vector<int> marks) {
        std::thread([&carried, marks] {
            for (int mark : marks) {
                NoticeReceiver::Post([&carried, mark] { carried.push_back(mark); });
            }
        }).join();
    };
    std::optional<NoticeReceiver> receiver;
    receiver.emplace();
    postFromAnotherThread({1});
    receiver.reset();
    EXPECT_EQ(NoticeReceiver::Post([&carried] { carried.push_back(2); }), -1);
    NoticeReceiver next;
    postFromAnotherThread({3, 4});
    QElapsedTimer timer;
    timer.start();
    while (carried.size() < 2 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(carried, (std::vector<int>{3, 4}));
}

// Where the program ends (its notice receiver goes, then the application) while the first screen
// waits for the names.
enum class EndPoint { BeforeTheRead, WhileTheSourceReads, BeforeTheNoticeIsSent, WhileTheNoticeIsSent, AfterTheNotice };

class ContactNamesEnd : public ContactNamesGui, public testing::WithParamInterface<EndPoint> {};

TEST_P(ContactNamesEnd, ReceiverGoingThereNeitherCrashesNorHangsAndTakesNoLateNotice) {
    const EndPoint point = GetParam();
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    // The reading thread's notice, held where the case ends the program.
    Gate beforeSending(point != EndPoint::BeforeTheNoticeIsSent);
    Gate afterSending(point != EndPoint::WhileTheNoticeIsSent);
    std::optional<NoticeReceiver> receiver;
    receiver.emplace();
    if (point == EndPoint::BeforeTheRead) {
        receiver.reset();
    }
    PhoneUseAddressBooks([&beforeSending, &afterSending] {
        beforeSending.Pass();
        NoticeReceiver::Post(&ShellServices::NotifyDataChanged);
        afterSending.Pass();
    });
    Start(GracesCalls());
    ASSERT_EQ(Rows().GetItemText(0, 1), u"(206) 386-1234|14:00\nSeattle, WA");
    if (point == EndPoint::WhileTheSourceReads) {
        receiver.reset();
    }
    held->Release();
    if (point == EndPoint::BeforeTheNoticeIsSent) {
        ASSERT_TRUE(beforeSending.WaitArrived());
        bool reading = true;
        EXPECT_NE(CallerNames::Latest(&reading), nullptr) << "the map is stored before the notice";
        receiver.reset();
        beforeSending.Open();
    }
    if (point == EndPoint::WhileTheNoticeIsSent) {
        // The reading thread is inside the notice, its locks held: the receiver goes all the same.
        ASSERT_TRUE(afterSending.WaitArrived());
        receiver.reset();
        afterSending.Open();
    }
    ASSERT_TRUE(afterSending.WaitPassed());
    QElapsedTimer timer;
    timer.start();
    const bool delivered = receiver.has_value();
    while (timer.elapsed() < (delivered ? 10000 : 300) && Rows().GetItemText(0, 1).rfind(u"Grace Hopper", 0) != 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    receiver.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(Rows().GetItemText(0, 1).rfind(u"Grace Hopper", 0) == 0, delivered);
    // The thread's notice is let go before what it uses.
    PhoneUseAddressBooks(nullptr);
    EXPECT_EQ(afterSending.Passed(), 1);
    CallerNames::UseSources({});
    EXPECT_FALSE(PhoneAddressBooksBusy());
}

std::string EndPointName(const testing::TestParamInfo<EndPoint>& info) {
    constexpr const char* kNames[] = {"BeforeTheRead", "WhileTheSourceReads", "BeforeTheNoticeIsSent",
                                      "WhileTheNoticeIsSent", "AfterTheNotice"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Points, ContactNamesEnd,
                         testing::Values(EndPoint::BeforeTheRead, EndPoint::WhileTheSourceReads,
                                         EndPoint::BeforeTheNoticeIsSent, EndPoint::WhileTheNoticeIsSent,
                                         EndPoint::AfterTheNotice),
                         EndPointName);

} // namespace
