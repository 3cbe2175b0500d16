// The list-view control on its own, with an owner of the test's own: what it asks its owner, what it
// paints, and how it holds 100,000 rows.
#include "tests/support/guitest.h"

#include "platform/ui/dc.h"
#include "platform/ui/listcontrol.h"
#include "platform/ui/listcontrolowner.h"
#include "platform/ui/listview.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

// An owner that answers 20-pixel rows, fills its background red and says it did not erase, and
// counts the custom-draw stages it is asked for.
class CountingView : public CListView {
public:
    void MeasureItem(MEASUREITEMSTRUCT* measure) override { measure->itemHeight = rowHeight; }
    bool OnEraseBkgnd(CDC* dc) override {
        CRect client;
        GetClientRect(client);
        dc->FillSolidRect(client, kRed);
        dc->GetClipBox(erased);
        return false;
    }
    void OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override {
        if (draw->nmcd.drawStage == CDDS_PREPAINT) {
            *result = CDRF_NOTIFYITEMDRAW;
            return;
        }
        rowsAsked.push_back(static_cast<int>(draw->nmcd.itemSpec));
        *result = CDRF_SKIPDEFAULT;
    }
    void OnClick(NMITEMACTIVATE* click, LRESULT*) override { clicks.push_back(click->item); }
    void OnListNotify(NMHDR* header, LRESULT*) override {
        if (header->code == NM_LISTPRESS) {
            ++presses;
        }
    }
    void GetSpokenText(int row, std::u16string& text) override {
        if (speaks) {
            text = u"row " + std::u16string(1, static_cast<char16_t>(u'0' + row));
        } else {
            CListView::GetSpokenText(row, text);
        }
    }

    bool speaks = false;

    unsigned rowHeight = 20;
    std::vector<int> rowsAsked;
    std::vector<int> clicks;
    int presses = 0;
    CRect erased;
};

class ListControlTest : public testing::Test {
protected:
    void SetUp() override {
        guitest::IgnoreOffscreenLimits();
        // On the phone's screen, shown, so that touches find it and repaints reach it.
        guitest::Phone()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(guitest::Phone()));
        // A view deletes itself when its window goes, as the framework makes views with new.
        view = new CountingView;
        ASSERT_TRUE(view->Create(nullptr, WS_VISIBLE, CRect{0, 0, 200, 200}, 0, u""));
        list().SetStyle(LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER);
        list().InsertColumn(0, u"", LVCFMT_IMAGE, 45);
        list().InsertColumn(1, u"", LVCFMT_LEFT, 155);
    }
    void TearDown() override { view->DestroyWindow(); }

    CListCtrl& list() { return view->GetListCtrl(); }
    // Paints the list whole; rowsAsked holds what that paint asked for.
    QImage Paint() {
        QApplication::processEvents();
        view->rowsAsked.clear();
        return list().Control()->grab().toImage();
    }
    ListControl* control() { return list().Control(); }
    QScroller* scroller() { return control()->Scroller(); }
    // Waits until a flick has run its course.
    bool AtRest() {
        return QTest::qWaitFor([this] { return scroller()->state() == QScroller::Inactive; }, 15000);
    }
    // A stylus drag up the list by distance pixels, in steps of step pixels gap milliseconds apart
    // (on the events' own clock), held still for hold milliseconds before it lifts.
    QPoint DragUp(QPoint from, int distance, int step, int gap, int hold) {
        QTest::mousePress(control(), Qt::LeftButton, Qt::NoModifier, from);
        QPoint at = from;
        for (int moved = 0; moved < distance;) {
            const int next = std::min(step, distance - moved);
            moved += next;
            at.ry() -= next;
            QTest::mouseMove(control(), at, gap);
        }
        QTest::mouseRelease(control(), Qt::LeftButton, Qt::NoModifier, at, hold);
        return at;
    }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int row = list().GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list().GetNextItem(row, LVNI_SELECTED)) {
            rows.push_back(row);
        }
        return rows;
    }
    void AddRows(int count) {
        for (int row = 0; row < count; ++row) {
            const int at = list().InsertItem(row, u"", 0);
            list().SetItemText(at, 1, u"Ada|12:04\n(206) 386-1234");
            list().SetItemData(at, static_cast<uintptr_t>(row) * 2);
        }
    }

    CountingView* view = nullptr;
};

TEST_F(ListControlTest, ANewFontOrWindowChangeAsksTheOwnerForTheRowHeightAgain) {
    EXPECT_EQ(list().RowHeight(), 20);
    view->rowHeight = 33;
    EXPECT_EQ(list().RowHeight(), 20) << "asked only when something changed";
    WINDOWPOS position;
    view->OnWindowPosChanged(&position);
    EXPECT_EQ(list().RowHeight(), 33);
    // However the owner answers, a row keeps at least one pixel.
    view->rowHeight = 0;
    view->OnWindowPosChanged(&position);
    EXPECT_EQ(list().RowHeight(), 1);
}

TEST_F(ListControlTest, OnlyTheRowsInViewArePaintedOfAHundredThousand) {
    AddRows(100000);
    EXPECT_EQ(list().GetItemCount(), 100000);
    EXPECT_EQ(list().GetItemData(99999), 199998u);
    Paint();
    ASSERT_FALSE(view->rowsAsked.empty());
    EXPECT_EQ(view->rowsAsked.front(), 0);
    EXPECT_LE(view->rowsAsked.size(), 200u / 20 + 2);

    view->rowsAsked.clear();
    ASSERT_TRUE(list().EnsureVisible(50000, false));
    Paint();
    ASSERT_FALSE(view->rowsAsked.empty());
    EXPECT_LE(view->rowsAsked.front(), 50000);
    EXPECT_GE(view->rowsAsked.back(), 50000);
    EXPECT_LE(view->rowsAsked.size(), 200u / 20 + 2);
    CRect bounds;
    ASSERT_TRUE(list().GetItemRect(50000, &bounds, LVIR_BOUNDS));
    EXPECT_GE(bounds.top, 0);
    EXPECT_LE(bounds.bottom, 200);
    EXPECT_EQ(list().HitTest(CPoint{100, bounds.top + 1}), 50000);

    EXPECT_TRUE(list().DeleteAllItems());
    EXPECT_EQ(list().GetItemCount(), 0);
    EXPECT_EQ(list().GetTopIndex(), 0);
}

TEST_F(ListControlTest, TheOwnersBackgroundStaysWhateverItsHandlerAnswers) {
    AddRows(2);
    const QImage screen = Paint();
    // Below the two rows, where the owner drew nothing else, its red fill is what shows.
    EXPECT_EQ(QColor(screen.pixel(100, 150)), QColor(Qt::red));
}

TEST_F(ListControlTest, StatesChangeOneRowAtATimeAndATapLeavesOnlyTheTappedRowSelected) {
    AddRows(5);
    list().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list().SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list().GetItemState(1, LVIS_SELECTED), static_cast<unsigned>(LVIS_SELECTED));
    EXPECT_EQ(list().GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list().GetNextItem(1, LVNI_SELECTED), 3);
    EXPECT_EQ(list().GetItemState(3, LVIS_FOCUSED), static_cast<unsigned>(LVIS_FOCUSED));

    QTest::mouseClick(list().Control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 2 * 20 + 5));
    EXPECT_EQ(view->clicks, std::vector<int>{2});
    EXPECT_EQ(list().GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list().GetNextItem(2, LVNI_SELECTED), -1);
    // The focus goes with the tap.
    EXPECT_EQ(list().GetItemState(2, LVIS_FOCUSED), static_cast<unsigned>(LVIS_FOCUSED));
    EXPECT_EQ(list().GetItemState(3, LVIS_FOCUSED), 0u);

    // A tap below the rows selects none and tells the owner -1.
    QTest::mouseClick(list().Control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
    EXPECT_EQ(view->clicks, (std::vector<int>{2, -1}));
    EXPECT_EQ(list().GetNextItem(-1, LVNI_SELECTED), -1);
}

TEST_F(ListControlTest, TheSingleSelectionStyleKeepsAtMostOneRowSelected) {
    AddRows(5);
    const auto selected = [this] {
        std::vector<int> rows;
        for (int row = list().GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list().GetNextItem(row, LVNI_SELECTED)) {
            rows.push_back(row);
        }
        return rows;
    };
    // Without the style, rows are selected one by one and stay so.
    list().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list().SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(selected(), (std::vector<int>{1, 3}));

    list().SetStyle(LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER);
    list().SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(selected(), std::vector<int>{4});
    // The other row keeps its focus; only the selection moves.
    EXPECT_EQ(list().GetItemState(3, LVIS_FOCUSED), static_cast<unsigned>(LVIS_FOCUSED));
    // Clearing or focusing a row leaves the selection where it is.
    list().SetItemState(2, LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list().SetItemState(0, 0, LVIS_SELECTED);
    EXPECT_EQ(selected(), std::vector<int>{4});
    // A row past the end selects nothing and takes nothing away.
    EXPECT_FALSE(list().SetItemState(5, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(selected(), std::vector<int>{4});
}

TEST_F(ListControlTest, TheOwnerSaysWhatARowReadsAndTheListParsesNothing) {
    AddRows(3);
    // Without an answer of its own the owner gives the row's texts as they stand.
    EXPECT_EQ(list().Control()->SpokenText(1), QStringLiteral("Ada|12:04\n(206) 386-1234"));
    view->speaks = true;
    EXPECT_EQ(list().Control()->SpokenText(2), QStringLiteral("row 2"));
    EXPECT_EQ(list().Control()->SpokenText(3), QString()) << "no row there";
}

TEST_F(ListControlTest, ItemTextIsCutToTheCallersBufferAndRowsPastTheEndGoToTheEnd) {
    EXPECT_EQ(list().InsertItem(7, u"first", 2), 0);
    EXPECT_EQ(list().InsertItem(0, u"second", 1), 0);
    EXPECT_EQ(list().GetItemText(1, 0), u"first");
    char16_t buffer[4];
    EXPECT_EQ(list().GetItemText(0, 0, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"sec");
    EXPECT_EQ(list().GetItemText(5, 0, buffer, 4), 0);
    EXPECT_EQ(buffer[0], u'\0');
    LVITEM item;
    item.mask = LVIF_IMAGE;
    item.item = 1;
    ASSERT_TRUE(list().GetItem(&item));
    EXPECT_EQ(item.image, 2);
    item.item = 2;
    EXPECT_FALSE(list().GetItem(&item));
}

TEST_F(ListControlTest, ASlowDragFollowsTheStylusByThePixelAndIsNoTap) {
    AddRows(100);
    Paint();
    list().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    // Down, then up by 73 pixels in 5-pixel steps 40 ms apart; the finger comes to rest before the lift.
    QTest::mousePress(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
    QPoint at(100, 150);
    const int distance = ListControl::TapDistance();
    for (int moved = 5; moved <= 70; moved += 5) {
        at.setY(150 - moved);
        QTest::mouseMove(control(), at, 40);
        // From the tap distance on, the list follows the finger as it goes, not only once it lifts.
        const int expected = moved >= distance ? moved : 0;
        ASSERT_TRUE(QTest::qWaitFor([&] { return control()->Offset() == expected; }, 5000)) << moved;
    }
    at.setY(150 - 73);
    QTest::mouseMove(control(), at, 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control()->Offset() == 73; }, 5000));
    QTest::mouseRelease(control(), Qt::LeftButton, Qt::NoModifier, at, 300);
    ASSERT_TRUE(AtRest());
    QApplication::processEvents();
    EXPECT_EQ(control()->Offset(), 73);
    EXPECT_EQ(control()->findChild<QScrollBar*>()->value(), 73);
    // Nothing selected, told or opened: the owner heard only the press.
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(view->presses, 0);
    EXPECT_TRUE(view->clicks.empty());
}

TEST_F(ListControlTest, UnderAPixelOffsetRowsHitTestsCountsAndTheScreenReaderStayTrue) {
    AddRows(100);
    Paint();
    control()->ScrollToOffset(73);
    // Row 3 shows its bottom 7 pixels at the top; rows 4 to 12 show whole; row 13 shows in part.
    EXPECT_EQ(list().GetTopIndex(), 3);
    EXPECT_EQ(list().GetCountPerPage(), 9);
    CRect bounds;
    ASSERT_TRUE(list().GetItemRect(3, &bounds, LVIR_BOUNDS));
    EXPECT_EQ(bounds.top, -13);
    EXPECT_EQ(bounds.bottom, 7);
    ASSERT_TRUE(list().GetItemRect(4, &bounds, LVIR_ICON));
    EXPECT_EQ(bounds.top, 7 + 2) << "the icon sits 2 pixels below its row's top";
    EXPECT_EQ(list().HitTest(CPoint{100, 6}), 3);
    EXPECT_EQ(list().HitTest(CPoint{100, 7}), 4);
    EXPECT_EQ(list().HitTest(CPoint{100, 199}), 13);

    // Only the rows in view are painted, the partly shown ones at both ends too.
    view->rowsAsked.clear();
    Paint();
    ASSERT_FALSE(view->rowsAsked.empty());
    EXPECT_EQ(view->rowsAsked.front(), 3);
    EXPECT_EQ(view->rowsAsked.back(), 13);

    // The screen reader shows the rows in part or whole, and no other.
    QAccessibleInterface* listInterface = QAccessible::queryAccessibleInterface(control());
    ASSERT_NE(listInterface, nullptr);
    for (int row : {2, 3, 13, 14}) {
        QAccessibleInterface* rowInterface = listInterface->child(row);
        ASSERT_NE(rowInterface, nullptr);
        EXPECT_EQ(rowInterface->state().invisible, row == 2 || row == 14) << row;
    }

    // A row partly above the top scrolls down to show whole; one partly below by whole rows up.
    ASSERT_TRUE(list().EnsureVisible(3, false));
    EXPECT_EQ(control()->Offset(), 60);
    control()->ScrollToOffset(73);
    ASSERT_TRUE(list().EnsureVisible(13, true));
    EXPECT_EQ(control()->Offset(), 73) << "shows in part, and the caller allows it";
    ASSERT_TRUE(list().EnsureVisible(13, false));
    EXPECT_EQ(control()->Offset(), 80);
    ASSERT_TRUE(list().GetItemRect(13, &bounds, LVIR_BOUNDS));
    EXPECT_EQ(bounds.bottom, 200);

    // The wheel goes by three rows a notch; the scroll bar and Page Down move the list too.
    QWheelEvent notch(QPointF(100, 100), control()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(control(), &notch);
    EXPECT_EQ(control()->Offset(), 140);
    control()->findChild<QScrollBar*>()->setValue(1001);
    EXPECT_EQ(control()->Offset(), 1001);
    EXPECT_EQ(list().GetTopIndex(), 50);
    view->OnKeyDown(0x22, 1, 0);
    EXPECT_EQ(list().GetTopIndex(), 50 + 9);
    EXPECT_EQ(control()->Offset(), 59 * 20);
    // At the end the last row's bottom is the list's bottom.
    control()->ScrollToOffset(1000000);
    EXPECT_EQ(control()->Offset(), 100 * 20 - 200);
}

TEST_F(ListControlTest, AFastFlickRunsOnAfterTheLiftAndStopsAtTheLastRow) {
    AddRows(200);
    Paint();
    // 60 pixels in 3 ms, lifted at once.
    DragUp(QPoint(100, 180), 60, 20, 1, 1);
    EXPECT_EQ(scroller()->state(), QScroller::Scrolling);
    ASSERT_TRUE(AtRest());
    EXPECT_EQ(control()->Offset(), control()->MaxOffset());
    CRect last;
    ASSERT_TRUE(list().GetItemRect(199, &last, LVIR_BOUNDS));
    EXPECT_EQ(last.bottom, 200);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(view->presses, 0);
    EXPECT_TRUE(view->clicks.empty());
}

TEST_F(ListControlTest, ATapDuringAFlickStopsItWithoutSelectingAndTheNextTapSelects) {
    AddRows(100000);
    Paint();
    DragUp(QPoint(100, 180), 60, 20, 1, 1);
    ASSERT_EQ(scroller()->state(), QScroller::Scrolling);
    ASSERT_TRUE(QTest::qWaitFor([this] { return control()->Offset() > 200; }, 5000));
    QTest::mouseClick(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(scroller()->state(), QScroller::Inactive);
    const int stoppedAt = control()->Offset();
    QApplication::processEvents();
    EXPECT_EQ(control()->Offset(), stoppedAt);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(view->presses, 0);
    EXPECT_TRUE(view->clicks.empty());

    // At rest, a tap selects the row under it wherever the list stands.
    const int row = list().HitTest(CPoint{100, 100});
    EXPECT_EQ(row, (stoppedAt + 100) / 20);
    QTest::mouseClick(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(Selected(), std::vector<int>{row});
    EXPECT_EQ(view->presses, 1);
    EXPECT_EQ(view->clicks, std::vector<int>{row});
}

TEST_F(ListControlTest, ATapAsAFlickSlowsToItsEndStopsItWithoutSelecting) {
    AddRows(100000);
    Paint();
    DragUp(QPoint(100, 180), 60, 20, 1, 1);
    ASSERT_EQ(scroller()->state(), QScroller::Scrolling);
    // Slow enough that the scroller lets the press through instead of taking it as a drag.
    const qreal slow =
        scroller()->scrollerProperties().scrollMetric(QScrollerProperties::MaximumClickThroughVelocity).toReal() / 2;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return scroller()->state() == QScroller::Scrolling && std::abs(scroller()->velocity().y()) < slow; },
        15000));
    QTest::mouseClick(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(scroller()->state(), QScroller::Inactive);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(view->presses, 0);
    EXPECT_TRUE(view->clicks.empty());
}

TEST_F(ListControlTest, OneDistanceTellsATapFromAScroll) {
    AddRows(100);
    Paint();
    const int distance = ListControl::TapDistance();
    ASSERT_GT(distance, 1);
    // Short of the distance, up or across, the press is a tap on the row it went down on.
    QTest::mousePress(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    QTest::mouseMove(control(), QPoint(100, 50 - (distance - 1)), 50);
    QTest::mouseRelease(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 50 - (distance - 1)), 50);
    ASSERT_TRUE(AtRest());
    EXPECT_EQ(control()->Offset(), 0);
    EXPECT_EQ(view->clicks, std::vector<int>{2});
    EXPECT_EQ(Selected(), std::vector<int>{2});

    // At the distance it is a scroll: the list follows it and nothing is selected or told.
    QTest::mousePress(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 110));
    QTest::mouseMove(control(), QPoint(100, 110 - distance), 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control()->Offset() == distance; }, 5000));
    QTest::mouseRelease(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 110 - distance), 300);
    ASSERT_TRUE(AtRest());
    EXPECT_EQ(control()->Offset(), distance);
    // Across, where the list cannot scroll, it moves nothing and is no tap either.
    QTest::mousePress(control(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 110));
    QTest::mouseMove(control(), QPoint(60 + distance, 110), 50);
    QTest::mouseRelease(control(), Qt::LeftButton, Qt::NoModifier, QPoint(60 + distance, 110), 300);
    ASSERT_TRUE(AtRest());
    EXPECT_EQ(control()->Offset(), distance);
    EXPECT_EQ(view->clicks, std::vector<int>{2});
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(view->presses, 1);

    // Lifted the distance away with no move reported between: no tap either.
    QTest::mousePress(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 150));
    QTest::mouseRelease(control(), Qt::LeftButton, Qt::NoModifier, QPoint(100 + distance, 150), 300);
    ASSERT_TRUE(AtRest());
    EXPECT_EQ(view->clicks, std::vector<int>{2});
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(view->presses, 1);
}

TEST_F(ListControlTest, AFingerOnTheTouchScreenScrollsAndTapsAsTheStylusDoes) {
    AddRows(100);
    Paint();
    // A touch screen of the test's own, gone with the test.
    const std::unique_ptr<QPointingDevice> screen(QTest::createTouchDevice());
    QTest::touchEvent(control(), screen.get()).press(0, QPoint(100, 150));
    for (int moved = 10; moved <= 80; moved += 10) {
        QTest::touchEvent(control(), screen.get()).move(0, QPoint(100, 150 - moved));
        ASSERT_TRUE(QTest::qWaitFor([&] { return control()->Offset() == moved; }, 5000)) << moved;
    }
    QTest::touchEvent(control(), screen.get()).release(0, QPoint(100, 70));
    ASSERT_TRUE(AtRest());
    EXPECT_GE(control()->Offset(), 80);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(view->presses, 0);
    EXPECT_TRUE(view->clicks.empty());

    // A finger lifted where it went down taps the row under it.
    const int row = list().HitTest(CPoint{100, 30});
    QTest::touchEvent(control(), screen.get()).press(0, QPoint(100, 30));
    QTest::touchEvent(control(), screen.get()).release(0, QPoint(100, 30));
    QApplication::processEvents();
    EXPECT_EQ(Selected(), std::vector<int>{row});
    EXPECT_EQ(view->presses, 1);
    EXPECT_EQ(view->clicks, std::vector<int>{row});
}

TEST_F(ListControlTest, ARepaintOfOneRowErasesAndDrawsThatRowAlone) {
    AddRows(100000);
    Paint();
    control()->ScrollToOffset(50000 * 20 + 7);
    Paint();
    view->rowsAsked.clear();
    list().SetItemState(50003, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !view->rowsAsked.empty(); }, 5000));
    EXPECT_EQ(view->rowsAsked, std::vector<int>{50003});
    CRect bounds;
    ASSERT_TRUE(list().GetItemRect(50003, &bounds, LVIR_BOUNDS));
    EXPECT_EQ(view->erased.top, bounds.top);
    EXPECT_EQ(view->erased.bottom, bounds.bottom);
}

// A text of its own for every row and round, so that a text read back from the wrong place shows.
std::u16string TextOf(int row, int round) {
    const std::string text =
        "call " + std::to_string(row) + " round " + std::to_string(round) + "|12:04\n(206) 386-1234";
    return std::u16string(text.begin(), text.end());
}

TEST_F(ListControlTest, TextsStayWithTheirRowsThroughInsertsInTheMiddleAndManyReplacements) {
    constexpr int kRows = 2000;
    for (int row = 0; row < kRows; ++row) {
        list().InsertItem(row, u"", 0);
        list().SetItemText(row, 1, TextOf(row, 0).c_str());
    }
    // Rows put in the middle and at the top move the others down with their texts.
    list().InsertItem(1000, u"middle", 1);
    list().InsertItem(0, u"top", 1);
    ASSERT_EQ(list().GetItemCount(), kRows + 2);
    EXPECT_EQ(list().GetItemText(0, 0), u"top");
    EXPECT_EQ(list().GetItemText(1001, 0), u"middle");
    EXPECT_EQ(list().GetItemText(1001, 1), u"");
    EXPECT_EQ(list().GetItemText(1000, 1), TextOf(999, 0));
    EXPECT_EQ(list().GetItemText(1002, 1), TextOf(1000, 0));

    // Replacing every other row's text again and again leaves far more old text behind than in use,
    // which the list gives back while the rows keep their newest texts.
    const RowTextPool::Text keptBefore = control()->TextOf(1, 1);
    for (int round = 1; round <= 20; ++round) {
        for (int row = 0; row < kRows + 2; row += 2) {
            ASSERT_TRUE(list().SetItemText(row, 1, TextOf(row, round).c_str()));
        }
    }
    EXPECT_NE(control()->TextOf(1, 1), keptBefore) << "the texts in use were moved together";
    for (int row = 0; row < kRows + 2; ++row) {
        const int original = row == 0 ? -1 : row <= 1000 ? row - 1 : row - 2;
        const std::u16string expected = row % 2 == 0  ? TextOf(row, 20)
                                        : row == 1001 ? std::u16string()
                                                      : TextOf(original, 0);
        ASSERT_EQ(list().GetItemText(row, 1), expected) << "row " << row;
    }
    EXPECT_EQ(list().GetItemText(0, 0), u"top");
    EXPECT_EQ(list().GetItemText(1001, 0), u"middle");
    EXPECT_EQ(list().Control()->SpokenText(1001), QStringLiteral("middle"));
    EXPECT_EQ(list().Control()->SpokenText(2), QString::fromStdU16String(TextOf(2, 20)));
}

TEST_F(ListControlTest, TextsLongerThanABlockOfTheListsTextsReadBackWholeAndCut) {
    AddRows(3);
    std::u16string longText(100000, u'x');
    longText.front() = u'<';
    longText.back() = u'>';
    ASSERT_TRUE(list().SetItemText(1, 1, longText.c_str()));
    EXPECT_EQ(list().GetItemText(1, 1), longText);
    EXPECT_EQ(list().GetItemText(0, 1), u"Ada|12:04\n(206) 386-1234");
    EXPECT_EQ(list().GetItemText(2, 1), u"Ada|12:04\n(206) 386-1234");

    // The caller's buffer takes what fits and a terminator, never more.
    std::vector<char16_t> buffer(100002, u'#');
    EXPECT_EQ(list().GetItemText(1, 1, buffer.data(), 100001), 100000);
    EXPECT_EQ(buffer[99999], u'>');
    EXPECT_EQ(buffer[100000], u'\0');
    EXPECT_EQ(buffer[100001], u'#');
    EXPECT_EQ(list().GetItemText(1, 1, buffer.data(), 100000), 99999);
    EXPECT_EQ(buffer[99998], u'x');
    EXPECT_EQ(buffer[99999], u'\0');
    char16_t small[5] = {u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(list().GetItemText(0, 1, small, 4), 3);
    EXPECT_EQ(std::u16string(small), u"Ada");
    EXPECT_EQ(small[4], u'#');
    EXPECT_EQ(list().GetItemText(0, 1, small, 1), 0);
    EXPECT_EQ(small[0], u'\0');

    // A long text replaced by a short one and the other way round.
    ASSERT_TRUE(list().SetItemText(1, 1, u"short"));
    EXPECT_EQ(list().GetItemText(1, 1), u"short");
    ASSERT_TRUE(list().SetItemText(2, 0, longText.c_str()));
    EXPECT_EQ(list().GetItemText(2, 0), longText);
    ASSERT_TRUE(list().SetItemText(2, 0, nullptr));
    EXPECT_EQ(list().GetItemText(2, 0), u"");
    EXPECT_FALSE(list().SetItemText(3, 1, u"no row there"));
    EXPECT_FALSE(list().SetItemText(0, 2, u"no column there"));
}

TEST_F(ListControlTest, TextsBeyondLatin1ReadBackWholeBesideNarrowOnes) {
    AddRows(4);
    // Kept two bytes a character: characters past U+00FF, and a text mixing both kinds.
    const std::u16string wide = u"\u0141ukasz \u5f20\u4f1f|9:41\n+48 22 555 0100";
    const std::u16string edge = u"Zo\u00eb \u00ff|\u0100";
    const std::u16string surrogates = u"\U0001F4DE call";
    ASSERT_TRUE(list().SetItemText(0, 1, wide.c_str()));
    ASSERT_TRUE(list().SetItemText(1, 1, edge.c_str()));
    ASSERT_TRUE(list().SetItemText(2, 1, surrogates.c_str()));
    ASSERT_TRUE(list().SetItemText(3, 1, u"Zo\u00eb|12:04"));
    EXPECT_EQ(list().GetItemText(0, 1), wide);
    EXPECT_EQ(list().GetItemText(1, 1), edge);
    EXPECT_EQ(list().GetItemText(2, 1), surrogates);
    EXPECT_EQ(list().GetItemText(3, 1), u"Zo\u00eb|12:04");
    char16_t cut[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(list().GetItemText(0, 1, cut, 3), 2);
    EXPECT_EQ(std::u16string(cut), u"\u0141u");
    EXPECT_EQ(list().Control()->SpokenText(0), QString::fromStdU16String(wide));
}

TEST_F(ListControlTest, ARefillWritesItsTextsWhereTheLastFillsTextsWere) {
    constexpr int kRows = 5000;
    std::vector<RowTextPool::Text> firstPlaces;
    for (int fill = 0; fill < 10; ++fill) {
        ASSERT_TRUE(list().DeleteAllItems());
        EXPECT_EQ(list().GetItemCount(), 0);
        for (int row = 0; row < kRows; ++row) {
            list().InsertItem(row, u"", 0);
            list().SetItemText(row, 1, TextOf(row, fill).c_str());
            list().SetItemData(row, static_cast<uintptr_t>(row + fill));
        }
        std::vector<RowTextPool::Text> places;
        for (int row = 0; row < kRows; row += 500) {
            places.push_back(control()->TextOf(row, 1));
        }
        if (fill == 0) {
            firstPlaces = places;
        }
        // Texts of one length land where the first fill's did: the memory is reused, not taken anew.
        EXPECT_EQ(places, firstPlaces) << "fill " << fill;
        EXPECT_EQ(list().GetItemText(kRows - 1, 1), TextOf(kRows - 1, fill));
        EXPECT_EQ(list().GetItemData(kRows - 1), static_cast<uintptr_t>(kRows - 1 + fill));
    }
    // A smaller fill after a large one keeps its texts right.
    list().DeleteAllItems();
    AddRows(2);
    EXPECT_EQ(list().GetItemText(1, 1), u"Ada|12:04\n(206) 386-1234");
    EXPECT_EQ(list().GetItemText(2, 1), u"");
    list().DeleteAllItems();
    AddRows(3);
    EXPECT_EQ(list().GetItemText(2, 1), u"Ada|12:04\n(206) 386-1234");
}

// A window of the test's own that is no list view: it owns a list through the owner interface alone,
// lets the list handle its presses, and records what the list asked and told it.
class BareListOwner : public CWnd, public ListControlOwner {
public:
    void MeasureItem(MEASUREITEMSTRUCT* measure) override {
        measuredFor = measure->ctlId;
        measure->itemHeight = 25;
    }
    void OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override {
        heard.push_back(draw->nmcd.hdr);
        *result = CDRF_DODEFAULT;
    }
    void OnClick(NMITEMACTIVATE* click, LRESULT*) override {
        heard.push_back(click->hdr);
        clicked = click->item;
    }
    void OnListNotify(NMHDR* header, LRESULT*) override { heard.push_back(*header); }
    void GetSpokenText(int row, std::u16string& text) override { text = u"owner's row " + list.GetItemText(row, 0); }
    void OnLButtonDown(unsigned, CPoint point) override { list.Control()->HandlePress(point); }

    CListCtrl list;
    unsigned measuredFor = 0;
    std::vector<NMHDR> heard;
    int clicked = -2;

protected:
    WndWidget* CreateWidget(QWidget* parent) override {
        auto* control = new ListControl(this, this, parent);
        list = CListCtrl(control);
        return control;
    }
};

// The codes the owner heard that came from owner's window under its id, in order; others as 0.
std::vector<int> CodesFrom(const BareListOwner& owner, unsigned id) {
    std::vector<int> codes;
    for (const NMHDR& header : owner.heard) {
        codes.push_back(header.from == &owner && header.idFrom == id ? header.code : 0);
    }
    return codes;
}

TEST(ListControlOwner, AWindowThatIsNoListViewOwnsAListAndHearsItFromItsOwnWindow) {
    guitest::IgnoreOffscreenLimits();
    guitest::Phone()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(guitest::Phone()));
    BareListOwner owner;
    ASSERT_TRUE(owner.Create(nullptr, WS_VISIBLE, CRect{0, 0, 200, 200}, 7, u""));
    CListCtrl& list = owner.list;
    list.SetStyle(LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED);
    EXPECT_EQ(list.RowHeight(), 25);
    EXPECT_EQ(owner.measuredFor, 7u);
    list.InsertColumn(0, u"", LVCFMT_IMAGE, 45);
    list.InsertColumn(1, u"", LVCFMT_LEFT, 155);
    for (const char16_t* text : {u"zero", u"one", u"two"}) {
        list.InsertItem(list.GetItemCount(), text, 0);
    }
    EXPECT_EQ(list.Control()->SpokenText(1), QStringLiteral("owner's row one"));

    QApplication::processEvents();
    list.Control()->grab();
    ASSERT_FALSE(owner.heard.empty());
    EXPECT_EQ(CodesFrom(owner, 7), std::vector<int>(owner.heard.size(), NM_CUSTOMDRAW));

    owner.heard.clear();
    QTest::mouseClick(list.Control(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 25 + 5));
    EXPECT_EQ(CodesFrom(owner, 7), (std::vector<int>{NM_LISTPRESS, NM_CLICK}));
    EXPECT_EQ(owner.clicked, 1);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(list.GetItemState(1, LVIS_FOCUSED), static_cast<unsigned>(LVIS_FOCUSED));
    owner.DestroyWindow();
}

TEST(ListCtrlWithoutAWindow, ReadsAsAnEmptyListAndTakesNothing) {
    CListCtrl none;
    none.SetStyle(LVS_REPORT);
    EXPECT_EQ(none.GetStyle(), 0u);
    none.SetBkColor(RGB(1, 2, 3));
    EXPECT_EQ(none.GetBkColor(), 0xFFFFFFu);
    EXPECT_EQ(none.InsertColumn(0, u"", LVCFMT_LEFT, 10), -1);
    EXPECT_EQ(none.InsertItem(0, u"row", 0), -1);
    EXPECT_FALSE(none.SetItemText(0, 0, u"row"));
    EXPECT_FALSE(none.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(none.GetItemCount(), 0);
    EXPECT_EQ(none.GetNextItem(-1, LVNI_ALL), -1);
    EXPECT_EQ(none.GetItemText(0, 0), u"");
    // The caller's buffer still gets its terminator, and nothing past it.
    char16_t buffer[3] = {u'#', u'#', u'#'};
    EXPECT_EQ(none.GetItemText(0, 0, buffer, 3), 0);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[1], u'#');
    LVITEM item;
    EXPECT_FALSE(none.GetItem(&item));
    CRect rect;
    EXPECT_FALSE(none.GetItemRect(0, &rect, LVIR_BOUNDS));
    EXPECT_FALSE(none.EnsureVisible(0, false));
    EXPECT_EQ(none.HitTest(CPoint{1, 1}), -1);
    EXPECT_FALSE(none.DeleteAllItems());
}

TEST_F(ListControlTest, RequestsWithoutAPlaceForTheAnswerAreRefused) {
    AddRows(1);
    EXPECT_FALSE(list().GetItem(nullptr));
    EXPECT_FALSE(list().GetItemRect(0, nullptr, LVIR_BOUNDS));
    EXPECT_EQ(list().GetItemText(0, 1, nullptr, 4), 0);
    char16_t untouched[2] = {u'#', u'#'};
    EXPECT_EQ(list().GetItemText(0, 1, untouched, 0), 0);
    EXPECT_EQ(untouched[0], u'#');
    CRect rect;
    EXPECT_FALSE(list().GetSubItemRect(0, 2, LVIR_BOUNDS, rect)) << "no third column";
    ASSERT_TRUE(list().GetSubItemRect(0, 1, LVIR_BOUNDS, rect));
    EXPECT_EQ(rect.left, 45);
    EXPECT_EQ(rect.right, 200);
}

} // namespace
