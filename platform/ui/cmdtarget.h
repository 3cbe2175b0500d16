#pragma once

#include "platform/ui/cmdui.h"

#include <cstddef>

// What a command table is asked: run the command's handler, run its update handler, or only say
// whether a handler exists (items without one are shown disabled).
enum class CommandQuery {
    Run,
    Update,
    Probe,
};

// One row of a class's command table: a command (or a range of commands), its handler and its update
// handler; either may be null.
//   {ID_CALL, &CRinglogView::OnCall, &CRinglogView::OnUpdateCall}
//   {ID_FILTER_ALLCALLS, ID_FILTER_OUTGOINGCALLS, &CRinglogView::OnFilter, &CRinglogView::OnUpdateFilter}
template <class T> struct CommandEntry {
    using Handler = void (T::*)();
    using RangeHandler = void (T::*)(unsigned);
    using UpdateHandler = void (T::*)(CCmdUI*);

    constexpr CommandEntry(unsigned id, Handler handler, UpdateHandler update = nullptr)
        : firstId(id), lastId(id), onCommand(handler), onUpdate(update) {}
    constexpr CommandEntry(unsigned id, std::nullptr_t, UpdateHandler update)
        : firstId(id), lastId(id), onUpdate(update) {}
    constexpr CommandEntry(unsigned first, unsigned last, RangeHandler handler, UpdateHandler update = nullptr)
        : firstId(first), lastId(last), onRange(handler), onUpdate(update) {}
    constexpr CommandEntry(unsigned first, unsigned last, std::nullptr_t, UpdateHandler update)
        : firstId(first), lastId(last), onUpdate(update) {}

    unsigned firstId;
    unsigned lastId;
    Handler onCommand = nullptr;
    RangeHandler onRange = nullptr;
    UpdateHandler onUpdate = nullptr;
};

// Walks a table top to bottom; the first row that answers the query wins.
template <class T, size_t N>
bool WalkCommandTable(T* target, const CommandEntry<T> (&table)[N], unsigned id, CommandQuery query, CCmdUI* ui) {
    for (const CommandEntry<T>& entry : table) {
        if (id < entry.firstId || id > entry.lastId) {
            continue;
        }
        const bool hasHandler = entry.onCommand != nullptr || entry.onRange != nullptr;
        if (query == CommandQuery::Probe && hasHandler) {
            return true;
        }
        if (query == CommandQuery::Run && entry.onCommand != nullptr) {
            (target->*entry.onCommand)();
            return true;
        }
        if (query == CommandQuery::Run && entry.onRange != nullptr) {
            (target->*entry.onRange)(id);
            return true;
        }
        if (query == CommandQuery::Update && entry.onUpdate != nullptr && ui != nullptr) {
            (target->*entry.onUpdate)(ui);
            return true;
        }
    }
    return false;
}

// Anything that receives commands. OnCmdMsg routes a command (a frame: view, document, frame,
// application); DispatchCommand walks the class's own table, then its base class's.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    virtual bool OnCmdMsg(unsigned id, CommandQuery query, CCmdUI* ui);

protected:
    virtual bool DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui);
};
