#include "platform/ui/listctrl.h"

#include "platform/ui/imagelist.h"
#include "platform/ui/listcontrol.h"

#include <algorithm>

namespace {

// The icon rectangle inside column 0: the image's width from the list's indent, the row's height.
constexpr int kIconIndent = 2;
// The icon sits a little below its row's top, so that the first row's icon keeps clear of the bar
// above the list as the others keep clear of the separator above them.
constexpr int kIconDrop = 2;

} // namespace

void CListCtrl::SetStyle(uint32_t style) {
    if (list == nullptr) {
        return;
    }
    const uint32_t old = list->style;
    list->style = style & LVS_LISTBITS;
    if (((old ^ list->style) & LVS_OWNERDRAWFIXED) != 0) {
        list->MeasureRows();
    }
    list->update();
}

uint32_t CListCtrl::GetStyle() const {
    return list != nullptr ? list->style : 0;
}

void CListCtrl::SetExtendedStyle(uint32_t style) {
    if (list != nullptr) {
        list->extendedStyle = style;
        list->update();
    }
}

uint32_t CListCtrl::GetExtendedStyle() const {
    return list != nullptr ? list->extendedStyle : 0;
}

void CListCtrl::SetBkColor(uint32_t colour) {
    if (list != nullptr) {
        list->backgroundColour = colour;
        list->update();
    }
}

uint32_t CListCtrl::GetBkColor() const {
    return list != nullptr ? list->backgroundColour : 0xFFFFFF;
}

void CListCtrl::SetTextBkColor(uint32_t colour) {
    if (list != nullptr) {
        list->textBackgroundColour = colour;
        list->update();
    }
}

uint32_t CListCtrl::GetTextBkColor() const {
    return list != nullptr ? list->textBackgroundColour : 0xFFFFFF;
}

void CListCtrl::SetImageList(CImageList* images, int which) {
    if (list != nullptr && which == LVSIL_SMALL) {
        list->smallImages = images;
        list->update();
    }
}

CImageList* CListCtrl::GetImageList(int which) const {
    return list != nullptr && which == LVSIL_SMALL ? list->smallImages : nullptr;
}

int CListCtrl::InsertColumn(int column, const char16_t*, int, int width) {
    if (list == nullptr || list->columnCount >= ListControl::kColumnCount || column < 0) {
        return -1;
    }
    const int index = std::min(column, list->columnCount);
    for (int i = list->columnCount; i > index; --i) {
        list->columnWidths[i] = list->columnWidths[i - 1];
    }
    list->columnWidths[index] = std::max(0, width);
    ++list->columnCount;
    list->update();
    return index;
}

bool CListCtrl::SetColumnWidth(int column, int width) {
    if (list == nullptr || column < 0 || column >= list->columnCount) {
        return false;
    }
    width = std::max(0, width);
    if (list->columnWidths[column] != width) {
        list->columnWidths[column] = width;
        list->update();
    }
    return true;
}

int CListCtrl::GetColumnWidth(int column) const {
    if (list == nullptr || column < 0 || column >= list->columnCount) {
        return 0;
    }
    return list->columnWidths[column];
}

int CListCtrl::InsertItem(int index, const char16_t* text, int image) {
    if (list == nullptr || index < 0) {
        return -1;
    }
    const int count = GetItemCount();
    const int at = std::min(index, count);
    list->InsertRow(at, text != nullptr ? text : u"", image);
    list->RowsChanged();
    return at;
}

bool CListCtrl::SetItemText(int row, int column, const char16_t* text) {
    ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    if (item == nullptr || column < 0 || column >= ListControl::kColumnCount) {
        return false;
    }
    list->SetRowText(*item, column, text != nullptr ? text : u"");
    list->RowsChanged();
    return true;
}

int CListCtrl::GetItemText(int row, int column, char16_t* text, int capacity) const {
    if (text == nullptr || capacity <= 0) {
        return 0;
    }
    const ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    const RowTextPool::Text value =
        item != nullptr && column >= 0 && column < ListControl::kColumnCount ? item->texts[column] : nullptr;
    const size_t length = RowTextPool::Copy(value, text, static_cast<size_t>(capacity - 1));
    text[length] = u'\0';
    return static_cast<int>(length);
}

std::u16string CListCtrl::GetItemText(int row, int column) const {
    const ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    if (item == nullptr || column < 0 || column >= ListControl::kColumnCount) {
        return {};
    }
    return RowTextPool::Read(item->texts[column]);
}

bool CListCtrl::SetItemData(int row, uintptr_t data) {
    ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    if (item == nullptr) {
        return false;
    }
    item->data = data;
    return true;
}

uintptr_t CListCtrl::GetItemData(int row) const {
    const ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    return item != nullptr ? item->data : 0;
}

bool CListCtrl::GetItem(LVITEM* item) const {
    const ListControl::Row* row = list != nullptr && item != nullptr ? list->RowAt(item->item) : nullptr;
    if (row == nullptr) {
        return false;
    }
    if ((item->mask & LVIF_IMAGE) != 0) {
        item->image = row->image;
    }
    if ((item->mask & LVIF_STATE) != 0) {
        item->state = row->state & item->stateMask;
    }
    if ((item->mask & LVIF_PARAM) != 0) {
        item->param = row->data;
    }
    return true;
}

bool CListCtrl::SetItemState(int row, unsigned state, unsigned mask) {
    ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    if (item == nullptr) {
        return false;
    }
    // In the single-selection style a row that becomes selected takes the selection from every
    // other row, so that whatever acts on "the selected row" finds the one the user sees.
    if ((list->style & LVS_SINGLESEL) != 0 && (mask & state & LVIS_SELECTED) != 0) {
        for (int other = 0; other < static_cast<int>(list->rows.size()); ++other) {
            ListControl::Row& each = list->rows[static_cast<size_t>(other)];
            if (other != row && (each.state & LVIS_SELECTED) != 0) {
                const unsigned old = each.state;
                each.state &= ~LVIS_SELECTED;
                list->StateChanged(other, old);
            }
        }
    }
    const unsigned old = item->state;
    item->state = (item->state & ~mask) | (state & mask);
    list->StateChanged(row, old);
    return true;
}

unsigned CListCtrl::GetItemState(int row, unsigned mask) const {
    const ListControl::Row* item = list != nullptr ? list->RowAt(row) : nullptr;
    return item != nullptr ? item->state & mask : 0;
}

bool CListCtrl::DeleteAllItems() {
    if (list == nullptr) {
        return false;
    }
    list->ClearRows();
    list->ScrollTo(0);
    list->RowsChanged();
    return true;
}

int CListCtrl::GetItemCount() const {
    return list != nullptr ? static_cast<int>(list->rows.size()) : 0;
}

int CListCtrl::GetNextItem(int start, unsigned flags) const {
    const int count = GetItemCount();
    for (int row = std::max(0, start + 1); row < count; ++row) {
        if ((list->rows[static_cast<size_t>(row)].state & flags) == flags) {
            return row;
        }
    }
    return -1;
}

bool CListCtrl::EnsureVisible(int row, bool partialOk) {
    if (list == nullptr || list->RowAt(row) == nullptr) {
        return false;
    }
    const CRect bounds = list->RowBounds(row);
    const int height = list->ClientRect().height();
    if (bounds.top < 0) {
        list->ScrollTo(row);
    } else if (bounds.bottom > height) {
        // A row that shows in part is left where it is only when the caller allows it; else the
        // list moves by whole rows until the row shows whole at the bottom.
        const bool partlyShown = bounds.top < height;
        if (!(partialOk && partlyShown)) {
            list->ScrollTo(row - std::max(1, height / list->RowHeight()) + 1);
        }
    }
    return true;
}

int CListCtrl::GetTopIndex() const {
    return list != nullptr ? list->TopIndex() : 0;
}

int CListCtrl::GetCountPerPage() const {
    return list != nullptr ? list->CountPerPage() : 0;
}

bool CListCtrl::GetItemRect(int row, CRect* rect, int code) const {
    if (list == nullptr || rect == nullptr || list->RowAt(row) == nullptr) {
        return false;
    }
    const CRect bounds = list->RowBounds(row);
    switch (code) {
    case LVIR_ICON: {
        const CImageList* images = list->smallImages;
        const int width = images != nullptr ? images->GetImageSize().cx : 0;
        *rect = CRect{kIconIndent, std::min(bounds.top + kIconDrop, bounds.bottom), kIconIndent + width, bounds.bottom};
        return true;
    }
    case LVIR_LABEL:
        *rect = CRect{list->columnWidths[0], bounds.top, bounds.right, bounds.bottom};
        return true;
    default:
        *rect = bounds;
        return true;
    }
}

bool CListCtrl::GetSubItemRect(int row, int column, int code, CRect& rect) const {
    if (list == nullptr || list->RowAt(row) == nullptr || column < 0 || column >= list->columnCount) {
        return false;
    }
    if (column == 0 && code != LVIR_BOUNDS) {
        return GetItemRect(row, &rect, code);
    }
    const CRect bounds = list->RowBounds(row);
    int left = 0;
    for (int i = 0; i < column; ++i) {
        left += list->columnWidths[i];
    }
    rect = CRect{left, bounds.top, left + list->columnWidths[column], bounds.bottom};
    return true;
}

int CListCtrl::HitTest(CPoint point) const {
    if (list == nullptr || point.y < 0 || point.x < 0 || point.x >= list->ClientRect().width()) {
        return -1;
    }
    const long long row = (static_cast<long long>(list->Offset()) + point.y) / list->RowHeight();
    return row < GetItemCount() ? static_cast<int>(row) : -1;
}

int CListCtrl::RowHeight() const {
    return list != nullptr ? list->RowHeight() : 0;
}
