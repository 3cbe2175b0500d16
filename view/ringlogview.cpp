#include "view/ringlogview.h"

#include "calllog/callexport.h"
#include "calllog/calllogstore.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/callinfodlg.h"
#include "dialogs/dialogstate.h"
#include "dialogs/endkey.h"
#include "dialogs/finddlg.h"
#include "dialogs/revlookup.h"
#include "platform/msgbox/messagebox.h"
#include "platform/resources/resourcemodule.h"
#include "platform/shell/shellservices.h"
#include "platform/shell/virtualkey.h"
#include "platform/text/localheap.h"
#include "platform/text/numberkey.h"
#include "platform/ui/dc.h"
#include "platform/ui/font.h"
#include "platform/ui/waitcursor.h"
#include "platform/ui/winapp.h"
#include "resources/resource.h"

#include <cstdlib>
#include <vector>

namespace {

constexpr int kIconColumnWidth = 45;
// The call-type bitmaps' background, drawn transparent.
constexpr COLORREF kBitmapMask = RGB(255, 255, 255);

// A row's text: three lines of the name, number and location, the first split by "|" into the name
// (or number) and the time. The longest is 100 + 1 + 10 + 1 + 50 + 1 + 59 characters.
using RowText = FixedText<223>;

// The main window's own title, shown when no search is on, and the room the navigation bar's logo
// and Done button take beside a title.
constexpr const char16_t* kFrameTitle = u"Zonrik Ringlog";
constexpr int kTitleMargin = 100;

constexpr const char16_t* kSeparator = u"___________________________________________";

// The next piece of text at from, in the manner of a tokenizer that skips separators: separators at
// the start and runs of them count as one, and when nothing is left the piece is empty. Returns
// where the next search starts.
template <size_t N> const char16_t* NextPiece(const char16_t* from, char16_t separator, FixedText<N>& piece) {
    while (*from == separator) {
        ++from;
    }
    const char16_t* end = from;
    while (*end != u'\0' && *end != separator) {
        ++end;
    }
    TextCopyN(piece.Data(), N, from, static_cast<size_t>(end - from));
    return end;
}

// A text as one field of a row. The row's own separators, and any other break a name or number
// may hold (from an address book, or a dialler's log: C0 and C1 controls, DEL, the Unicode line and
// paragraph separators), would show and be read as a field of their own; each becomes a blank, which
// keeps the words apart. The entry's texts stay as they are.
template <size_t N> FixedText<N> RowField(const FixedText<N>& text) {
    FixedText<N> field = text;
    for (size_t i = 0; i < N && field.chars[i] != u'\0'; ++i) {
        const char16_t c = field.chars[i];
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == u'|') {
            field.chars[i] = u' ';
        }
    }
    return field;
}

const char16_t* EmptyMessage(unsigned filterMode) {
    switch (filterMode) {
    case ID_FILTER_MISSEDCALLS:
        return u"No Missed Calls in Call Log";
    case ID_FILTER_INCOMINGCALLS:
        return u"No Incoming Calls in Call Log";
    case ID_FILTER_OUTGOINGCALLS:
        return u"No Outgoing Calls in Call Log";
    case ID_FILTER_THISNUMBER:
        return u"No Matching Calls";
    default:
        return u"No Calls in Call Log";
    }
}

// Why the store kept the calls, in the user's words.
const char16_t* FailureReason(DeleteFailure failure) {
    switch (failure) {
    case DeleteFailure::Busy:
        return u"The call log is in use by another program.";
    case DeleteFailure::ReadOnly:
        return u"The call log cannot be changed.";
    case DeleteFailure::Full:
        return u"The phone's storage is full.";
    case DeleteFailure::Ambiguous:
        return u"The call log holds another call just like it, and the two cannot be told apart.";
    case DeleteFailure::Taken:
        return u"Another call has taken its place in the call log.";
    default:
        return u"The call log could not be read or changed.";
    }
}

// The key of the call's number as the log holds it, before any stripping or formatting, so that
// every written form of one number meets; empty for a call without a number.
std::string NumberKeyOf(const NVXCallEntry& entry) {
    const char16_t* number = LocalText(entry.number);
    return number == nullptr ? std::string() : NumberKey(std::u16string_view(number));
}

std::u16string StringOf(uint16_t id) {
    std::u16string text;
    ResourceModule::Program().LoadString(id, text);
    return text;
}

uint16_t ExportReasonId(ExportError why) {
    switch (why) {
    case ExportError::NoDocumentsFolder:
        return IDS_EXPORT_NO_DOCUMENTS;
    case ExportError::FolderNotCreatable:
        return IDS_EXPORT_FOLDER_NOT_CREATABLE;
    case ExportError::NoPermission:
        return IDS_EXPORT_NO_PERMISSION;
    case ExportError::ReadOnly:
        return IDS_EXPORT_READ_ONLY;
    case ExportError::DiskFull:
        return IDS_EXPORT_DISK_FULL;
    case ExportError::NoFreeName:
        return IDS_EXPORT_NO_FREE_NAME;
    default:
        return IDS_EXPORT_WRITE_FAILED;
    }
}

// The row's icon for a call type: missed 0, outgoing 1, incoming 2.
int IconOf(int32_t callType) {
    switch (callType) {
    case CallTypeMissed:
        return 0;
    case CallTypeOutgoing:
        return 1;
    case CallTypeIncoming:
        return 2;
    default:
        return -1;
    }
}

} // namespace

CRinglogView::CRinglogView() : filterMode(ID_FILTER_ALLCALLS), lastFilledFilter(ID_FILTER_ALLCALLS) {}

// The members go in reverse order: the call list is torn down before the icons.
CRinglogView::~CRinglogView() = default;

bool CRinglogView::PreCreateWindow(CREATESTRUCT& cs) {
    return CListView::PreCreateWindow(cs);
}

void CRinglogView::OnInitialUpdate() {
    CListCtrl& list = GetListCtrl();
    // Report mode, one selected row at most, owner-drawn rows of one fixed height, no column header.
    // The single selection matters: Call and Delete act on the first selected row.
    list.SetStyle(LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER);
    filterMode = ID_FILTER_ALLCALLS;
    callList.OpenCityDatabase();
    callList.Load();
    list.SetExtendedStyle(LVS_EX_NOHSCROLL | LVS_EX_FULLROWSELECT);
    list.SetBkColor(GetSysColor(COLOR_WINDOW));
    list.SetTextBkColor(GetSysColor(COLOR_WINDOW));
    imageList.Create(IDB_CALLTYPES, 40, 1, kBitmapMask);
    list.SetImageList(&imageList, LVSIL_SMALL);
    list.InsertColumn(0, u"", LVCFMT_IMAGE, kIconColumnWidth);
    list.InsertColumn(1, u"", LVCFMT_LEFT);
    selectedRow = 0;
    CListView::OnInitialUpdate();
}

void CRinglogView::FillList() {
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    missedCount = 0;
    incomingCount = 0;
    outgoingCount = 0;
    allCount = 0;

    for (int p = 0; p < callList.count; ++p) {
        const NVXCallEntry* entry = callList.entries[static_cast<size_t>(p)];
        if (entry->callType == CallTypeMissed) {
            ++missedCount;
        } else if (entry->callType == CallTypeIncoming) {
            ++incomingCount;
        } else if (entry->callType == CallTypeOutgoing) {
            ++outgoingCount;
        }

        if (!ShowsUnderFilter(*entry)) {
            continue;
        }
        if (!search.Matches(*entry)) {
            continue;
        }

        RowText rowText;
        if (!entry->nameText.IsEmpty()) {
            rowText.Format(u"%s|%s\n%s\n%s",
                           {RowField(entry->nameText).Data(), RowField(entry->timeText).Data(),
                            RowField(entry->numberText).Data(), RowField(entry->locationText).Data()});
        } else {
            rowText.Format(u"%s|%s\n%s", {RowField(entry->numberText).Data(), RowField(entry->timeText).Data(),
                                          RowField(entry->locationText).Data()});
        }
        const int row = list.InsertItem(p, u"", IconOf(entry->callType));
        list.SetItemText(row, 1, rowText.Data());
        list.SetItemData(row, static_cast<uintptr_t>(p));
        allCount = p + 1;
    }
    thisNumberCount = filterMode == ID_FILTER_THISNUMBER ? list.GetItemCount() : 0;

    if (list.GetItemCount() > 0) {
        if (filterMode != lastFilledFilter) {
            selectedRow = 0;
            lastFilledFilter = filterMode;
        }
        SelectRow(selectedRow);
    }
}

void CRinglogView::OnActivateView(bool, CView*, CView*) {
    Refresh();
}

void CRinglogView::OnDataChanged() {
    Refresh();
}

void CRinglogView::Refresh() {
    ShellServices::ClaimCallKeys(GetSafeHwnd());

    CListCtrl& list = GetListCtrl();
    switch (LastDialogKind) {
    case kDialogCallInfo: {
        // The call the details showed: at the selected row's position, or found again when the list
        // changed. Every field must match, not only the start time: of two calls that started at the
        // same moment, the other one is never called or deleted; with no match nothing is.
        const int shown =
            list.GetItemCount() > selectedRow && selectedRow >= 0 ? static_cast<int>(list.GetItemData(selectedRow)) : 0;
        const int p = callList.LocateCall(shown, &snapshot);
        if (InfoAction == kInfoActionCall) {
            callList.PlaceCall(p);
            selectedRow = 0;
        } else if (InfoAction == kInfoActionDelete) {
            DeleteFailure failure = DeleteFailure::None;
            // A call no longer in the list is gone from the store as well: nothing to delete.
            if (p < 0 || DeleteWaiting(p, &failure) == 0) {
                selectedRow = 0;
                callList.Load();
                FillList();
            } else {
                AfterFailedDelete(failure, snapshot);
            }
        }
        break;
    }
    case kDialogReverseLookup:
    case kDialogAbout:
    case kDialogFind:
        break;
    default:
        // Nothing recorded: start-up, or the user comes back from another program.
        callList.Load();
        FillList();
        break;
    }
    LastDialogKind = kDialogNone;
    InfoAction = kInfoActionNone;

    if (list.GetItemCount() > 0) {
        SelectRow(selectedRow);
    }
    // The frame wrote its own title as it came to the front again.
    ShowTitle();
    SetFocus();
}

void CRinglogView::OnSize(unsigned, int, int) {
    GetClientRect(clientRect);
}

void CRinglogView::OnFilter(unsigned id) {
    // All Calls ends a search, even when it is the filter already.
    if (id == ID_FILTER_ALLCALLS && !search.IsEmpty()) {
        filterMode = id;
        ApplySearch(u"");
        return;
    }
    if (id == filterMode) {
        return;
    }
    filterMode = id;
    FillList();
    ShowTitle();
}

void CRinglogView::OnThisNumber() {
    if (filterMode == ID_FILTER_THISNUMBER) {
        return;
    }
    CListCtrl& list = GetListCtrl();
    const int row = list.GetNextItem(-1, LVNI_SELECTED);
    const NVXCallEntry* entry = row < 0 ? nullptr : callList.EntryAt(static_cast<int>(list.GetItemData(row)));
    if (entry == nullptr) {
        return;
    }
    const std::string key = NumberKeyOf(*entry);
    if (key.empty()) {
        return;
    }
    thisNumberKey = key;
    thisNumberTitle.Assign(entry->nameText.IsEmpty() ? entry->numberText.Data() : entry->nameText.Data());
    filterMode = ID_FILTER_THISNUMBER;
    FillList();
    ShowTitle();
}

void CRinglogView::OnUpdateThisNumber(CCmdUI* ui) {
    const bool on = filterMode == ID_FILTER_THISNUMBER;
    bool hasNumber = false;
    CListCtrl& list = GetListCtrl();
    const int row = list.GetNextItem(-1, LVNI_SELECTED);
    if (const NVXCallEntry* entry = row < 0 ? nullptr : callList.EntryAt(static_cast<int>(list.GetItemData(row)))) {
        hasNumber = !NumberKeyOf(*entry).empty();
    }
    ui->Enable(on || hasNumber);
    ui->SetCheck(on ? 1 : 0);
}

bool CRinglogView::ShowsUnderFilter(const NVXCallEntry& entry) const {
    switch (filterMode) {
    case ID_FILTER_MISSEDCALLS:
        return entry.callType == CallTypeMissed;
    case ID_FILTER_INCOMINGCALLS:
        return entry.callType == CallTypeIncoming;
    case ID_FILTER_OUTGOINGCALLS:
        return entry.callType == CallTypeOutgoing;
    case ID_FILTER_THISNUMBER:
        return NumberKeyOf(entry) == thisNumberKey;
    default:
        return true;
    }
}

void CRinglogView::ShowTitle() {
    if (!search.IsEmpty()) {
        ShowSearchTitle();
        return;
    }
    if (CWnd* frame = GetParent()) {
        frame->SetWindowText(filterMode == ID_FILTER_THISNUMBER ? thisNumberTitle.Data() : kFrameTitle);
    }
}

void CRinglogView::OnUpdateFilter(CCmdUI* ui) {
    ui->Enable(true);
    ui->SetCheck(ui->id == filterMode ? 1 : 0);
}

bool CRinglogView::CanCall(int row) {
    if (row < 0) {
        return false;
    }
    const NVXCallEntry* e = callList.EntryAt(static_cast<int>(GetListCtrl().GetItemData(row)));
    if (e == nullptr) {
        return false;
    }
    return CanDial(*e);
}

void CRinglogView::SelectRow(int row) {
    CListCtrl& list = GetListCtrl();
    if (list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED)) {
        list.EnsureVisible(row, false);
    }
}

int32_t CRinglogView::FilterCount() {
    if (!search.IsEmpty()) {
        return GetListCtrl().GetItemCount();
    }
    switch (filterMode) {
    case ID_FILTER_MISSEDCALLS:
        return missedCount;
    case ID_FILTER_INCOMINGCALLS:
        return incomingCount;
    case ID_FILTER_OUTGOINGCALLS:
        return outgoingCount;
    case ID_FILTER_THISNUMBER:
        return thisNumberCount;
    default:
        return allCount;
    }
}

// Row drawing.

void CRinglogView::MeasureItem(MEASUREITEMSTRUCT* measure) {
    LOGFONT description;
    GetFont(description);
    measure->itemHeight = static_cast<unsigned>(4 * std::abs(description.height));
}

void CRinglogView::OnSetFont(const CFont* font, bool redraw) {
    CListView::OnSetFont(font, redraw);
    // The list measures its rows again when it hears that its window changed.
    CRect window;
    GetWindowRect(window);
    WINDOWPOS position;
    position.hwnd = GetSafeHwnd();
    position.cx = window.Width();
    position.cy = window.Height();
    position.flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    OnWindowPosChanged(&position);
}

bool CRinglogView::OnEraseBkgnd(CDC* dc) {
    // Only what is repainted is erased: the rows from the topmost in view down to the clip's bottom.
    CRect box;
    dc->GetClipBox(box);
    dc->FillSolidRect(box, GetSysColor(COLOR_WINDOW));
    CListCtrl& list = GetListCtrl();
    const int rows = list.GetItemCount();
    for (int row = list.GetTopIndex(); row < rows; ++row) {
        CRect bounds;
        list.GetItemRect(row, &bounds, LVIR_BOUNDS);
        if (bounds.top >= box.bottom) {
            break;
        }
        if (bounds.bottom <= box.top) {
            continue;
        }
        int left = bounds.left;
        for (int column = 0; column < 2; ++column) {
            const int width = list.GetColumnWidth(column);
            dc->FillSolidRect(CRect{left, bounds.top, left + width, bounds.bottom},
                              column == 0 ? ICON_COLUMN_COLOUR : GetSysColor(COLOR_WINDOW));
            left += width;
        }
    }
    return false;
}

void CRinglogView::OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) {
    switch (draw->nmcd.drawStage) {
    case CDDS_PREPAINT:
        PrePaintList(draw);
        *result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *result = PrePaintRow(draw);
        break;
    default:
        *result = CDRF_DODEFAULT;
        break;
    }
}

void CRinglogView::PrePaintList(NMLVCUSTOMDRAW* draw) {
    CRect client;
    GetClientRect(client);
    CListCtrl& list = GetListCtrl();
    list.SetColumnWidth(1, client.Width() - kIconColumnWidth);
    // The user may have changed the colour scheme since the last paint; set only on a change, since
    // setting asks for another paint.
    if (list.GetBkColor() != GetSysColor(COLOR_WINDOW)) {
        list.SetBkColor(GetSysColor(COLOR_WINDOW));
        list.SetTextBkColor(GetSysColor(COLOR_WINDOW));
    }
    if (FilterCount() == 0) {
        // Without the single-line flag the vertical centring does not apply: the message stands
        // centred on the top line.
        draw->nmcd.dc->DrawText(search.IsEmpty() ? EmptyMessage(filterMode) : u"No Matching Calls", client,
                                DT_CENTER | DT_VCENTER);
    }
}

LRESULT CRinglogView::PrePaintRow(NMLVCUSTOMDRAW* draw) {
    CListCtrl& list = GetListCtrl();
    if (list.GetItemCount() == 0) {
        return CDRF_SKIPDEFAULT;
    }
    CDC* dc = draw->nmcd.dc;
    const int row = static_cast<int>(draw->nmcd.itemSpec);
    list.SetColumnWidth(1, clientRect.Width() - kIconColumnWidth);

    LVITEM item;
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.item = row;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    list.GetItem(&item);

    CRect icon;
    list.GetItemRect(row, &icon, LVIR_ICON);
    imageList.Draw(dc, item.image, CPoint{icon.left, icon.top});

    CRect r;
    list.GetSubItemRect(row, 1, LVIR_BOUNDS, r);
    RowText rowText;
    list.GetItemText(row, 1, rowText.Data(), static_cast<int>(rowText.capacity));
    COLORREF background;
    if ((item.state & LVIS_SELECTED) != 0) {
        background = GetSysColor(COLOR_HIGHLIGHT);
        dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        callEnabled = CanCall(row) ? 1 : 0;
    } else {
        background = GetSysColor(COLOR_WINDOW);
        dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    }
    dc->FillSolidRect(r, background);
    dc->SetBkMode(TRANSPARENT);
    const int t = r.Height() / 3;

    RowText line1;
    const char16_t* nextLine = NextPiece(rowText.Data(), u'\n', line1);
    if (line1.IsEmpty()) {
        return CDRF_SKIPDEFAULT;
    }

    LOGFONT description;
    GetFont(description);
    description.weight = 600;
    CFont semiBold;
    // A font that cannot be made leaves the list's font for the name.
    const bool haveSemiBold = semiBold.CreateFontIndirect(description);
    CFont* previous = haveSemiBold ? dc->SelectObject(&semiBold) : nullptr;
    RowText part1;
    const char16_t* nextPart = NextPiece(line1.Data(), u'|', part1);
    const int w = MeasureTimeWidth(line1.Data()).cx;
    dc->DrawText(part1.Data(), CRect{r.left + 2, r.top, r.right - w - 12, r.top + t}, DT_END_ELLIPSIS);
    if (haveSemiBold) {
        dc->SelectObject(previous);
    }

    if (!part1.IsEmpty()) {
        RowText part2;
        NextPiece(nextPart, u'|', part2);
        dc->DrawText(part2.Data(), CRect{r.right - w - 7, r.top, r.right, r.top + t}, DT_LEFT);
    }

    RowText line2;
    nextLine = NextPiece(nextLine, u'\n', line2);
    if (!line2.IsEmpty()) {
        dc->DrawText(line2.Data(), CRect{r.left + 2, r.top + t, r.right, r.top + 2 * t}, DT_END_ELLIPSIS);
        RowText line3;
        NextPiece(nextLine, u'\n', line3);
        if (!line3.IsEmpty()) {
            dc->DrawText(line3.Data(), CRect{r.left + 2, r.top + 2 * t, r.right, r.top + 3 * t}, DT_END_ELLIPSIS);
        }
    }

    dc->DrawText(kSeparator, r, DT_SINGLELINE | DT_BOTTOM);
    semiBold.DeleteObject();
    return CDRF_SKIPDEFAULT;
}

void CRinglogView::GetSpokenText(int row, std::u16string& text) {
    // A row is read as a person reads it: each line, and each part of the first line, one phrase.
    RowText rowText;
    GetListCtrl().GetItemText(row, 1, rowText.Data(), static_cast<int>(rowText.capacity));
    text.clear();
    const char16_t* nextLine = rowText.Data();
    for (;;) {
        RowText line;
        nextLine = NextPiece(nextLine, u'\n', line);
        if (line.IsEmpty()) {
            return;
        }
        const char16_t* nextPart = line.Data();
        for (;;) {
            RowText part;
            nextPart = NextPiece(nextPart, u'|', part);
            if (part.IsEmpty()) {
                break;
            }
            text += (text.empty() ? u"" : u", ");
            text += part.Data();
        }
    }
}

CSize CRinglogView::MeasureTimeWidth(const char16_t* line) {
    RowText part1;
    RowText part2;
    const char16_t* next = NextPiece(line, u'|', part1);
    if (!part1.IsEmpty()) {
        NextPiece(next, u'|', part2);
    }
    // A fresh context carries the platform's default font, not the list's: the time is measured in it.
    CDC* dc = GetDC();
    if (dc == nullptr) {
        return CSize{0, 0};
    }
    const CSize size = dc->GetTextExtent(part2.Data());
    ReleaseDC(dc);
    return size;
}

// Commands and keys.

void CRinglogView::OnCall() {
    const int r = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    if (r < 0) {
        return;
    }
    callList.PlaceCall(static_cast<int>(GetListCtrl().GetItemData(r)));
    selectedRow = 0;
}

void CRinglogView::OnDelete() {
    CListCtrl& list = GetListCtrl();
    const int r = list.GetNextItem(-1, LVNI_SELECTED);
    if (r < 0) {
        return;
    }
    const int p = static_cast<int>(list.GetItemData(r));
    // The chosen call by its identity, to select it again if the store keeps it.
    NVXCallEntry chosen;
    if (const NVXCallEntry* e = callList.EntryAt(p)) {
        CopyEntry(*e, chosen);
    }
    DeleteFailure failure = DeleteFailure::None;
    if (DeleteWaiting(p, &failure) == 0) {
        selectedRow = 0;
        FillList();
    } else {
        AfterFailedDelete(failure, chosen);
    }
    if (list.GetItemCount() > 0) {
        SelectRow(selectedRow);
    }
}

int CRinglogView::DeleteWaiting(int position, DeleteFailure* failure) {
    // The store may wait for another program up to its busy timeout.
    CWaitCursor wait;
    return callList.DeleteAt(position, failure);
}

void CRinglogView::AfterFailedDelete(DeleteFailure failure, const NVXCallEntry& chosen) {
    // The store is the truth: the list is read again whatever happened, as another program may
    // have changed the log meanwhile.
    callList.Load();
    FillList();
    // A call that is gone went as the user asked: no word, and the first row is selected, as
    // after a Delete. One the store kept stays selected, found by what it is, as it may have moved.
    const bool kept = failure != DeleteFailure::Gone;
    selectedRow = kept ? RowOfCall(chosen) : 0;
    if (GetListCtrl().GetItemCount() > 0) {
        SelectRow(selectedRow);
    }
    if (kept) {
        TellNotDeleted(u"The call was not deleted.", failure);
    }
}

void CRinglogView::TellNotDeleted(const char16_t* outcome, DeleteFailure failure) {
    FixedText<160> message;
    message.Format(u"%s %s", {outcome, FailureReason(failure)});
    MessageBox(message.Data(), u"Zonrik Ringlog", MB_OK | MB_ICONINFORMATION);
}

int CRinglogView::RowOfCall(const NVXCallEntry& call) {
    CListCtrl& list = GetListCtrl();
    const int p = callList.FindCall(&call);
    for (int row = 0; p >= 0 && row < list.GetItemCount(); ++row) {
        if (static_cast<int>(list.GetItemData(row)) == p) {
            return row;
        }
    }
    return 0;
}

void CRinglogView::OnDeleteAll() {
    if (MessageBox(u"Permanently delete all calls?", u"Zonrik Ringlog", MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        return;
    }
    DeleteFailure failure = DeleteFailure::None;
    int result = 0;
    {
        CWaitCursor wait;
        result = callList.DeleteAll(&failure);
    }
    if (result == 0) {
        GetListCtrl().DeleteAllItems();
        allCount = 0;
        incomingCount = 0;
        outgoingCount = 0;
        missedCount = 0;
        thisNumberCount = 0;
    } else {
        // The store kept every call and the call list was read again from it: the rows follow,
        // so no row stands for a call that is gone or at another position.
        FillList();
        TellNotDeleted(u"No call was deleted.", failure);
    }
}

void CRinglogView::OnUndoDelete() {
    DeleteFailure failure = DeleteFailure::None;
    int position = 0;
    int result = 0;
    {
        CWaitCursor wait;
        result = CallLogStore::UndoLastDelete(&failure, &position);
    }
    // The list is read again either way: another program may have changed the log meanwhile.
    callList.Load();
    if (result == 0) {
        FillList();
        // The restored call, or the newest of them after a Delete All; row 0 when the filter hides it.
        selectedRow = RowOfPosition(position);
        if (GetListCtrl().GetItemCount() > 0) {
            SelectRow(selectedRow);
        }
        return;
    }
    FillList();
    TellNotDeleted(u"Nothing was undone.", failure);
}

void CRinglogView::OnUpdateUndoDelete(CCmdUI* ui) {
    // Also on an empty list: that is what a Delete All leaves.
    ui->Enable(CallLogStore::CanUndoDelete());
}

int CRinglogView::RowOfPosition(int position) {
    CListCtrl& list = GetListCtrl();
    for (int row = 0; position >= 0 && row < list.GetItemCount(); ++row) {
        if (static_cast<int>(list.GetItemData(row)) == position) {
            return row;
        }
    }
    return 0;
}

void CRinglogView::OnUpdateDelete(CCmdUI* ui) {
    ui->Enable(callList.count > 0 && FilterCount() != 0);
}

void CRinglogView::OnExportCalls() {
    // The rows as the list shows them, in their order: the filter and any search applied.
    CListCtrl& list = GetListCtrl();
    std::vector<const NVXCallEntry*> rows;
    rows.reserve(static_cast<size_t>(list.GetItemCount()));
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (const NVXCallEntry* e = callList.EntryAt(static_cast<int>(list.GetItemData(row)))) {
            rows.push_back(e);
        }
    }
    std::u16string path;
    ExportError why = ExportError::None;
    int result = 0;
    {
        CWaitCursor wait;
        result = ExportCalls(rows, &path, &why);
    }
    std::u16string message;
    if (result == 0) {
        message = StringOf(IDS_EXPORT_WRITTEN);
        const size_t at = message.find(u"%s");
        if (at != std::u16string::npos) {
            message.replace(at, 2, path);
        }
    } else {
        message = StringOf(IDS_EXPORT_NOT_WRITTEN) + u" " + StringOf(ExportReasonId(why));
    }
    MessageBox(message.c_str(), u"Zonrik Ringlog", MB_OK | MB_ICONINFORMATION);
}

void CRinglogView::OnUpdateCall(CCmdUI* ui) {
    ui->Enable(callList.count > 0 && FilterCount() != 0 && callEnabled != 0);
}

void CRinglogView::OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned flags) {
    CListCtrl& list = GetListCtrl();
    const int rows = list.GetItemCount();
    switch (virtualKey) {
    case VK_DOWN:
        if (rows == 0 || selectedRow >= rows - 1) {
            return;
        }
        list.SetItemState(selectedRow, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (selectedRow < FilterCount()) {
            ++selectedRow;
        }
        SelectRow(selectedRow);
        return;
    case VK_UP:
        if (rows == 0 || selectedRow <= 0) {
            return;
        }
        list.SetItemState(selectedRow, 0, LVIS_SELECTED | LVIS_FOCUSED);
        --selectedRow;
        SelectRow(selectedRow);
        return;
    case VK_RETURN:
        // An empty list has no call to show.
        if (rows > 0) {
            OpenCallDetails(selectedRow);
        }
        return;
    default:
        CListView::OnKeyDown(virtualKey, repeatCount, flags);
        return;
    }
}

void CRinglogView::OnKeyUp(unsigned virtualKey, unsigned, unsigned) {
    QuitOnEndKey(virtualKey);
}

void CRinglogView::OnLButtonDown(unsigned flags, CPoint point) {
    CListView::OnLButtonDown(flags, point);
}

void CRinglogView::OnClick(NMITEMACTIVATE* click, LRESULT* result) {
    if (click->item < 0) {
        if (GetListCtrl().GetItemCount() > 0) {
            SelectRow(selectedRow);
        }
        return;
    }
    selectedRow = click->item;
    OpenCallDetails(click->item);
    SetFocus();
    *result = 0;
}

void CRinglogView::OnListNotify(NMHDR* header, LRESULT* result) {
    if (header->code == NM_LISTPRESS) {
        *result = 1;
    }
}

void CRinglogView::OpenCallDetails(int row) {
    const int p = static_cast<int>(GetListCtrl().GetItemData(row));
    CCallInfoDlg dialog(this);
    if (const NVXCallEntry* e = callList.EntryAt(p)) {
        CopyEntry(*e, dialog.entry);
        CopyEntry(*e, snapshot);
    }
    // What the user chose there is carried out by Refresh when the dialog closes.
    dialog.DoModal();
}

void CRinglogView::OnReverseLookup() {
    // Without a parent: the main window owns it. The list is left alone when it closes.
    CRevLookup dialog;
    dialog.DoModal();
}

void CRinglogView::OnAbout() {
    CAboutDlg dialog;
    dialog.DoModal();
}

bool CRinglogView::DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) {
    static const CommandEntry<CRinglogView> commands[] = {
        {ID_CALL, &CRinglogView::OnCall, &CRinglogView::OnUpdateCall},
        {ID_MENU_REVERSELOOKUP, &CRinglogView::OnReverseLookup},
        {ID_FILTER_ALLCALLS, ID_FILTER_OUTGOINGCALLS, &CRinglogView::OnFilter, &CRinglogView::OnUpdateFilter},
        {ID_FILTER_THISNUMBER, &CRinglogView::OnThisNumber, &CRinglogView::OnUpdateThisNumber},
        {ID_MENU_UNDODELETE, &CRinglogView::OnUndoDelete, &CRinglogView::OnUpdateUndoDelete},
        {ID_MENU_FIND, &CRinglogView::OnFind},
        {ID_MENU_EXPORTCALLS, &CRinglogView::OnExportCalls},
        {ID_MENU_ABOUT, &CRinglogView::OnAbout},
        {ID_MENU_DELETEALL, &CRinglogView::OnDeleteAll, &CRinglogView::OnUpdateDelete},
        {ID_MENU_DELETE, &CRinglogView::OnDelete, &CRinglogView::OnUpdateDelete},
    };
    return WalkCommandTable(this, commands, id, query, ui) || CListView::DispatchCommand(id, query, ui);
}

// Find.

void CRinglogView::OnFind() {
    CFindDlg dialog;
    dialog.text.Assign(search.Text());
    // The dialog's kind keeps Refresh from reloading: the search runs over the calls held now.
    if (dialog.DoModal() == IDOK) {
        ApplySearch(dialog.text.Data());
    }
}

void CRinglogView::ApplySearch(const char16_t* text) {
    search = CallSearch(text);
    selectedRow = 0;
    FillList();
    ShowTitle();
    Invalidate();
}

void CRinglogView::ShowSearchTitle() {
    // Without a search the title is the frame's to write.
    CWnd* frame = AfxGetMainWnd();
    if (search.IsEmpty() || frame == nullptr) {
        return;
    }
    // The bar holds the title beside its logo and the Done button: the typed text is cut, with an
    // ellipsis, to what fits the space left.
    CDC* dc = GetDC();
    const int room = clientRect.Width() - kTitleMargin;
    FixedText<CallSearch::kMaxTyped + 8> title;
    title.Format(u"Find: %s", {search.Text()});
    if (dc != nullptr) {
        size_t length = title.Length();
        while (length > 6 && dc->GetTextExtent(title.Data()).cx > room) {
            --length;
            title.chars[length - 1] = u'\u2026';
            title.chars[length] = u'\0';
        }
        ReleaseDC(dc);
    }
    frame->SetWindowText(title.Data());
}
