// The list-view control on its own, with an owner of the test's own: what it asks its owner, what it
// paints, and how it holds 100,000 rows.
#include "tests/support/guitest.h"

#include "platform/ui/dc.h"
#include "platform/ui/listcontrol.h"
#include "platform/ui/listview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

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
};

class ListControlTest : public testing::Test {
protected:
    void SetUp() override {
        guitest::IgnoreOffscreenLimits();
        // A view deletes itself when its window goes, as the framework makes views with new.
        view = new CountingView;
        ASSERT_TRUE(view->Create(nullptr, WS_VISIBLE, CRect{0, 0, 200, 200}, 0, u""));
        list().SetStyle(LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER);
        list().InsertColumn(0, u"", LVCFMT_IMAGE, 45);
        list().InsertColumn(1, u"", LVCFMT_LEFT, 155);
    }
    void TearDown() override { view->DestroyWindow(); }

    CListCtrl& list() { return view->GetListCtrl(); }
    QImage Paint() {
        QApplication::processEvents();
        return list().Control()->grab().toImage();
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

} // namespace
