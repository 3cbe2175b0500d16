#pragma once

#include "platform/memory/pageallocator.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/rowtextpool.h"
#include "platform/ui/wndwidget.h"

#include <string>
#include <string_view>
#include <vector>

class CListView;
class QScrollBar;
class QScroller;

// The toolkit window of a list view: the rows and columns, painting through the owner's background
// and custom-draw handlers, a vertical scroll bar, taps, finger scrolling and the wheel. Rows are
// plain data, painted only while in view, so a list of 100,000 calls costs no widget per row. The
// list scrolls by the pixel: offset is how far its content is scrolled up. A row is a small record
// whose texts live in the list's text pool.
class ListControl : public WndWidget {
public:
    struct Row {
        // In the list's text pool (read them through RowTextPool); changed only through
        // SetRowText. Null is an empty text.
        RowTextPool::Text texts[2] = {nullptr, nullptr};
        uintptr_t data = 0;
        int image = -1;
        unsigned state = 0;
    };
    static_assert(sizeof(Row) == 32 || sizeof(void*) != 8, "a row stays small: 100,000 of them are held at once");

    static constexpr int kColumnCount = 2;
    static constexpr int kScrollBarWidth = 8;

    ListControl(CListView* owner, QWidget* parent);
    ~ListControl() override;

    QRect ClientRect() const override;

    // The list's own parts, read and written through CListCtrl.
    uint32_t style = 0;
    uint32_t extendedStyle = 0;
    uint32_t backgroundColour = 0xFFFFFF;
    uint32_t textBackgroundColour = 0xFFFFFF;
    CImageList* smallImages = nullptr;
    int columnCount = 0;
    int columnWidths[kColumnCount] = {};
    // In page memory: a fill of 100,000 rows grows the table to megabytes.
    std::vector<Row, PageAllocator<Row>> rows;

    const Row* RowAt(int row) const;
    Row* RowAt(int row);
    // A new row at index at (at most the row count) with column 0's text.
    void InsertRow(int at, std::u16string_view text, int image);
    void SetRowText(Row& row, int column, std::u16string_view text);
    // Every row goes; their room is kept for the rows of the refill that usually follows.
    void ClearRows();
    int RowHeight() const { return rowHeight; }
    // The topmost row at least partly in view.
    int TopIndex() const { return offset / rowHeight; }
    // Rows wholly in view where the list stands now.
    int CountPerPage() const;
    CRect RowBounds(int row) const;
    // Scrolls so that the row's top is the list's top (as far as the rows allow).
    void ScrollTo(int top);
    int Offset() const { return offset; }
    // How far the content scrolls: the last row's bottom at the client area's bottom.
    int MaxOffset() const;
    void ScrollToOffset(int pixels);
    // How far a press may move before it lifts and still be a tap; from there on it scrolls.
    static int TapDistance();
    // The kinetic scroller the list feeds with its presses.
    QScroller* Scroller() const { return scroller; }
    // Asks the owner again for the row height (owner-drawn rows) or takes the font's.
    void MeasureRows();
    // Rows were added or removed: the scroll bar, the picture and the screen reader follow soon.
    void RowsChanged();
    // Brings them up to date now, if rows changed since they were.
    void FinishRowsChange();
    // A row's states changed.
    void StateChanged(int row, unsigned oldState);
    // The list's own handling of a press and of keys the owner passed on. A press becomes a tap
    // (selection and notifications) only when it lifts without having scrolled.
    void HandlePress(CPoint point);
    void HandleKey(unsigned virtualKey);

    // The message written over the empty list at the last paint, for screen readers.
    const std::u16string& EmptyText() const { return emptyText; }
    // The row's text as a person reads it: its lines and parts joined by ", ".
    QString SpokenText(int row) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CListView* View() const;
    void UpdateScrollBar();
    void DrawRowDefault(CDC& dc, int row);
    void Tap(QPoint releasedAt);
    void UpdateScrollerDistance();
    // Tells a screen reader that other rows are in view, if they are since it was last told.
    void ReportScroll();
    // Copies the texts in use into a fresh pool, leaving the texts replaced since the last fill behind.
    void CompactTexts();

    QScrollBar* scrollBar;
    QScroller* scroller;
    int rowHeight = 16;
    int offset = 0;
    int reportedOffset = 0;
    // The press under way: where it went down, whether the owner let the list handle it, and
    // whether it can still be a tap (it has not moved the tap distance nor stopped a flick).
    bool pressDown = false;
    bool pressHandled = false;
    bool pressMayTap = false;
    QPoint pressedAt;
    bool rowsChangePending = false;
    std::u16string emptyText;
    RowTextPool rowTexts;
};
