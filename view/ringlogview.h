#pragma once

#include "calllog/calllist.h"
#include "calllog/callsearch.h"
#include "calllog/nvxcallentry.h"
#include "platform/ui/imagelist.h"
#include "platform/ui/listview.h"

#include <cstdint>
#include <string>

// The ground colour of the call-type icons, and of the icon column behind them.
constexpr COLORREF ICON_COLUMN_COLOUR = RGB(74, 121, 173);

// The main window's client area: one list in which every call of the phone's call log is a row. Owns
// the call list the rows are made from, filters it (all, missed, incoming, outgoing), keeps one row
// selected, paints the rows itself, and brings itself up to date at every activation change. Under
// This Number it keeps the chosen number's key and the title that names it.
class CRinglogView : public CListView {
public:
    CRinglogView();
    ~CRinglogView() override;

    // Rebuilds every row from callList under filterMode, recounts, restores the selection.
    void FillList();
    // The activation routine: hot keys, what the last dialog asked for, reload, selection, focus.
    void Refresh();
    // Whether the call behind the row can be returned.
    bool CanCall(int row);
    // Size of the time part of a row's first line, in the platform's default font.
    CSize MeasureTimeWidth(const char16_t* line);

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnActivateView(bool activate, CView* activateView, CView* deactiveView) override;
    // Names arrived late from the address books: the list reloads as at an activation.
    void OnDataChanged() override;

    void OnKeyDown(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
    void OnKeyUp(unsigned virtualKey, unsigned repeatCount, unsigned flags) override;
    bool OnEraseBkgnd(CDC* dc) override;
    void MeasureItem(MEASUREITEMSTRUCT* measure) override;
    void OnSetFont(const CFont* font, bool redraw) override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnClick(NMITEMACTIVATE* click, LRESULT* result) override;
    void OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override;
    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnListNotify(NMHDR* header, LRESULT* result) override;
    void GetSpokenText(int row, std::u16string& text) override;

    void OnCall();
    void OnReverseLookup();
    void OnFilter(unsigned id);
    void OnAbout();
    void OnDeleteAll();
    void OnDelete();
    void OnUpdateDelete(CCmdUI* ui);
    void OnUndoDelete();
    void OnUpdateUndoDelete(CCmdUI* ui);
    void OnUpdateFilter(CCmdUI* ui);
    void OnUpdateCall(CCmdUI* ui);
    void OnThisNumber();
    void OnUpdateThisNumber(CCmdUI* ui);
    void OnExportCalls();

    CImageList imageList;
    CallList callList;
    unsigned filterMode;
    NVXCallEntry snapshot;
    CRect clientRect;
    int32_t callEnabled = 0;
    int32_t selectedRow = 0;
    int32_t missedCount = 0;
    int32_t incomingCount = 0;
    int32_t outgoingCount = 0;
    int32_t allCount = 0;
    // Under This Number: the rows shown.
    int32_t thisNumberCount = 0;
    unsigned lastFilledFilter;
    // Under This Number: the key every row's number has, and the caller's name or the number.
    std::string thisNumberKey;
    FixedText<101> thisNumberTitle;

    // Find: asks for a text and searches the calls held now, within the filter.
    void OnFind();
    // Shows only the calls the text finds, within the filter; an empty text ends the search.
    void ApplySearch(const char16_t* text);
    // The navigation bar's title: "Find: text", cut to fit, while a search is on; nothing otherwise.
    void ShowSearchTitle();
    // The search that is on, empty when none is.
    CallSearch search;

protected:
    bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) override;

private:
    // The counter that belongs to filterMode, or under a search the rows shown; it equals the number
    // of rows.
    int32_t FilterCount();
    // Whether the entry is one of the rows filterMode shows.
    bool ShowsUnderFilter(const NVXCallEntry& entry) const;
    // The navigation-bar title: the search while one is on, else the caller under This Number, else
    // the program's name.
    void ShowTitle();
    // Gives row the selected state (its focused state cleared) and scrolls it into view.
    void SelectRow(int row);
    // callList.DeleteAt under the wait cursor.
    int DeleteWaiting(int position, DeleteFailure* failure);
    // After a Delete the store did not carry out: reads the list again and selects row 0 when the
    // call is gone, else tells the user why and selects the chosen call again.
    void AfterFailedDelete(DeleteFailure failure, const NVXCallEntry& chosen);
    // A message box owned by the view: what was not deleted, then why.
    void TellNotDeleted(const char16_t* outcome, DeleteFailure failure);
    // The row that shows the call at position in the call list, or 0 when no row does.
    int RowOfPosition(int position);
    // The row of the call list's entry that is the call, or 0 when no row is.
    int RowOfCall(const NVXCallEntry& call);
    // Opens the call details of the row, with a copy of its entry.
    void OpenCallDetails(int row);
    void PrePaintList(NMLVCUSTOMDRAW* draw);
    LRESULT PrePaintRow(NMLVCUSTOMDRAW* draw);
};
