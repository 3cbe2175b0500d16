#pragma once

#include "platform/ui/wintypes.h"

#include <vector>

class CWnd;

// Deferred window positioning: moves and resizes are queued and then applied together, so the
// windows never show a half-done layout. Stacking order is left alone. The queued windows must
// live until End: a batch is opened and closed within one handler.
class WindowPosBatch {
public:
    // Opens a batch with room for count windows. False (and no batch) when it cannot be had.
    bool Begin(int count);
    // Queues the window's move to rect (in its parent's pixels). False for a null window or when no
    // batch is open; the batch then stays as it was.
    bool Defer(CWnd* window, const CRect& rect);
    // Applies every queued move at once and closes the batch. False when no batch was open.
    bool End();

    bool IsOpen() const { return open; }

private:
    struct Move {
        CWnd* window;
        CRect rect;
    };
    std::vector<Move> moves;
    bool open = false;
};
