#pragma once

#include "platform/ui/listnotify.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CImageList;
class ListControl;

// The list-view control of a list view, as its owner drives it: report mode, rows with an icon, two
// columns of text and item data, per-row states, an image list, colours and rectangles. It refers to
// the list of a CListView and is valid while that view's window exists.
class CListCtrl {
public:
    explicit CListCtrl(ListControl* control = nullptr) : list(control) {}

    // The list's own style bits (report, owner-drawn fixed rows, no header); the window stays a
    // visible child whatever is given.
    void SetStyle(uint32_t style);
    uint32_t GetStyle() const;
    void SetExtendedStyle(uint32_t style);
    uint32_t GetExtendedStyle() const;
    void SetBkColor(uint32_t colour);
    uint32_t GetBkColor() const;
    void SetTextBkColor(uint32_t colour);
    uint32_t GetTextBkColor() const;
    void SetImageList(CImageList* images, int which);
    CImageList* GetImageList(int which) const;

    int InsertColumn(int column, const char16_t* heading, int format, int width = -1);
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;

    // A new row with column 0's text and an icon, at index or, past the end, at the end. Returns the
    // row's index, or -1.
    int InsertItem(int index, const char16_t* text, int image);
    bool SetItemText(int row, int column, const char16_t* text);
    // The column's text, cut to capacity characters with its terminator; its length, 0 for no row.
    int GetItemText(int row, int column, char16_t* text, int capacity) const;
    std::u16string GetItemText(int row, int column) const;
    bool SetItemData(int row, uintptr_t data);
    uintptr_t GetItemData(int row) const;
    // Reads the parts of the row that item.mask names (text is not read back this way).
    bool GetItem(LVITEM* item) const;
    // Changes the states of mask to state, for this row only.
    bool SetItemState(int row, unsigned state, unsigned mask);
    unsigned GetItemState(int row, unsigned mask) const;
    bool DeleteAllItems();
    int GetItemCount() const;
    // The next row after start (-1: from the top) with every state of flags.
    int GetNextItem(int start, unsigned flags) const;

    // Scrolls by whole rows until the row shows whole (or in part, if partialOk and it does).
    bool EnsureVisible(int row, bool partialOk);
    // The topmost row at least partly in view, and how many rows are wholly in view.
    int GetTopIndex() const;
    int GetCountPerPage() const;
    bool GetItemRect(int row, CRect* rect, int code) const;
    bool GetSubItemRect(int row, int column, int code, CRect& rect) const;
    // The row under point (client coordinates), or -1.
    int HitTest(CPoint point) const;
    // Pixel height of every row.
    int RowHeight() const;

    ListControl* Control() const { return list; }

private:
    ListControl* list;
};
