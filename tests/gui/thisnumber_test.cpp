// This Number: every call with the selected call's number, whatever form the log wrote it in, on
// our own store and on a dialler's history; its title, its count and empty text, and Delete, Delete
// All, Call and the details on its rows.
#include "viewtestenv.h"

#include "../platform/diallerfiles.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/softkeybar.h"
#include "resources/resource.h"
#include "tests/support/placedcalls.h"

#include <QAccessible>

#include <string>
#include <vector>

using namespace viewtest;

namespace {

// Six calls, newest first: one number in three forms (two of them named), another number, a call
// without a number, and the first number again.
std::vector<CallRecordData> MixedForms() {
    return {Call(Utc(2026, 12, 9, 14, 0), u"(206) 386-1234", u"Grace Hopper"),
            Call(Utc(2026, 12, 9, 13, 0), u"4255550100", u"Ada Lovelace"),
            Call(Utc(2026, 12, 9, 12, 0), u"+12063861234", nullptr, kMissed),
            Call(Utc(2026, 12, 9, 11, 0), u"", nullptr, kIncoming, 1),
            Call(Utc(2026, 12, 9, 10, 0), u"tel:+1-206-386-1234", u"Grace Hopper", kOutgoing),
            Call(Utc(2026, 12, 9, 9, 0), u"12063861234")};
}

class ThisNumber : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        Phone()->SetMessageBoxObserver([this](ShellMessageBox& box) {
            told.push_back(box.Text().toStdString());
            box.Press(box.ButtonsType() == MB_YESNO ? IDYES : IDOK);
        });
    }
    void TearDown() override {
        Phone()->SetMessageBoxObserver(nullptr);
        ViewTest::TearDown();
    }

    // The state of a Filter item as the open submenu shows it; the menu is closed again.
    struct FilterItem {
        bool enabled = false;
        bool checked = false;
    };
    FilterItem FilterItemState(const QString& item) {
        guitest::TapSoftKey(1);
        QMenu* menu = Phone()->SoftKeys()->OpenMenu();
        QMenu* filter = OpenSubmenu(menu, QStringLiteral("Filter"));
        QAction* action = filter != nullptr ? guitest::FindAction(filter, item) : nullptr;
        FilterItem state;
        if (action != nullptr) {
            state = {action->isEnabled(), action->isChecked()};
        }
        menu->close();
        QApplication::processEvents();
        return state;
    }

    void SelectRowByKeys(int row) {
        while (view->selectedRow > row) {
            Key(Qt::Key_Up);
        }
        while (view->selectedRow < row) {
            Key(Qt::Key_Down);
        }
    }

    std::vector<uint64_t> StoredStarts() {
        std::vector<uint64_t> starts;
        for (const CallRecordData& call : StoredCalls()) {
            starts.push_back(call.startTime);
        }
        return starts;
    }

    std::vector<std::string> told;
};

TEST_F(ThisNumber, ShowsEveryFormOfTheNumberUnderTheCallersNameUntilAnotherFilter) {
    Start(MixedForms());
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
    const FilterItem before = FilterItemState(QStringLiteral("This Number"));
    EXPECT_TRUE(before.enabled);
    EXPECT_FALSE(before.checked);

    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 2, 4, 5}));
    EXPECT_EQ(view->thisNumberCount, 4);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Grace Hopper"));
    EXPECT_TRUE(FilterItemState(QStringLiteral("This Number")).checked);
    EXPECT_FALSE(FilterItemState(QStringLiteral("All Calls")).checked);

    // Another filter leaves it, and the title names the program again.
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{2}));
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
    EXPECT_FALSE(FilterItemState(QStringLiteral("This Number")).checked);

    // From a call without a name, the title is its number; the second number keeps to itself.
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 2, 4, 5}));
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("(206) 386-1234"));
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    SelectRowByKeys(1);
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{1}));
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Ada Lovelace"));
}

TEST_F(ThisNumber, ACallWithoutANumberGreysIt) {
    Start(MixedForms());
    SelectRowByKeys(3);
    const FilterItem state = FilterItemState(QStringLiteral("This Number"));
    EXPECT_FALSE(state.enabled);
    EXPECT_FALSE(state.checked);
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData().size(), 6u);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
}

TEST_F(ThisNumber, TheTitleComesBackAfterTheDetailsAndAnotherProgram) {
    Start(MixedForms());
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    Key(Qt::Key_Down);
    QString titleInDetails;
    WhenDialogUp([&](CDialog&) {
        titleInDetails = Phone()->NavTitleText();
        Phone()->PressDone();
    });
    Key(Qt::Key_Return);
    EXPECT_EQ(titleInDetails, QStringLiteral("Call Info"));
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Grace Hopper"));
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});

    guitest::LeaveAndComeBack();
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Grace Hopper"));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 2, 4, 5}));
}

TEST_F(ThisNumber, DeleteCallAndDetailsActOnItsRowsAndTheLastRowGoneSaysNoMatchingCalls) {
    Start(MixedForms());
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    Key(Qt::Key_Down);

    // Call dials the selected row's call, the one at position 2.
    Settle();
    ClearPlacedCalls();
    guitest::TapSoftKey(0);
    const std::vector<PlacedCall> placed = PlacedCalls();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].destination, u"(206) 386-1234");

    // Call made the first row the one to select next, as on any filter, so Down selects the second
    // row again; Delete takes its call, and the filter stays on.
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(StoredStarts(),
              (std::vector<uint64_t>{Utc(2026, 12, 9, 14, 0), Utc(2026, 12, 9, 13, 0), Utc(2026, 12, 9, 11, 0),
                                     Utc(2026, 12, 9, 10, 0), Utc(2026, 12, 9, 9, 0)}));
    EXPECT_EQ(Rows().GetItemCount(), 3);
    EXPECT_EQ(view->thisNumberCount, 3);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Grace Hopper"));

    // Delete in the details takes the call they showed.
    WhenDialogUp([](CDialog&) { guitest::TapSoftKey(1); });
    Key(Qt::Key_Return);
    EXPECT_EQ(StoredStarts().size(), 4u);
    EXPECT_EQ(Rows().GetItemCount(), 2);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Grace Hopper"));

    ChooseFromMenu(QStringLiteral("Delete"));
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_EQ(view->thisNumberCount, 0);
    Settle();
    EXPECT_EQ(List()->EmptyText(), u"No Matching Calls");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(List())->text(QAccessible::Description),
              QStringLiteral("No Matching Calls"));
    // The other number's call and the call without one stayed; Delete has nothing left to take.
    EXPECT_EQ(StoredStarts(), (std::vector<uint64_t>{Utc(2026, 12, 9, 13, 0), Utc(2026, 12, 9, 11, 0)}));
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Delete")));
    EXPECT_TRUE(FilterItemState(QStringLiteral("This Number")).checked);
    EXPECT_TRUE(told.empty());
}

TEST_F(ThisNumber, DeleteAllStillDeletesTheWholeLogAfterTheSameQuestion) {
    Start(MixedForms());
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    ChooseFromMenu(QStringLiteral("Delete All"));
    EXPECT_EQ(told, std::vector<std::string>{"Permanently delete all calls?"});
    EXPECT_TRUE(StoredCalls().empty());
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_EQ(view->thisNumberCount, 0);
}

TEST_F(ThisNumber, ADiallersHistoryWithTheNumberInMixedFormsShowsThemAll) {
    dialler::Exec(storePath, std::string(dialler::kGnomeCallsSchema) +
                                 "INSERT INTO calls (target, inbound, start, answered, end, protocol) VALUES"
                                 " ('tel:+1-206-386-1234', 1, '2026-12-09T08:00:00Z', '2026-12-09T08:00:02Z',"
                                 "  '2026-12-09T08:01:00Z', 'tel'),"
                                 " ('(206) 386-1234', 0, '2026-12-09T09:00:00Z', '2026-12-09T09:00:02Z',"
                                 "  '2026-12-09T09:01:00Z', 'tel'),"
                                 " ('tel:4255550100', 1, '2026-12-09T10:00:00Z', NULL, '2026-12-09T10:00:30Z', 'tel'),"
                                 " ('sip:ada@example.org', 1, '2026-12-09T11:00:00Z', '2026-12-09T11:00:03Z',"
                                 "  '2026-12-09T11:10:00Z', 'sip'),"
                                 " ('tel:+12063861234', 1, '2026-12-09T12:00:00Z', NULL, '2026-12-09T12:00:30Z', "
                                 "'tel');");
    Start({});
    ASSERT_EQ(Rows().GetItemCount(), 5);
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(view->thisNumberCount, 3);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("(206) 386-1234"));

    // A SIP address is no number to find.
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    SelectRowByKeys(1);
    EXPECT_FALSE(FilterItemState(QStringLiteral("This Number")).enabled);

    // Delete on its rows deletes the dialler's row in place.
    SelectRowByKeys(0);
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(dialler::Rows(storePath, "SELECT target FROM calls ORDER BY id"),
              "tel:+1-206-386-1234\ntel:4255550100\nsip:ada@example.org\ntel:+12063861234\n");
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 3}));
}

} // namespace
