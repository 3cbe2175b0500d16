// Undo Delete in the program on each of the three call logs: after a Delete from the list or the
// details and after a Delete All, the log is read back column by column and the restored call is
// the selected row; a refusal says why and writes nothing; the item is greyed with nothing to undo.
#include "viewtestenv.h"

#include "../calllog/fullvfs.h"
#include "../calllog/undologs.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "resources/resource.h"

#include <sqlite3.h>

#include <string>
#include <vector>

using namespace viewtest;
using undotest::Dump;
using undotest::Log;

namespace {

class UndoDeleteView : public ViewTest, public testing::WithParamInterface<Log> {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        Phone()->SetMessageBoxObserver([this](ShellMessageBox& box) {
            told.push_back(box.Text().toStdString());
            box.Press(box.ButtonsType() == MB_YESNO ? IDYES : IDOK);
        });
        undotest::MakeLog(GetParam(), storePath);
        before = Now();
        Start({});
        ASSERT_EQ(Rows().GetItemCount(), 4);
    }
    void TearDown() override {
        Phone()->SetMessageBoxObserver(nullptr);
        ViewTest::TearDown();
    }

    std::string Now() { return Dump(GetParam(), storePath); }

    // The hour (UTC) at which the call behind each row started.
    std::vector<int> RowHours() {
        std::vector<int> hours;
        for (int row = 0; row < Rows().GetItemCount(); ++row) {
            const NVXCallEntry* entry = view->callList.EntryAt(static_cast<int>(Rows().GetItemData(row)));
            // A file time counts 100 ns from midnight, 1 January 1601 (UTC).
            hours.push_back(entry != nullptr ? static_cast<int>(FileTimeValue(entry->startTime) / 36000000000u % 24)
                                             : -1);
        }
        return hours;
    }

    std::vector<std::string> told;
    std::string before;
};

INSTANTIATE_TEST_SUITE_P(Logs, UndoDeleteView, testing::ValuesIn(undotest::kLogs), undotest::LogName);

TEST_P(UndoDeleteView, UndoAfterDeletePutsTheCallBackAsItWasAndSelectsIt) {
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Undo Delete")));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete"));
    ASSERT_EQ(RowHours(), (std::vector<int>{13, 12, 10}));
    ASSERT_NE(Now(), before);

    ASSERT_TRUE(MenuItemEnabled(QStringLiteral("Undo Delete")));
    ChooseFromMenu(QStringLiteral("Undo Delete"));
    EXPECT_TRUE(told.empty()) << told.front();
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(RowHours(), (std::vector<int>{13, 12, 11, 10}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(view->selectedRow, 2);
    // One deletion is undone once.
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Undo Delete")));
}

TEST_P(UndoDeleteView, UndoAfterDeleteAllIsOfferedOnTheEmptyListAndSelectsTheNewestCall) {
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete All"));
    ASSERT_EQ(Rows().GetItemCount(), 0);
    ASSERT_TRUE(MenuItemEnabled(QStringLiteral("Undo Delete")));

    ChooseFromMenu(QStringLiteral("Undo Delete"));
    ASSERT_EQ(told.size(), 1u) << "only the question of Delete All";
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(RowHours(), (std::vector<int>{13, 12, 11, 10}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(view->allCount, 4);
}

TEST_P(UndoDeleteView, UndoAfterDeleteInTheDetailsPutsThatCallBack) {
    Key(Qt::Key_Down);
    WhenDialogUp([](CDialog&) { guitest::TapSoftKey(1); });
    Key(Qt::Key_Return);
    ASSERT_EQ(RowHours(), (std::vector<int>{13, 11, 10}));

    ChooseFromMenu(QStringLiteral("Undo Delete"));
    EXPECT_TRUE(told.empty()) << told.front();
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_P(UndoDeleteView, ARefusedUndoSaysWhyWritesNothingAndCanBeTriedAgain) {
    ChooseFromMenu(QStringLiteral("Delete"));
    const std::string deleted = Now();
    {
        undotest::WriteLock dialler(storePath);
        ASSERT_TRUE(dialler.held);
        ChooseFromMenu(QStringLiteral("Undo Delete"));
    }
    {
        FullDiskVfs disk;
        disk.ReadOnlyFiles(true);
        ChooseFromMenu(QStringLiteral("Undo Delete"));
    }
    {
        FullDiskVfs disk;
        disk.FailAfter(0);
        ChooseFromMenu(QStringLiteral("Undo Delete"));
    }
    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(told[0], "Nothing was undone. The call log is in use by another program.");
    EXPECT_EQ(told[1], "Nothing was undone. The call log cannot be changed.");
    EXPECT_EQ(told[2], "Nothing was undone. The phone's storage is full.");
    EXPECT_EQ(Now(), deleted);
    EXPECT_EQ(RowHours(), (std::vector<int>{12, 11, 10}));

    // Nothing was lost: once the store lets it, the undo goes through.
    ASSERT_TRUE(MenuItemEnabled(QStringLiteral("Undo Delete")));
    ChooseFromMenu(QStringLiteral("Undo Delete"));
    EXPECT_EQ(told.size(), 3u);
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

// Without AUTOINCREMENT the dialler's next call takes the id of the newest call deleted.
class UndoDeleteTaken : public UndoDeleteView {};

INSTANTIATE_TEST_SUITE_P(Logs, UndoDeleteTaken, testing::Values(Log::GnomeCallsReusingIds), undotest::LogName);

TEST_P(UndoDeleteTaken, AnIdTakenMeanwhileRefusesTheUndoAndOverwritesNothing) {
    ChooseFromMenu(QStringLiteral("Delete"));
    dialler::Exec(storePath, "INSERT INTO calls (target, inbound, start) VALUES ('tel:2065559999', 1, "
                             "'2026-12-09T14:00:00Z')");
    const std::string taken = Now();
    ASSERT_NE(taken.find("2065559999"), std::string::npos);
    ASSERT_EQ(dialler::Rows(storePath, "SELECT max(id) FROM calls"), "4\n");

    ChooseFromMenu(QStringLiteral("Undo Delete"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "Nothing was undone. Another call has taken its place in the call log.");
    EXPECT_EQ(Now(), taken);
    // The list shows the log as it is, the dialler's new call at its head.
    EXPECT_EQ(RowHours(), (std::vector<int>{14, 12, 11, 10}));
}

// The restored call under a filter: its row there, as the filter shows it.
class UndoDeleteFiltered : public ViewTest {};

TEST_F(UndoDeleteFiltered, UnderAFilterTheRestoredCallsRowIsSelected) {
    Start(NineCalls());
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    ASSERT_EQ(ItemData(), (std::vector<int>{1, 4, 7}));
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete"));
    ASSERT_EQ(ItemData(), (std::vector<int>{1, 6}));

    ChooseFromMenu(QStringLiteral("Undo Delete"));
    EXPECT_EQ(ItemData(), (std::vector<int>{1, 4, 7}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(StoredCalls().size(), 9u);
}

} // namespace
