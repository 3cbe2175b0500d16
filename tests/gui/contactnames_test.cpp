// Calls named from the address book in the real windows: the row, the details and the screen
// reader show the contact; Delete from the menu and from the details takes that call alone; names
// that come after the first screen show without the user leaving.
#include "viewtestenv.h"

#include "platform/contacts/callernames.h"
#include "platform/contacts/contactlist.h"
#include "platform/msgbox/messagebox.h"
#include "platform/phone/callername.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/shellservices.h"
#include "resources/resource.h"
#include "tests/support/heldsource.h"

#include <QAccessible>
#include <QElapsedTimer>

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
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    PhoneUseAddressBooks(&ShellServices::HandBackScreen);
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

} // namespace
