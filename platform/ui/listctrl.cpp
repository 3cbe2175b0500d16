#include "platform/ui/listctrl.h"

#include "platform/ui/listcontrol.h"

// Every call goes to the list's window, which owns the state; without a window a call does nothing
// and reads as an empty list.

void CListCtrl::SetStyle(uint32_t style) {
    if (list != nullptr) {
        list->SetStyle(style);
    }
}

uint32_t CListCtrl::GetStyle() const {
    return list != nullptr ? list->Style() : 0;
}

void CListCtrl::SetExtendedStyle(uint32_t style) {
    if (list != nullptr) {
        list->SetExtendedStyle(style);
    }
}

uint32_t CListCtrl::GetExtendedStyle() const {
    return list != nullptr ? list->ExtendedStyle() : 0;
}

void CListCtrl::SetBkColor(uint32_t colour) {
    if (list != nullptr) {
        list->SetBackgroundColour(colour);
    }
}

uint32_t CListCtrl::GetBkColor() const {
    return list != nullptr ? list->BackgroundColour() : 0xFFFFFF;
}

void CListCtrl::SetTextBkColor(uint32_t colour) {
    if (list != nullptr) {
        list->SetTextBackgroundColour(colour);
    }
}

uint32_t CListCtrl::GetTextBkColor() const {
    return list != nullptr ? list->TextBackgroundColour() : 0xFFFFFF;
}

void CListCtrl::SetImageList(CImageList* images, int which) {
    if (list != nullptr && which == LVSIL_SMALL) {
        list->SetSmallImages(images);
    }
}

CImageList* CListCtrl::GetImageList(int which) const {
    return list != nullptr && which == LVSIL_SMALL ? list->SmallImages() : nullptr;
}

int CListCtrl::InsertColumn(int column, const char16_t*, int, int width) {
    return list != nullptr ? list->InsertColumn(column, width) : -1;
}

bool CListCtrl::SetColumnWidth(int column, int width) {
    return list != nullptr && list->SetColumnWidth(column, width);
}

int CListCtrl::GetColumnWidth(int column) const {
    return list != nullptr ? list->ColumnWidth(column) : 0;
}

int CListCtrl::InsertItem(int index, const char16_t* text, int image) {
    return list != nullptr ? list->InsertRow(index, text != nullptr ? text : u"", image) : -1;
}

bool CListCtrl::SetItemText(int row, int column, const char16_t* text) {
    return list != nullptr && list->SetRowText(row, column, text != nullptr ? text : u"");
}

int CListCtrl::GetItemText(int row, int column, char16_t* text, int capacity) const {
    return ListControl::CopyText(list != nullptr ? list->TextOf(row, column) : nullptr, text, capacity);
}

std::u16string CListCtrl::GetItemText(int row, int column) const {
    return list != nullptr ? list->RowText(row, column) : std::u16string();
}

bool CListCtrl::SetItemData(int row, uintptr_t data) {
    return list != nullptr && list->SetRowData(row, data);
}

uintptr_t CListCtrl::GetItemData(int row) const {
    return list != nullptr ? list->RowData(row) : 0;
}

bool CListCtrl::GetItem(LVITEM* item) const {
    return list != nullptr && list->ReadRow(item);
}

bool CListCtrl::SetItemState(int row, unsigned state, unsigned mask) {
    return list != nullptr && list->SetRowState(row, state, mask);
}

unsigned CListCtrl::GetItemState(int row, unsigned mask) const {
    return list != nullptr ? list->RowState(row, mask) : 0;
}

bool CListCtrl::DeleteAllItems() {
    if (list == nullptr) {
        return false;
    }
    list->DeleteAllRows();
    return true;
}

int CListCtrl::GetItemCount() const {
    return list != nullptr ? list->RowCount() : 0;
}

int CListCtrl::GetNextItem(int start, unsigned flags) const {
    return list != nullptr ? list->NextRow(start, flags) : -1;
}

bool CListCtrl::EnsureVisible(int row, bool partialOk) {
    return list != nullptr && list->EnsureVisible(row, partialOk);
}

int CListCtrl::GetTopIndex() const {
    return list != nullptr ? list->TopIndex() : 0;
}

int CListCtrl::GetCountPerPage() const {
    return list != nullptr ? list->CountPerPage() : 0;
}

bool CListCtrl::GetItemRect(int row, CRect* rect, int code) const {
    return list != nullptr && list->RowRect(row, code, rect);
}

bool CListCtrl::GetSubItemRect(int row, int column, int code, CRect& rect) const {
    return list != nullptr && list->ColumnRect(row, column, code, &rect);
}

int CListCtrl::HitTest(CPoint point) const {
    return list != nullptr ? list->HitTest(point) : -1;
}

int CListCtrl::RowHeight() const {
    return list != nullptr ? list->RowHeight() : 0;
}
