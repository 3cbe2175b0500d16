// The call list on the main screen, driven as a person drives it: rows, filters and their check
// marks, the selection, Call, Delete and Delete All, keys and taps, and what the screen shows.
#include "viewtestenv.h"

#include "dialogs/callinfodlg.h"
#include "dialogs/dialogstate.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/softkeybar.h"
#include "platform/ui/dc.h"
#include "platform/ui/font.h"
#include "resources/resource.h"
#include "tests/support/placedcalls.h"

#include <QAccessible>
#include <QPointingDevice>
#include <QScroller>

#include <QWidget>
#include <sqlite3.h>

#include <set>

using namespace viewtest;

namespace {

QColor Colour(COLORREF colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

const QColor kIconBlue(74, 121, 173);

std::u16string SixtyNumber(int i) {
    std::u16string number = u"2065550000";
    for (size_t at = number.size(); i > 0; i /= 10) {
        number[--at] = static_cast<char16_t>(u'0' + i % 10);
    }
    return number;
}

class CallView : public ViewTest {
protected:
    // The filter items' check marks, as the open Filter submenu shows them.
    std::vector<bool> CheckMarks() {
        guitest::TapSoftKey(1);
        QMenu* menu = Phone()->SoftKeys()->OpenMenu();
        QMenu* filter = OpenSubmenu(menu, QStringLiteral("Filter"));
        std::vector<bool> checks;
        for (QAction* action : filter->actions()) {
            checks.push_back(action->isChecked());
        }
        menu->close();
        QApplication::processEvents();
        return checks;
    }

    std::set<uint64_t> StoredStartTimes() {
        std::set<uint64_t> times;
        for (const CallRecordData& call : StoredCalls()) {
            times.insert(call.startTime);
        }
        return times;
    }
};

TEST_F(CallView, EachFilterShowsItsCallsWithTheirPositionsInTheWholeLog) {
    Start(NineCalls());
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(view->allCount, 9);
    EXPECT_EQ(CheckMarks(), (std::vector<bool>{true, false, false, false, false}));

    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{1, 4, 7}));
    EXPECT_EQ(view->missedCount, 3);
    EXPECT_EQ(view->incomingCount, 2);
    EXPECT_EQ(view->outgoingCount, 4);
    EXPECT_EQ(CheckMarks(), (std::vector<bool>{false, true, false, false, false}));

    ChooseFromMenu(QStringLiteral("Incoming Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{2, 6}));
    EXPECT_EQ(CheckMarks(), (std::vector<bool>{false, false, true, false, false}));

    ChooseFromMenu(QStringLiteral("Outgoing Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 3, 5, 8}));
    EXPECT_EQ(CheckMarks(), (std::vector<bool>{false, false, false, true, false}));
    // Every entry is counted, also those the filter hides; allCount stands past the last row's entry.
    EXPECT_EQ(view->missedCount + view->incomingCount + view->outgoingCount, 9);
    EXPECT_EQ(view->allCount, 9);

    // The icons follow the call type: missed 0, outgoing 1, incoming 2.
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    std::vector<int> icons;
    for (int row = 0; row < 3; ++row) {
        LVITEM item;
        item.mask = LVIF_IMAGE;
        item.item = row;
        ASSERT_TRUE(Rows().GetItem(&item));
        icons.push_back(item.image);
    }
    EXPECT_EQ(icons, (std::vector<int>{1, 0, 2}));
}

TEST_F(CallView, UndoDeleteIsGreyedUntilSomethingWasDeleted) {
    Start(NineCalls());
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Undo Delete")));
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(Rows().GetItemCount(), 8);
    EXPECT_TRUE(MenuItemEnabled(QStringLiteral("Undo Delete")));
    EXPECT_EQ(StoredCalls().size(), 8u);
    EXPECT_TRUE(MenuItemEnabled(QStringLiteral("Find")));
}

TEST_F(CallView, AFilterWithRowsSelectsTheFirstAndAnEmptyOneKeepsTheSelectedRow) {
    Start(NineCalls());
    for (int i = 0; i < 5; ++i) {
        Key(Qt::Key_Down);
    }
    EXPECT_EQ(view->selectedRow, 5);
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});

    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    // A refill under the same filter (back from another program) keeps the row.
    Key(Qt::Key_Down);
    view->Refresh();
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});

    // The filter already chosen rebuilds nothing and keeps the selection.
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_F(CallView, SwitchingToAnEmptyFilterAndBackKeepsTheRowSelected) {
    std::vector<CallRecordData> calls = NineCalls();
    for (CallRecordData& call : calls) {
        if (call.callType == kMissed) {
            call.callType = kIncoming;
        }
    }
    Start(calls);
    for (int i = 0; i < 5; ++i) {
        Key(Qt::Key_Down);
    }
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_EQ(view->selectedRow, 5);
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
}

TEST_F(CallView, ComingBackFromAnotherProgramReloadsAndKeepsTheSelectedRow) {
    Start(NineCalls());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    // A call comes in while another program has the screen.
    AddCalls({Call(Utc(2026, 12, 9, 14, 58), u"2063861234", u"Grace Hopper", kIncoming)});
    guitest::LeaveAndComeBack();
    EXPECT_EQ(Rows().GetItemCount(), 10);
    EXPECT_EQ(Rows().GetItemText(0, 1).substr(0, 13), u"Grace Hopper|");
    EXPECT_EQ(view->selectedRow, 2);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

TEST_F(CallView, ClosingAboutOrReverseLookupDoesNotReload) {
    Start(NineCalls());
    AddCalls({Call(Utc(2026, 12, 9, 14, 58), u"2063861234", u"Grace Hopper", kIncoming)});
    for (int kind : {0, 1}) {
        LastDialogKind = kind;
        view->Refresh();
        EXPECT_EQ(Rows().GetItemCount(), 9) << "dialog " << kind;
        EXPECT_EQ(LastDialogKind, -1);
        EXPECT_EQ(InfoAction, -1);
    }
    view->Refresh();
    EXPECT_EQ(Rows().GetItemCount(), 10);
}

TEST_F(CallView, RowTextsHoldTwoOrThreeLinesAndAreReadAsAPersonReadsThem) {
    Start({Call(Utc(2026, 12, 9, 14, 4), u"2063861234", u"Grace Hopper", kIncoming),
           Call(Utc(2026, 12, 9, 14, 3), u"4255550100", nullptr, kOutgoing),
           Call(Utc(2026, 12, 9, 14, 2), u"9995550100", u"Nowhere Known", kMissed)});
    EXPECT_EQ(Rows().GetItemText(0, 1), u"Grace Hopper|14:04\n(206) 386-1234\nSeattle, WA");
    EXPECT_EQ(Rows().GetItemText(1, 1), u"(425) 555-0100|14:03\nRedmond, WA");
    // An unknown place leaves the line feed with nothing behind it.
    EXPECT_EQ(Rows().GetItemText(2, 1), u"Nowhere Known|14:02\n(999) 555-0100\n");

    EXPECT_EQ(List()->SpokenText(0), QStringLiteral("Grace Hopper, 14:04, (206) 386-1234, Seattle, WA"));
    EXPECT_EQ(List()->SpokenText(2), QStringLiteral("Nowhere Known, 14:02, (999) 555-0100"));

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_GE(list->childCount(), 3);
    QAccessibleInterface* first = list->child(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->role(), QAccessible::ListItem);
    EXPECT_EQ(first->text(QAccessible::Name), List()->SpokenText(0));
    EXPECT_TRUE(first->state().selected);
    EXPECT_FALSE(list->child(1)->state().selected);
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
    EXPECT_TRUE(list->text(QAccessible::Description).isEmpty());

    // The selection moved by the keys is where a screen reader's focus is.
    ASSERT_TRUE(List()->hasFocus());
    EXPECT_EQ(list->focusChild(), list->child(0));
    Key(Qt::Key_Down);
    EXPECT_EQ(list->focusChild(), list->child(1));
    EXPECT_TRUE(list->child(1)->state().focused);
    EXPECT_FALSE(list->child(0)->state().focused);
}

TEST_F(CallView, ABarInANameShowsAsABlankAndTheTimeBoxIsWhatFollowsARowsFirstBar) {
    Start({Call(Utc(2026, 12, 9, 14, 4), u"2063861234", u"Ada|Lovelace", kIncoming)});
    // A bar of the name's own would cut it and take the time's place.
    EXPECT_EQ(Rows().GetItemText(0, 1), u"Ada Lovelace|14:04\n(206) 386-1234\nSeattle, WA");
    // The time box is as wide as what follows the first bar, measured in the default font.
    const QFontMetrics metrics{QFont()};
    EXPECT_EQ(view->MeasureTimeWidth(u"Ada|Lovelace|14:04").cx, metrics.horizontalAdvance(QStringLiteral("Lovelace")));
    EXPECT_EQ(view->MeasureTimeWidth(u"Grace|14:04").cx, metrics.horizontalAdvance(QStringLiteral("14:04")));
    // Leading bars are skipped: the first piece is then the only one, and there is no time.
    EXPECT_EQ(view->MeasureTimeWidth(u"|14:04").cx, 0);
    EXPECT_EQ(view->MeasureTimeWidth(u"").cx, 0);
}

TEST_F(CallView, EveryFilterWithoutCallsWritesItsMessageOverTheEmptyList) {
    Start({});
    const struct {
        const char* filter;
        const char16_t* message;
    } cases[] = {{"Missed Calls", u"No Missed Calls in Call Log"},
                 {"Incoming Calls", u"No Incoming Calls in Call Log"},
                 {"Outgoing Calls", u"No Outgoing Calls in Call Log"},
                 {"All Calls", u"No Calls in Call Log"}};
    for (const auto& each : cases) {
        ChooseFromMenu(QString::fromLatin1(each.filter), QStringLiteral("Filter"));
        const QImage screen = Settle();
        EXPECT_EQ(List()->EmptyText(), each.message);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(List())->text(QAccessible::Description),
                  QString::fromStdU16String(each.message));
        // The message stands centred on the top line: dark pixels in the first line, none lower.
        bool inTopLine = false;
        bool below = false;
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                if (QColor(screen.pixel(x, y)).lightness() < 128) {
                    (y < 16 ? inTopLine : below) = true;
                }
            }
        }
        EXPECT_TRUE(inTopLine) << each.filter;
        EXPECT_FALSE(below) << each.filter;
    }
    // Enter on the empty list opens nothing and changes nothing.
    Key(Qt::Key_Return);
    EXPECT_EQ(CWnd::GetActiveWindow(), frame);
}

TEST_F(CallView, RowsAreFourLinesOfTheListFontHighAndFollowANewFont) {
    Start(NineCalls());
    LOGFONT description;
    view->GetFont(description);
    EXPECT_EQ(description.height, -12);
    EXPECT_EQ(Rows().RowHeight(), 48);
    CRect r;
    ASSERT_TRUE(Rows().GetSubItemRect(1, 1, LVIR_BOUNDS, r));
    EXPECT_EQ(r.top, 48);
    EXPECT_EQ(r.Height(), 48);

    CFont larger;
    description.height = -15;
    ASSERT_TRUE(larger.CreateFontIndirect(description));
    view->SetFont(&larger);
    EXPECT_EQ(Rows().RowHeight(), 60);
    EXPECT_EQ(Rows().GetCountPerPage(), List()->height() / 60);
}

TEST_F(CallView, TheIconColumnIsBlueBehindEveryRowAndThroughTheMissedIconsMark) {
    Start(NineCalls());
    const QImage screen = Settle();
    const int height = Rows().RowHeight();
    for (int row = 0; row * height + height <= screen.height(); ++row) {
        const int top = row * height;
        EXPECT_EQ(QColor(screen.pixel(43, top + height - 3)), kIconBlue) << "row " << row;
        EXPECT_EQ(QColor(screen.pixel(0, top + 1)), kIconBlue) << "row " << row;
        // Right of the icon column the rows are white, or the highlight for the selected one.
        EXPECT_NE(QColor(screen.pixel(46, top + height / 2)), kIconBlue) << "row " << row;
    }

    // Row 1 is a missed call: the pure-white exclamation mark of icon 0 lets the blue through.
    Bitmap strip;
    ASSERT_EQ(ResourceModule::Program().LoadBitmap(IDB_CALLTYPES, strip), 0);
    CRect icon;
    ASSERT_TRUE(Rows().GetItemRect(1, &icon, LVIR_ICON));
    int markPixels = 0;
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < 40; ++x) {
            if ((strip.PixelAt(x, y) & 0xFFFFFF) == 0xFFFFFF) {
                ++markPixels;
                EXPECT_EQ(QColor(screen.pixel(icon.left + x, icon.top + y)), kIconBlue) << x << "," << y;
            }
        }
    }
    EXPECT_GT(markPixels, 0);
}

TEST_F(CallView, OnlyTheSelectedRowsTextCellIsInTheHighlightColour) {
    Start(NineCalls());
    Key(Qt::Key_Down);
    const QImage screen = Settle();
    const QColor highlight = Colour(GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_NE(highlight, QColor(Qt::white));
    for (int row = 0; row < 3; ++row) {
        CRect r;
        ASSERT_TRUE(Rows().GetSubItemRect(row, 1, LVIR_BOUNDS, r));
        const QColor cell(screen.pixel(r.right - 3, r.top + r.Height() / 2));
        EXPECT_EQ(cell, row == 1 ? highlight : QColor(Qt::white)) << "row " << row;
        EXPECT_EQ(QColor(screen.pixel(43, r.top + r.Height() / 2)), kIconBlue) << "row " << row;
    }
}

TEST_F(CallView, UpAndDownMoveByOneRowStopAtTheEndsAndScrollTheRowIntoView) {
    Start(NineCalls());
    Key(Qt::Key_Up);
    EXPECT_EQ(view->selectedRow, 0);
    for (int i = 0; i < 20; ++i) {
        Key(Qt::Key_Down);
    }
    EXPECT_EQ(view->selectedRow, 8);
    EXPECT_EQ(SelectedRows(), std::vector<int>{8});
    EXPECT_GT(Rows().GetTopIndex(), 0);
    EXPECT_LE(Rows().GetTopIndex(), 8);
    // The last row shows whole at the bottom; the row at the top may show in part.
    CRect last;
    ASSERT_TRUE(Rows().GetItemRect(8, &last, LVIR_BOUNDS));
    EXPECT_GE(last.top, 0);
    EXPECT_EQ(last.bottom, List()->ClientRect().height());
    EXPECT_GE(Rows().GetTopIndex() + Rows().GetCountPerPage(), 8);
    for (int i = 0; i < 8; ++i) {
        Key(Qt::Key_Up);
    }
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(Rows().GetTopIndex(), 0);
    // The keys move the view's selection; the list's focus never moves by itself.
    EXPECT_EQ(Rows().GetNextItem(-1, LVIS_FOCUSED), -1);
}

TEST_F(CallView, ATapSelectsOnlyTheTappedRowAndATapBelowTheRowsKeepsTheSelection) {
    Start({Call(Utc(2026, 12, 9, 14, 4), u"2063861234", u"Grace Hopper", kIncoming),
           Call(Utc(2026, 12, 9, 14, 3), u"4255550100", nullptr, kOutgoing)});
    const int height = Rows().RowHeight();
    // A tap on a row opens its details; Done closes them.
    WhenDialogUp([](CDialog&) { Phone()->PressDone(); });
    QTest::mouseClick(List(), Qt::LeftButton, Qt::NoModifier, QPoint(100, height + height / 2));
    QApplication::processEvents();
    EXPECT_EQ(view->selectedRow, 1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});

    QTest::mouseClick(List(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 3 * height));
    QApplication::processEvents();
    EXPECT_EQ(view->selectedRow, 1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});

    // The list asks with code -50 before it handles a press; the view answers 1.
    NMHDR press{view, 0, NM_LISTPRESS};
    LRESULT answer = 0;
    view->OnListNotify(&press, &answer);
    EXPECT_EQ(answer, 1);
}

// Sixty calls, newest first, two minutes apart: missed, incoming, outgoing in turn; the number of
// call i is 206555 and i in four digits.
std::vector<CallRecordData> SixtyCalls() {
    std::vector<CallRecordData> calls;
    for (int i = 0; i < 60; ++i) {
        calls.push_back(Call(Utc(2026, 12, 9, 14 - i / 30, 58 - 2 * (i % 30)), SixtyNumber(i).c_str(), nullptr,
                             i % 3 == 0   ? kMissed
                             : i % 3 == 1 ? kIncoming
                                          : kOutgoing));
    }
    return calls;
}

// Counts the dialogs that come up while it lives and closes each with Done.
class DialogCounter {
public:
    DialogCounter() {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto* dialog = dynamic_cast<CDialog*>(CWnd::GetActiveWindow());
            if (dialog != nullptr && !dialog->IsEnding()) {
                ++count;
                Phone()->PressDone();
            }
        });
        poll.start(10);
    }
    int count = 0;

private:
    QTimer poll;
};

class CallViewScrolling : public CallView {
protected:
    QScroller* Scroller() { return List()->Scroller(); }
    bool AtRest() {
        return QTest::qWaitFor([this] { return Scroller()->state() == QScroller::Inactive; }, 15000);
    }
    // A stylus drag up by distance pixels (a multiple of 10) that follows the list as a hand does and comes to rest
    // before it lifts.
    void SlowDragUp(QPoint from, int distance) {
        const int start = List()->Offset();
        QTest::mousePress(List(), Qt::LeftButton, Qt::NoModifier, from);
        for (int moved = 10; moved <= distance; moved += 10) {
            QTest::mouseMove(List(), from - QPoint(0, moved), 40);
            ASSERT_TRUE(QTest::qWaitFor([&] { return List()->Offset() == start + moved; }, 5000)) << moved;
        }
        QTest::mouseRelease(List(), Qt::LeftButton, Qt::NoModifier, from - QPoint(0, distance), 300);
        ASSERT_TRUE(AtRest());
    }
    // A finger flicked up the screen: 90 pixels in three quick moves, lifted at once.
    void FlickUp(QPoint from) {
        const std::unique_ptr<QPointingDevice> screen(QTest::createTouchDevice());
        QTest::touchEvent(List(), screen.get()).press(0, from);
        for (int moved = 30; moved <= 90; moved += 30) {
            QTest::touchEvent(List(), screen.get()).move(0, from - QPoint(0, moved));
        }
        QTest::touchEvent(List(), screen.get()).release(0, from - QPoint(0, 90));
        ASSERT_TRUE(AtRest());
    }
    // Taps the row under point, which opens its details; returns the number they show.
    std::u16string TapRow(QPoint point) {
        std::u16string shown;
        WhenDialogUp([&shown](CDialog& dialog) {
            if (auto* details = dynamic_cast<CCallInfoDlg*>(&dialog)) {
                shown = details->entry.dialNumber.Data();
            }
            Phone()->PressDone();
        });
        QTest::mouseClick(List(), Qt::LeftButton, Qt::NoModifier, point);
        QApplication::processEvents();
        return shown;
    }
};

TEST_F(CallViewScrolling, ADragScrollsTheListAndOpensNothingATapOpensTheRowUnderIt) {
    Start(SixtyCalls());
    Phone()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Phone()));
    const int height = Rows().RowHeight();
    {
        DialogCounter dialogs;
        SlowDragUp(QPoint(100, 4 * height), 150);
        EXPECT_EQ(List()->Offset(), 150);
        EXPECT_EQ(Rows().GetTopIndex(), 150 / height);
        EXPECT_EQ(view->selectedRow, 0);
        EXPECT_EQ(SelectedRows(), std::vector<int>{0});

        FlickUp(QPoint(100, 5 * height));
        EXPECT_EQ(List()->Offset(), List()->MaxOffset());
        CRect last;
        ASSERT_TRUE(Rows().GetItemRect(59, &last, LVIR_BOUNDS));
        EXPECT_EQ(last.bottom, List()->ClientRect().height());
        EXPECT_EQ(SelectedRows(), std::vector<int>{0});
        EXPECT_EQ(dialogs.count, 0);
    }

    // At rest, a tap opens the row under it wherever the list stands.
    const int row = Rows().HitTest(CPoint{100, height / 2});
    ASSERT_GT(row, 40);
    EXPECT_NE(TapRow(QPoint(100, height / 2)).find(SixtyNumber(row)), std::u16string::npos);
    EXPECT_EQ(view->selectedRow, row);
    EXPECT_EQ(SelectedRows(), std::vector<int>{row});
}

TEST_F(CallViewScrolling, UnderAFilterADragOpensNothingAndATapOpensTheFilteredRow) {
    Start(SixtyCalls());
    Phone()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Phone()));
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    ASSERT_EQ(Rows().GetItemCount(), 20);
    Settle();
    const int height = Rows().RowHeight();
    {
        DialogCounter dialogs;
        SlowDragUp(QPoint(100, 4 * height), 110);
        EXPECT_EQ(List()->Offset(), 110);
        FlickUp(QPoint(100, 5 * height));
        EXPECT_EQ(List()->Offset(), List()->MaxOffset());
        EXPECT_EQ(SelectedRows(), std::vector<int>{0});
        EXPECT_EQ(dialogs.count, 0);
    }

    // Row r of the missed calls is call 3r of the log.
    const int row = Rows().HitTest(CPoint{100, 2 * height});
    ASSERT_GE(row, 10);
    EXPECT_NE(TapRow(QPoint(100, 2 * height)).find(SixtyNumber(3 * row)), std::u16string::npos);
    EXPECT_EQ(SelectedRows(), std::vector<int>{row});
}

TEST_F(CallView, DeleteInTheMiddleRemovesThatCallFromThePhoneAndSelectsTheFirstRow) {
    Start(NineCalls());
    const std::vector<CallRecordData> before = StoredCalls();
    for (int i = 0; i < 4; ++i) {
        Key(Qt::Key_Down);
    }
    ChooseFromMenu(QStringLiteral("Delete"));
    std::set<uint64_t> expected;
    for (size_t i = 0; i < before.size(); ++i) {
        if (i != 4) {
            expected.insert(before[i].startTime);
        }
    }
    EXPECT_EQ(StoredStartTimes(), expected);
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(view->missedCount, 2);
}

TEST_F(CallView, DeletingTheOnlyRowOfAFilterDisablesCallDeleteAndDeleteAll) {
    std::vector<CallRecordData> calls = NineCalls();
    calls.erase(calls.begin() + 6); // one incoming call is left, at position 2
    Start(calls);
    ChooseFromMenu(QStringLiteral("Incoming Calls"), QStringLiteral("Filter"));
    ASSERT_EQ(ItemData(), std::vector<int>{2});
    EXPECT_TRUE(MenuItemEnabled(QStringLiteral("Delete")));
    ChooseFromMenu(QStringLiteral("Delete"));
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_EQ(StoredCalls().size(), 7u);
    Settle();
    EXPECT_EQ(List()->EmptyText(), u"No Incoming Calls in Call Log");
    EXPECT_FALSE(guitest::SoftKey(0)->isEnabled());
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Delete")));
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Delete All")));
}

TEST_F(CallView, DeleteAllAsksFirstAndNoChangesNothing) {
    Start(NineCalls());
    std::vector<std::string> asked;
    int answer = IDNO;
    Phone()->SetMessageBoxObserver([&](ShellMessageBox& box) {
        asked = {box.Caption().toStdString(), box.Text().toStdString(), std::to_string(box.IconType())};
        box.Press(answer);
    });
    ChooseFromMenu(QStringLiteral("Delete All"));
    EXPECT_EQ(asked, (std::vector<std::string>{"Zonrik Ringlog", "Permanently delete all calls?",
                                               std::to_string(MB_ICONEXCLAMATION)}));
    EXPECT_EQ(Rows().GetItemCount(), 9);
    EXPECT_EQ(StoredCalls().size(), 9u);

    answer = IDYES;
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete All"));
    Phone()->SetMessageBoxObserver(nullptr);
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_TRUE(StoredCalls().empty());
    EXPECT_EQ(view->allCount + view->missedCount + view->incomingCount + view->outgoingCount, 0);
    // The selected row and the last filled filter stay as they were.
    EXPECT_EQ(view->selectedRow, 1);
    EXPECT_EQ(view->lastFilledFilter, static_cast<unsigned>(ID_FILTER_ALLCALLS));
    Settle();
    EXPECT_EQ(List()->EmptyText(), u"No Calls in Call Log");
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    Settle();
    EXPECT_EQ(List()->EmptyText(), u"No Missed Calls in Call Log");
}

TEST_F(CallView, DeleteAllThatFailsPartWayKeepsEveryCallAndSaysSo) {
    Start(NineCalls());
    // The phone protects one call (the second, at 14:45): deleting it fails, and the calls deleted
    // before it come back, as Delete All is one transaction.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
    const std::string trigger = "CREATE TRIGGER keep BEFORE DELETE ON records WHEN old.start_time = " +
                                std::to_string(Utc(2026, 12, 9, 14, 45)) +
                                " BEGIN SELECT RAISE(ABORT, 'protected'); END";
    ASSERT_EQ(sqlite3_exec(db, trigger.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    std::vector<std::string> told;
    Phone()->SetMessageBoxObserver([&](ShellMessageBox& box) {
        told.push_back(box.Text().toStdString());
        box.Press(box.ButtonsType() == MB_YESNO ? IDYES : IDOK);
    });
    ChooseFromMenu(QStringLiteral("Delete All"));
    Phone()->SetMessageBoxObserver(nullptr);
    EXPECT_EQ(told, (std::vector<std::string>{"Permanently delete all calls?",
                                              "No call was deleted. The call log could not be read or changed."}));
    const std::vector<CallRecordData> kept = StoredCalls();
    ASSERT_EQ(kept.size(), 9u);
    // Every row stands for a call the store still holds, at its position, and nothing else.
    ASSERT_EQ(Rows().GetItemCount(), static_cast<int>(kept.size()));
    for (int row = 0; row < Rows().GetItemCount(); ++row) {
        const NVXCallEntry* entry = view->callList.EntryAt(static_cast<int>(Rows().GetItemData(row)));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(FileTimeValue(entry->startTime), kept[static_cast<size_t>(row)].startTime) << "row " << row;
    }
    EXPECT_EQ(view->allCount, static_cast<int>(kept.size()));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(CallView, UnderAFilterWithoutRowsCallDeleteAndDeleteAllAreDisabled) {
    std::vector<CallRecordData> calls = NineCalls();
    std::erase_if(calls, [](const CallRecordData& call) { return call.callType == kOutgoing; });
    Start(calls);
    EXPECT_TRUE(guitest::SoftKey(0)->isEnabled());
    EXPECT_TRUE(MenuItemEnabled(QStringLiteral("Delete All")));
    ChooseFromMenu(QStringLiteral("Outgoing Calls"), QStringLiteral("Filter"));
    Settle();
    EXPECT_FALSE(guitest::SoftKey(0)->isEnabled());
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Delete")));
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Delete All")));
    // The filters themselves are always offered.
    EXPECT_TRUE(MenuItemEnabled(QStringLiteral("Filter")));
}

TEST_F(CallView, CallIsDisabledForABlockedCallerWithoutANumberAndPlacesTheSelectedCall) {
    CallRecordData blocked = Call(Utc(2026, 12, 9, 14, 5), nullptr, nullptr, kMissed, 1);
    Start({blocked, Call(Utc(2026, 12, 9, 14, 4), u"2063861234", u"Grace Hopper", kIncoming)});
    EXPECT_FALSE(view->CanCall(0));
    EXPECT_TRUE(view->CanCall(1));
    EXPECT_FALSE(view->CanCall(-1));
    EXPECT_FALSE(guitest::SoftKey(0)->isEnabled());

    Key(Qt::Key_Down);
    Settle();
    ASSERT_TRUE(guitest::SoftKey(0)->isEnabled());
    ClearPlacedCalls();
    guitest::TapSoftKey(0);
    const std::vector<PlacedCall> placed = PlacedCalls();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].destination, u"(206) 386-1234");
    EXPECT_EQ(placed[0].calledParty, u"Grace Hopper");
    // Call leaves the list alone and only sets the row to select at the next fill.
    EXPECT_EQ(view->selectedRow, 0);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_F(CallView, TheSoftKeysArePressedWithF1AndF2AndTheMenuWorksFromTheKeyboard) {
    Start(NineCalls());
    QTest::keyClick(List(), Qt::Key_F2);
    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
    ASSERT_TRUE(menu != nullptr && menu->isVisible());
    // Down to Delete All, Down to Filter, Right into it, Down to Missed Calls, Enter.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right}) {
        QTest::keyClick(QApplication::activePopupWidget(), key);
    }
    QWidget* submenu = QApplication::activePopupWidget();
    ASSERT_NE(submenu, menu);
    QTest::keyClick(submenu, Qt::Key_Down);
    QTest::keyClick(submenu, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(view->filterMode, static_cast<unsigned>(ID_FILTER_MISSEDCALLS));

    // F2 opens the menu and F2 again closes it; Escape closes it too.
    QTest::keyClick(List(), Qt::Key_F2);
    ASSERT_TRUE(Phone()->SoftKeys()->OpenMenu()->isVisible());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(List(), Qt::Key_F2);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // F1 is Call.
    Settle();
    ClearPlacedCalls();
    QTest::keyClick(List(), Qt::Key_F1);
    EXPECT_EQ(PlacedCalls().size(), 1u);
}

TEST_F(CallView, ReleasingEndInTheListEndsTheProgram) {
    Start(NineCalls());
    QTest::keyPress(List(), Qt::Key_F4);
    QTest::keyRelease(List(), Qt::Key_F4);
    ASSERT_TRUE(guitest::RecordedExit().has_value());
    EXPECT_EQ(*guitest::RecordedExit(), 0);
}

} // namespace
