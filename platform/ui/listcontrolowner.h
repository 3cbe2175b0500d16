#pragma once

#include "platform/ui/listnotify.h"

#include <string>

// What a list control asks of the window that owns it: the height of its rows, the drawing of each
// row, what a press and a click mean, and how a row reads aloud. The list view implements it; the
// list never knows what the owner is.
class ListControlOwner {
public:
    virtual ~ListControlOwner() = default;

    // The row-height request of an owner-drawn list; itemHeight comes in as the font's line.
    virtual void MeasureItem(MEASUREITEMSTRUCT* measure) = 0;
    // Custom draw: once for the list before its rows (the answer says whether rows are asked for),
    // then for each row in view.
    virtual void OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) = 0;
    // A tap lifted: the row under it (-1 for none), after the selection moved there.
    virtual void OnClick(NMITEMACTIVATE* click, LRESULT* result) = 0;
    // Any other notification (a press about to become a tap).
    virtual void OnListNotify(NMHDR* header, LRESULT* result) = 0;
    // What a screen reader says for the row.
    virtual void GetSpokenText(int row, std::u16string& text) = 0;
};
