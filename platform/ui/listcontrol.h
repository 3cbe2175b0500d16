#pragma once

#include "platform/memory/pageallocator.h"
#include "platform/ui/listnotify.h"
#include "platform/ui/rowtextpool.h"
#include "platform/ui/wndwidget.h"

#include <string>
#include <string_view>
#include <vector>

class CImageList;
class ListControlOwner;
class QScrollBar;
class QScroller;

// The toolkit window of a list view: the rows and columns, painting through the owner's background
// and custom-draw handlers, a vertical scroll bar, taps, finger scrolling and the wheel. Rows are
// plain data, painted only while in view, so a list of 100,000 calls costs no widget per row. The
// list scrolls by the pixel: offset is how far its content is scrolled up. A row is a small record
// whose texts live in the list's text pool. All of its state is its own: CListCtrl only forwards.
class ListControl : public WndWidget {
public:
    static constexpr int kColumnCount = 2;
    static constexpr int kScrollBarWidth = 8;

    // window gets the list's window messages; owner, the same object, the list's requests and
    // notifications, both only while the window is attached.
    ListControl(CWnd* window, ListControlOwner* owner, QWidget* parent);
    ~ListControl() override;

    QRect ClientRect() const override;

    // The list's style bits (report, single selection, owner-drawn fixed rows, no header).
    void SetStyle(uint32_t bits);
    uint32_t Style() const { return style; }
    void SetExtendedStyle(uint32_t bits);
    uint32_t ExtendedStyle() const { return extendedStyle; }
    void SetBackgroundColour(uint32_t colour);
    uint32_t BackgroundColour() const { return backgroundColour; }
    void SetTextBackgroundColour(uint32_t colour);
    uint32_t TextBackgroundColour() const { return textBackgroundColour; }
    // The images of the rows' icons; the list only refers to them.
    void SetSmallImages(CImageList* images);
    CImageList* SmallImages() const { return smallImages; }

    // A column of width pixels at index column or, past the last, after it. Returns its index, or -1.
    int InsertColumn(int column, int width);
    bool SetColumnWidth(int column, int width);
    // The column's width; 0 for no column.
    int ColumnWidth(int column) const;

    int RowCount() const { return static_cast<int>(rows.size()); }
    bool HasRow(int row) const { return row >= 0 && row < RowCount(); }
    // A new row at index, or at the end past it, with column 0's text. Returns its index, or -1.
    int InsertRow(int index, std::u16string_view text, int image);
    bool SetRowText(int row, int column, std::u16string_view text);
    // Where the row's text lives in the list's text pool (null for an empty text or no row); read it
    // through RowTextPool. Valid until the row's text changes or the rows go.
    RowTextPool::Text TextOf(int row, int column) const;
    std::u16string RowText(int row, int column) const;
    // Copies a text of the pool into out, cut to capacity characters with its terminator; its
    // length. Nothing is written to a null out or for a capacity under 1.
    static int CopyText(RowTextPool::Text text, char16_t* out, int capacity);
    bool SetRowData(int row, uintptr_t data);
    uintptr_t RowData(int row) const;
    // Reads the parts of the row that item.mask names (text is not read back this way).
    bool ReadRow(LVITEM* item) const;
    // Changes the states of mask to state, for this row only (in the single-selection style a row
    // that becomes selected takes the selection from the others).
    bool SetRowState(int row, unsigned state, unsigned mask);
    unsigned RowState(int row, unsigned mask) const;
    // The next row after start (-1: from the top) with every state of flags, or -1.
    int NextRow(int start, unsigned flags) const;
    // Every row goes and the list returns to its top; their room is kept for the rows of the refill
    // that usually follows.
    void DeleteAllRows();

    int RowHeight() const { return rowHeight; }
    // The topmost row at least partly in view.
    int TopIndex() const { return offset / rowHeight; }
    // Rows wholly in view where the list stands now.
    int CountPerPage() const;
    // Scrolls by whole rows until the row shows whole (or in part, if partialOk and it does).
    bool EnsureVisible(int row, bool partialOk);
    CRect RowBounds(int row) const;
    // The row's rectangle of code (LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL), in client coordinates.
    bool RowRect(int row, int code, CRect* rect) const;
    bool ColumnRect(int row, int column, int code, CRect* rect) const;
    // The row under point (client coordinates), or -1.
    int HitTest(CPoint point) const;
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
    struct Row {
        // In the list's text pool (read them through RowTextPool); changed only through
        // SetRowText. Null is an empty text.
        RowTextPool::Text texts[kColumnCount] = {nullptr, nullptr};
        uintptr_t data = 0;
        int image = -1;
        unsigned state = 0;
    };
    static_assert(sizeof(Row) == 32 || sizeof(void*) != 8, "a row stays small: 100,000 of them are held at once");

    // The owner's side of the list while its window is attached, else null.
    ListControlOwner* ListOwner() const;
    // The header of a notification from the list's window.
    NMHDR Header(int code) const;
    const Row* RowAt(int row) const;
    Row* RowAt(int row);
    // Scrolls so that the row's top is the list's top (as far as the rows allow).
    void ScrollTo(int top);
    // Rows were added or removed: the scroll bar, the picture and the screen reader follow soon.
    void RowsChanged();
    // Brings them up to date now, if rows changed since they were.
    void FinishRowsChange();
    // Sets the row's states and tells whoever listens, if they changed.
    void ChangeState(int row, unsigned state);
    void UpdateScrollBar();
    void DrawRowDefault(CDC& dc, int row);
    void Tap(QPoint releasedAt);
    void UpdateScrollerDistance();
    // Tells a screen reader that other rows are in view, if they are since it was last told.
    void ReportScroll();
    // Copies the texts in use into a fresh pool, leaving the texts replaced since the last fill behind.
    void CompactTexts();

    ListControlOwner* listOwner;
    uint32_t style = 0;
    uint32_t extendedStyle = 0;
    uint32_t backgroundColour = 0xFFFFFF;
    uint32_t textBackgroundColour = 0xFFFFFF;
    CImageList* smallImages = nullptr;
    int columnCount = 0;
    int columnWidths[kColumnCount] = {};
    // In page memory: a fill of 100,000 rows grows the table to megabytes.
    std::vector<Row, PageAllocator<Row>> rows;
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
