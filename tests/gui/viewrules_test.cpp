// The list's rules where the store says no: a Delete the store refuses or finds already done, from
// the list and from the call details, a Delete All the store refuses, and Call on the first row.
#include "viewtestenv.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "resources/resource.h"
#include "tests/support/placedcalls.h"

#include <sqlite3.h>

#include <string>
#include <vector>

using namespace viewtest;

namespace {

// A message box as the user saw it.
struct Shown {
    std::string caption;
    std::string text;
    unsigned icon = 0;
};

class ViewRules : public ViewTest {
protected:
    void TearDown() override {
        Phone()->SetMessageBoxObserver(nullptr);
        ViewTest::TearDown();
    }

    // Every message box is recorded and answered: Yes where it asks, else OK.
    void AnswerMessageBoxes() {
        Phone()->SetMessageBoxObserver([this](ShellMessageBox& box) {
            shown.push_back({box.Caption().toStdString(), box.Text().toStdString(), box.IconType()});
            box.Press(box.ButtonsType() == MB_YESNO ? IDYES : IDOK);
        });
    }

    // Runs SQL on the phone's store with a connection of the test's own, as another program would.
    void Exec(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error != nullptr ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    // The phone refuses to delete the call that started at the given time.
    void Protect(uint64_t start) {
        Exec("CREATE TRIGGER keep BEFORE DELETE ON records WHEN old.start_time = " + std::to_string(start) +
             " BEGIN SELECT RAISE(ABORT, 'protected'); END");
    }

    // The number shown on a row, whatever its first line holds.
    std::u16string RowStart(int row, size_t length) { return Rows().GetItemText(row, 1).substr(0, length); }

    std::vector<Shown> shown;
};

TEST_F(ViewRules, ADeleteTheStoreRefusesSaysWhyReloadsAndKeepsTheChosenCallSelectedWhereItMoved) {
    Start(NineCalls());
    // Under Missed Calls the second row is the 14:30 call, at position 4 of the whole log.
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    Key(Qt::Key_Down);
    ASSERT_EQ(RowStart(1, 15), u"(425) 555-0104|");
    Protect(Utc(2026, 12, 9, 14, 30));
    // Another program logs a newer missed call: once the list is read again the chosen call is one
    // row lower.
    AddCalls({Call(Utc(2026, 12, 9, 14, 55), u"2063861234", u"Grace Hopper", kMissed)});

    AnswerMessageBoxes();
    ChooseFromMenu(QStringLiteral("Delete"));

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Zonrik Ringlog");
    EXPECT_EQ(shown[0].text, "The call was not deleted. The call log could not be read or changed.");
    EXPECT_EQ(shown[0].icon, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(StoredCalls().size(), 10u);
    // The list is the store's again: four missed calls, the new one on top.
    ASSERT_EQ(Rows().GetItemCount(), 4);
    EXPECT_EQ(RowStart(0, 13), u"Grace Hopper|");
    EXPECT_EQ(RowStart(2, 15), u"(425) 555-0104|");
    EXPECT_EQ(view->selectedRow, 2);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(view->missedCount, 4);
}

TEST_F(ViewRules, DeletingACallAnotherProgramDeletedFirstSelectsTheFirstRowWithoutAMessage) {
    Start(NineCalls());
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Down);
    }
    ASSERT_EQ(RowStart(3, 15), u"(425) 555-0103|");
    Exec("DELETE FROM records WHERE start_time = " + std::to_string(Utc(2026, 12, 9, 14, 35)));

    AnswerMessageBoxes();
    ChooseFromMenu(QStringLiteral("Delete"));

    EXPECT_TRUE(shown.empty()) << shown.front().text;
    EXPECT_EQ(StoredCalls().size(), 8u);
    ASSERT_EQ(Rows().GetItemCount(), 8);
    EXPECT_EQ(RowStart(3, 15), u"(425) 555-0104|");
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(ViewRules, DeleteInTheDetailsThatTheStoreRefusesSaysWhyAndKeepsThatCallSelected) {
    Start(NineCalls());
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Down);
    }
    Protect(Utc(2026, 12, 9, 14, 35));
    AddCalls({Call(Utc(2026, 12, 9, 14, 55), u"2063861234", u"Grace Hopper", kIncoming)});

    AnswerMessageBoxes();
    WhenDialogUp([](CDialog&) { guitest::TapSoftKey(1); });
    Key(Qt::Key_Return);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "The call was not deleted. The call log could not be read or changed.");
    EXPECT_EQ(StoredCalls().size(), 10u);
    ASSERT_EQ(Rows().GetItemCount(), 10);
    EXPECT_EQ(RowStart(4, 15), u"(425) 555-0103|");
    EXPECT_EQ(view->selectedRow, 4);
    EXPECT_EQ(SelectedRows(), std::vector<int>{4});
}

TEST_F(ViewRules, DeleteAllThatTheStoreRefusesSaysNoCallWasDeletedAndShowsEveryCallTheStoreHolds) {
    Start(NineCalls());
    Protect(Utc(2026, 12, 9, 14, 45));
    // Another program logs a call the list has not read yet.
    AddCalls({Call(Utc(2026, 12, 9, 14, 55), u"2063861234", u"Grace Hopper", kIncoming)});

    AnswerMessageBoxes();
    ChooseFromMenu(QStringLiteral("Delete All"));

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Permanently delete all calls?");
    EXPECT_EQ(shown[1].caption, "Zonrik Ringlog");
    EXPECT_EQ(shown[1].text, "No call was deleted. The call log could not be read or changed.");
    EXPECT_EQ(shown[1].icon, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(StoredCalls().size(), 10u);
    // The rows are the store's calls at their positions, the new one on top.
    ASSERT_EQ(Rows().GetItemCount(), 10);
    EXPECT_EQ(RowStart(0, 13), u"Grace Hopper|");
    EXPECT_EQ(RowStart(9, 15), u"(425) 555-0108|");
    EXPECT_EQ(view->allCount, 10);
    EXPECT_EQ(view->incomingCount, 3);
    EXPECT_EQ(view->missedCount + view->incomingCount + view->outgoingCount, 10);
}

TEST_F(ViewRules, CallIsOfferedForADialableCallInTheFirstRowAndPlacesIt) {
    Start({Call(Utc(2026, 12, 9, 14, 4), u"2063861234", u"Grace Hopper", kIncoming),
           Call(Utc(2026, 12, 9, 14, 3), u"4255550100", nullptr, kOutgoing)});
    EXPECT_TRUE(view->CanCall(0));
    ASSERT_TRUE(guitest::SoftKey(0)->isEnabled());
    ClearPlacedCalls();
    guitest::TapSoftKey(0);
    const std::vector<PlacedCall> placed = PlacedCalls();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].calledParty, u"Grace Hopper");
}

} // namespace
