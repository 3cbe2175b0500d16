// Deleting from the call list when the store does not simply agree: the call already deleted by
// another program, the log held locked by a dialler, a read-only log, a full disk. Each time the
// store is read back, the selected rows are counted, and a second Delete must take the call the
// user sees selected, never another one.
#include "viewtestenv.h"

#include "../calllog/fullvfs.h"
#include "../platform/lockholder.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/softkeybar.h"
#include "platform/ui/waitcursor.h"
#include "resources/resource.h"

#include <QAccessible>

#include <sqlite3.h>

#include <string>
#include <vector>

using namespace viewtest;

namespace {

// Five calls, newest first, an hour apart.
std::vector<CallRecordData> FiveCalls() {
    return {Call(Utc(2026, 12, 9, 14, 0), u"2063861234", u"Grace Hopper"),
            Call(Utc(2026, 12, 9, 13, 0), u"4255550100", u"Ada Lovelace"),
            Call(Utc(2026, 12, 9, 12, 0), u"4255550101", u"Barbara Liskov"),
            Call(Utc(2026, 12, 9, 11, 0), u"4256410000", u"Frances Allen"),
            Call(Utc(2026, 12, 9, 10, 0), u"2125550199", u"Radia Perlman")};
}

// A message box as the user met it: caption, text, icon and buttons.
struct Told {
    std::string caption;
    std::string text;
    unsigned icon = 0;
    unsigned buttons = 0;
};

class Deletion : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        Phone()->SetMessageBoxObserver([this](ShellMessageBox& box) {
            told.push_back({box.Caption().toStdString(), box.Text().toStdString(), box.IconType(), box.ButtonsType()});
            box.Press(box.ButtonsType() == MB_YESNO ? IDYES : IDOK);
        });
    }
    void TearDown() override {
        Phone()->SetMessageBoxObserver(nullptr);
        ViewTest::TearDown();
    }

    std::vector<std::u16string> StoredNames() {
        std::vector<std::u16string> names;
        for (const CallRecordData& call : StoredCalls()) {
            names.push_back(call.name.value_or(u"-"));
        }
        return names;
    }

    // The name of the call behind each selected row.
    std::vector<std::u16string> SelectedNames() {
        std::vector<std::u16string> names;
        for (int row : SelectedRows()) {
            const NVXCallEntry* entry = view->callList.EntryAt(static_cast<int>(Rows().GetItemData(row)));
            names.push_back(entry != nullptr ? std::u16string(entry->nameText.Data()) : u"?");
        }
        return names;
    }

    void Remove(const char* name) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
        const std::string sql = std::string("DELETE FROM records WHERE name = '") + name + "'";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // The user chooses Delete in the details of the selected row, after act has run there.
    void DeleteInTheDetails(const std::function<void()>& act) {
        WhenDialogUp([act](CDialog&) {
            act();
            guitest::TapSoftKey(1);
        });
        Key(Qt::Key_Return);
    }

    std::vector<Told> told;
};

const std::vector<std::u16string> kAllFive = {u"Grace Hopper", u"Ada Lovelace", u"Barbara Liskov", u"Frances Allen",
                                              u"Radia Perlman"};

TEST_F(Deletion, ACallDeletedElsewhereDisappearsWithRowZeroSelectedAndTheNextDeleteTakesThatRow) {
    Start(FiveCalls());
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Down);
    }
    ASSERT_EQ(SelectedNames(), std::vector<std::u16string>{u"Frances Allen"});
    Remove("Frances Allen");

    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_TRUE(told.empty()) << "a call that is gone went as asked: " << told.front().text;
    EXPECT_EQ(StoredNames(),
              (std::vector<std::u16string>{u"Grace Hopper", u"Ada Lovelace", u"Barbara Liskov", u"Radia Perlman"}));
    EXPECT_EQ(Rows().GetItemCount(), 4);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(view->selectedRow, 0);

    // The second Delete takes the row the user sees selected, and only that one.
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(StoredNames(), (std::vector<std::u16string>{u"Ada Lovelace", u"Barbara Liskov", u"Radia Perlman"}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(Deletion, ALockedLogKeepsTheCallSaysWhyAndTheChosenCallStaysTheOnlySelectedRow) {
    Start(FiveCalls());
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Down);
    }
    {
        storetest::LockHolder dialler(storePath, false);
        ASSERT_TRUE(dialler.held);
        ChooseFromMenu(QStringLiteral("Delete"));
    }
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].caption, "Zonrik Ringlog");
    EXPECT_EQ(told[0].text, "The call was not deleted. The call log is in use by another program.");
    EXPECT_EQ(told[0].icon, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(told[0].buttons, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(StoredNames(), kAllFive);
    EXPECT_EQ(SelectedNames(), std::vector<std::u16string>{u"Frances Allen"});

    // Once the dialler lets go, Delete takes the call that stayed selected.
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(StoredNames(),
              (std::vector<std::u16string>{u"Grace Hopper", u"Ada Lovelace", u"Barbara Liskov", u"Radia Perlman"}));
}

TEST_F(Deletion, TheChosenCallIsSelectedAgainWhereverANewCallPushedIt) {
    Start(FiveCalls());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    // The dialler adds a call and then holds the log: after the reload the chosen call is one
    // row further down.
    AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"3125550100", u"Hedy Lamarr")});
    {
        storetest::LockHolder dialler(storePath, false);
        ASSERT_TRUE(dialler.held);
        ChooseFromMenu(QStringLiteral("Delete"));
    }
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(Rows().GetItemCount(), 6);
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
    EXPECT_EQ(SelectedNames(), std::vector<std::u16string>{u"Barbara Liskov"});
    EXPECT_EQ(view->selectedRow, 3);
}

TEST_F(Deletion, AReadOnlyLogAndAFullDiskKeepTheCallAndSaySo) {
    Start(FiveCalls());
    Key(Qt::Key_Down);
    {
        FullDiskVfs disk;
        disk.ReadOnlyFiles(true);
        ChooseFromMenu(QStringLiteral("Delete"));
    }
    {
        FullDiskVfs disk;
        disk.FailAfter(0);
        ChooseFromMenu(QStringLiteral("Delete"));
    }
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].text, "The call was not deleted. The call log cannot be changed.");
    EXPECT_EQ(told[1].text, "The call was not deleted. The phone's storage is full.");
    EXPECT_EQ(StoredNames(), kAllFive);
    EXPECT_EQ(SelectedNames(), std::vector<std::u16string>{u"Ada Lovelace"});
}

TEST_F(Deletion, DeleteInTheDetailsOfACallDeletedElsewhereReloadsTheList) {
    Start(FiveCalls());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    DeleteInTheDetails([this] { Remove("Barbara Liskov"); });
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(StoredNames(),
              (std::vector<std::u16string>{u"Grace Hopper", u"Ada Lovelace", u"Frances Allen", u"Radia Perlman"}));
    // The list shows what the phone holds, and no more.
    EXPECT_EQ(Rows().GetItemCount(), 4);
    EXPECT_EQ(view->callList.count, 4);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(Deletion, DeleteInTheDetailsOfALockedLogSaysWhyAndKeepsTheCallSelected) {
    Start(FiveCalls());
    Key(Qt::Key_Down);
    std::unique_ptr<storetest::LockHolder> dialler;
    DeleteInTheDetails([&] {
        dialler = std::make_unique<storetest::LockHolder>(storePath, false);
        ASSERT_TRUE(dialler->held);
    });
    dialler.reset();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, "The call was not deleted. The call log is in use by another program.");
    EXPECT_EQ(StoredNames(), kAllFive);
    EXPECT_EQ(SelectedNames(), std::vector<std::u16string>{u"Ada Lovelace"});
}

TEST_F(Deletion, DeleteAllThatTheStoreRefusesDeletesNothingAndSaysSo) {
    Start(FiveCalls());
    Key(Qt::Key_Down);
    {
        storetest::LockHolder dialler(storePath, false);
        ASSERT_TRUE(dialler.held);
        ChooseFromMenu(QStringLiteral("Delete All"));
    }
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].text, "Permanently delete all calls?");
    EXPECT_EQ(told[1].text, "No call was deleted. The call log is in use by another program.");
    EXPECT_EQ(told[1].icon, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_EQ(StoredNames(), kAllFive);
    EXPECT_EQ(Rows().GetItemCount(), 5);
    EXPECT_EQ(SelectedNames(), std::vector<std::u16string>{u"Ada Lovelace"});
}

// Whether the wait cursor showed while the store deleted: looked at from inside SQLite, at every
// statement that deletes.
bool waitedAtEveryDelete = true;
int deletes = 0;

int WatchDeletes(unsigned, void*, void* p, void*) {
    const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(p));
    if (sql != nullptr && std::string(sql).rfind("DELETE", 0) == 0) {
        ++deletes;
        waitedAtEveryDelete = waitedAtEveryDelete && CWaitCursor::IsShowing();
    }
    return 0;
}

int WatchConnection(sqlite3* db, const char**, const void*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, WatchDeletes, nullptr);
    return SQLITE_OK;
}

TEST_F(Deletion, TheWaitCursorShowsWhileTheStoreDeletesAndNotAfter) {
    Start(FiveCalls());
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(WatchConnection));
    ChooseFromMenu(QStringLiteral("Delete"));
    ChooseFromMenu(QStringLiteral("Delete All"));
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(WatchConnection));
    EXPECT_EQ(deletes, 5);
    EXPECT_TRUE(waitedAtEveryDelete);
    EXPECT_FALSE(CWaitCursor::IsShowing());
    EXPECT_TRUE(StoredCalls().empty());
}

TEST_F(Deletion, ACallWithAnEmptyNumberAndNameReadsUnknownCannotBeCalledAndCanBeDeleted) {
    CallRecordData empty = Call(Utc(2026, 12, 9, 14, 30), u"", u"");
    std::vector<CallRecordData> calls = FiveCalls();
    calls.insert(calls.begin(), empty);
    Start(calls);
    EXPECT_EQ(Rows().GetItemText(0, 1).substr(0, 8), u"Unknown|");
    EXPECT_FALSE(guitest::SoftKey(0)->isEnabled()) << "Call would dial nothing";

    WhenDialogUp([](CDialog& dialog) {
        CWnd* number = dialog.GetDlgItem(IDC_NUMBER);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->GetWindowText(), u"Unknown");
        // No number to dial: the left key is the blank one.
        EXPECT_EQ(guitest::SoftKey(0)->text(), QStringLiteral("   "));
        guitest::TapSoftKey(1);
    });
    Key(Qt::Key_Return);
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(StoredNames(), kAllFive);
}

TEST_F(Deletion, EveryWayOfSelectingLeavesOneSelectedRow) {
    Start(FiveCalls());
    const auto one = [this](const char* after) { EXPECT_EQ(SelectedRows().size(), 1u) << "after " << after; };
    Key(Qt::Key_Down);
    one("Down");
    // The list's own selection request, as a filter change or a fill makes it, on another row.
    Rows().SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    one("selecting another row");
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    one("a filter");
    view->FillList();
    one("a refill");
    Remove("Grace Hopper");
    Key(Qt::Key_Up);
    ChooseFromMenu(QStringLiteral("Delete"));
    one("a Delete of a call that was gone");
}

TEST_F(Deletion, BreaksAndBarsInANameOrNumberShowAsBlanksInTheRowAndTheCallStillDeletes) {
    // A name from a dialler's log that would fake a time and a number, with every kind of break: line
    // feed, carriage return, tab, DEL, NEL (C1) and the Unicode line and paragraph separators.
    const std::u16string name = u"Eve|09:00\n(800) 555-0199\r\t"
                                u"\x7f"
                                u"x"
                                u"\x85"
                                u"y\u2028z\u2029.";
    const std::u16string number = u"425|555\n0100";
    Start({Call(Utc(2026, 12, 9, 14, 4), u"2063861234", name.c_str()), Call(Utc(2026, 12, 9, 14, 3), number.c_str())});

    EXPECT_EQ(Rows().GetItemText(0, 1), u"Eve 09:00 (800) 555-0199   x y z .|14:04\n(206) 386-1234\nSeattle, WA");
    EXPECT_EQ(Rows().GetItemText(1, 1), u"425 555 0100|14:03\n");
    // The screen reader reads the same fields: the name, the time, the number and the place.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->childCount(), 2);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name),
              QStringLiteral("Eve 09:00 (800) 555-0199   x y z ., 14:04, (206) 386-1234, Seattle, WA"));
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("425 555 0100, 14:03"));

    // The record keeps its own texts, so the store's identity check still knows each call.
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_TRUE(told.empty()) << told.front().text;
    const std::vector<CallRecordData> left = StoredCalls();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].number, number);
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_TRUE(told.empty()) << told.front().text;
    EXPECT_TRUE(StoredCalls().empty());
}

} // namespace
