#include "platform/ui/windowposbatch.h"

#include "platform/ui/wnd.h"

#include <QWidget>

#include <new>

bool WindowPosBatch::Begin(int count) {
    if (count < 0) {
        return false;
    }
    moves.clear();
    try {
        moves.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    open = true;
    return true;
}

bool WindowPosBatch::Defer(CWnd* window, const CRect& rect) {
    if (!open || window == nullptr || window->GetSafeHwnd() == nullptr) {
        return false;
    }
    try {
        moves.push_back(Move{window, rect});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool WindowPosBatch::End() {
    if (!open) {
        return false;
    }
    open = false;
    // Painting waits until every window stands at its new place.
    std::vector<QWidget*> parents;
    for (const Move& move : moves) {
        QWidget* parent = move.window->GetSafeHwnd() != nullptr ? move.window->GetSafeHwnd()->parentWidget() : nullptr;
        if (parent != nullptr && parent->updatesEnabled()) {
            parent->setUpdatesEnabled(false);
            parents.push_back(parent);
        }
    }
    for (const Move& move : moves) {
        move.window->MoveWindow(move.rect.left, move.rect.top, move.rect.Width(), move.rect.Height());
    }
    for (QWidget* parent : parents) {
        parent->setUpdatesEnabled(true);
    }
    moves.clear();
    return true;
}
