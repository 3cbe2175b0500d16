// The dialogs opened from the call list, and what the list does when they close: the call details
// on Enter and on a tap with Call, Delete and Done, the call found again when the log changed
// meanwhile, and Reverse Lookup and About from the menu.
#include "viewtestenv.h"

#include "dialogs/callinfodlg.h"
#include "dialogs/dialogstate.h"
#include "platform/msgbox/messagebox.h"
#include "resources/resource.h"
#include "tests/support/placedcalls.h"

#include <algorithm>

using namespace viewtest;

namespace {

// Four calls, newest first.
std::vector<CallRecordData> FourCalls() {
    return {Call(Utc(2026, 12, 9, 14, 4), u"2063861234", u"Grace Hopper", kIncoming),
            Call(Utc(2026, 12, 9, 13, 0), u"4255550100", u"Ada Lovelace", kIncoming),
            Call(Utc(2026, 12, 9, 12, 0), u"4255550101", u"Barbara Liskov", kIncoming),
            Call(Utc(2026, 12, 9, 11, 0), u"4256410000", u"Frances Allen", kIncoming)};
}

class CallDetails : public ViewTest {
protected:
    std::vector<std::u16string> StoredNames() {
        std::vector<std::u16string> names;
        for (const CallRecordData& call : StoredCalls()) {
            names.push_back(call.name.value_or(u"-"));
        }
        return names;
    }

    // The name the open details dialog shows.
    static QString ShownName(CDialog& dialog) {
        CWnd* name = dialog.GetDlgItem(IDC_NAME);
        return name != nullptr ? QString::fromStdU16String(name->GetWindowText()) : QString();
    }
};

TEST_F(CallDetails, EnterOpensTheSelectedCallAndDoneChangesNothing) {
    Start(FourCalls());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QString shown;
    QString title;
    WhenDialogUp([&](CDialog& dialog) {
        shown = ShownName(dialog);
        title = Phone()->NavTitleText();
        Phone()->PressDone();
    });
    Key(Qt::Key_Return);
    EXPECT_EQ(shown, QStringLiteral("Barbara Liskov"));
    EXPECT_EQ(title, QStringLiteral("Call Info"));
    EXPECT_EQ(view->snapshot.nameText.Data(), std::u16string(u"Barbara Liskov"));
    EXPECT_EQ(view->selectedRow, 2);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(StoredCalls().size(), 4u);
    EXPECT_EQ(LastDialogKind, kDialogNone);
    EXPECT_EQ(InfoAction, kInfoActionNone);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
}

TEST_F(CallDetails, DeleteInTheDetailsDeletesThatCallReloadsAndSelectsTheFirstRow) {
    Start(FourCalls());
    const int height = Rows().RowHeight();
    WhenDialogUp([](CDialog&) { guitest::TapSoftKey(1); });
    QTest::mouseClick(List(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 2 * height + height / 2));
    QApplication::processEvents();
    EXPECT_EQ(StoredNames(), (std::vector<std::u16string>{u"Grace Hopper", u"Ada Lovelace", u"Frances Allen"}));
    EXPECT_EQ(Rows().GetItemCount(), 3);
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(CallDetails, CallInTheDetailsPlacesThatCallWithoutReloading) {
    Start(FourCalls());
    Key(Qt::Key_Down);
    // Another call arrives while the details are open: Call does not bring it into the list.
    WhenDialogUp([this](CDialog&) {
        AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"2125550199", u"Radia Perlman", kIncoming)});
        ClearPlacedCalls();
        guitest::TapSoftKey(0);
    });
    Key(Qt::Key_Return);
    const std::vector<PlacedCall> placed = PlacedCalls();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].calledParty, u"Ada Lovelace");
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(Rows().GetItemCount(), 4);
}

TEST_F(CallDetails, DeleteReachesTheCallShownAfterTheLogChangedAndNeverItsTwin) {
    // Ann and Bob started at the same moment; Bob was logged later, so he is first and Ann, the second
    // row, is opened.
    const uint64_t noon = Utc(2026, 12, 9, 12, 0);
    Start({Call(noon, u"2065550002", u"Ann", kIncoming), Call(noon, u"2065550003", u"Bob", kIncoming),
           Call(noon - 36000000000ULL, u"2065550001", u"Early", kIncoming)});
    ASSERT_EQ(Rows().GetItemText(1, 1).substr(0, 4), u"Ann|");
    Key(Qt::Key_Down);
    WhenDialogUp([&](CDialog& dialog) {
        EXPECT_EQ(ShownName(dialog), QStringLiteral("Ann"));
        // The dialler logs two calls meanwhile, one with the same start, and the list reloads when
        // the user comes back; Ann's row position now holds another call.
        AddCalls({Call(noon, u"2065550009", u"Zed", kIncoming),
                  Call(noon + 600000000ULL, u"2065550010", u"Newest", kIncoming)});
        view->callList.Load();
        view->FillList();
        guitest::TapSoftKey(1);
    });
    Key(Qt::Key_Return);
    std::vector<std::u16string> names = StoredNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Bob", u"Early", u"Newest", u"Zed"}));
}

TEST_F(CallDetails, DeleteReachesTheCallShownWhenANewerCallArrivedWhileItWasOpen) {
    Start(FourCalls());
    Key(Qt::Key_Down);
    WhenDialogUp([this](CDialog&) {
        // The list still counts Ada second; in the store she is third now.
        AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"2125550199", u"Radia Perlman", kIncoming)});
        guitest::TapSoftKey(1);
    });
    Key(Qt::Key_Return);
    EXPECT_EQ(StoredNames(),
              (std::vector<std::u16string>{u"Radia Perlman", u"Grace Hopper", u"Barbara Liskov", u"Frances Allen"}));
    // The list was read again after the deletion: the new call is on top.
    EXPECT_EQ(Rows().GetItemCount(), 4);
    EXPECT_EQ(Rows().GetItemText(0, 1).substr(0, 14), u"Radia Perlman|");
}

TEST_F(CallDetails, ACallGoneFromTheLogIsNeitherCalledNorDeleted) {
    Start(FourCalls());
    WhenDialogUp([this](CDialog&) {
        // Another program deletes the call shown and the list has reloaded meanwhile.
        std::vector<CallRecordData> rest = FourCalls();
        rest.erase(rest.begin());
        std::string error;
        ASSERT_EQ(AddCallRecords(rest, true, &error), 0) << error;
        view->callList.Load();
        view->FillList();
        guitest::TapSoftKey(1);
    });
    Key(Qt::Key_Return);
    EXPECT_EQ(StoredNames(), (std::vector<std::u16string>{u"Ada Lovelace", u"Barbara Liskov", u"Frances Allen"}));
}

TEST_F(CallDetails, ReverseLookupAndAboutOpenFromTheMenuAndLeaveTheListAlone) {
    Start(FourCalls());
    Key(Qt::Key_Down);
    for (const char* item : {"Reverse Lookup", "About"}) {
        QString title;
        WhenDialogUp([&](CDialog&) {
            title = Phone()->NavTitleText();
            AddCalls({Call(Utc(2026, 12, 9, 14, 40), u"2125550199", nullptr, kIncoming)});
            Phone()->PressDone();
        });
        ChooseFromMenu(QString::fromLatin1(item));
        EXPECT_FALSE(title.isEmpty());
        EXPECT_NE(title, QStringLiteral("Zonrik Ringlog")) << item;
        // The list was not read again and keeps its selection.
        EXPECT_EQ(Rows().GetItemCount(), 4) << item;
        EXPECT_EQ(SelectedRows(), std::vector<int>{1}) << item;
    }
}

TEST_F(CallDetails, ReleasingEndInTheDetailsEndsTheProgram) {
    Start(FourCalls());
    WhenDialogUp([](CDialog& dialog) {
        QTest::keyPress(Phone(), Qt::Key_F4);
        QTest::keyRelease(Phone(), Qt::Key_F4);
        dialog.EndDialog(IDOK);
    });
    Key(Qt::Key_Return);
    ASSERT_TRUE(guitest::RecordedExit().has_value());
    EXPECT_EQ(*guitest::RecordedExit(), 0);
}

} // namespace
