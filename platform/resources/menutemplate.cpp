#include "platform/resources/bytereader.h"
#include "platform/resources/resourcemodule.h"

// MENU template (RT_MENU), all values little-endian:
//   header:  u16 version (0), u16 header extension size n; n bytes are skipped
//   items:   u16 flags (MF_*); if not MF_POPUP: u16 command identifier;
//            text as zero-terminated UTF-16
//   a popup's children follow it directly and end with the child carrying MF_END;
//   the top level ends the same way. MENUEX templates (version 1) are not read here.

namespace {

// Deeper menus than this are treated as damaged data rather than recursed into.
constexpr int kMaxMenuDepth = 8;

bool ReadMenuLevel(ByteReader& reader, int depth, std::vector<MenuItem>& items) {
    if (depth > kMaxMenuDepth) {
        return false;
    }
    for (;;) {
        MenuItem item;
        if (!reader.U16(item.flags)) {
            return false;
        }
        item.isPopup = (item.flags & MF_POPUP) != 0;
        if (!item.isPopup && !reader.U16(item.id)) {
            return false;
        }
        if (!reader.String16(item.text)) {
            return false;
        }
        // The resource compiler writes MENUITEM SEPARATOR as an item with no text and identifier 0.
        item.isSeparator = (item.flags & MF_SEPARATOR) != 0 || (!item.isPopup && item.id == 0 && item.text.empty());
        if (item.isPopup && !ReadMenuLevel(reader, depth + 1, item.children)) {
            return false;
        }
        bool last = (item.flags & MF_END) != 0;
        items.push_back(std::move(item));
        if (last) {
            return true;
        }
    }
}

} // namespace

int ParseMenuTemplate(std::span<const uint8_t> data, MenuTemplate& out) {
    ByteReader reader(data);
    uint16_t version = 0;
    uint16_t extension = 0;
    if (!reader.U16(version) || !reader.U16(extension) || version != 0 || !reader.Skip(extension)) {
        return -1;
    }
    MenuTemplate menu;
    if (!ReadMenuLevel(reader, 0, menu.items)) {
        return -1;
    }
    out = std::move(menu);
    return 0;
}
