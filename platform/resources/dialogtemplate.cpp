#include "platform/resources/bytereader.h"
#include "platform/resources/resourcemodule.h"

#include <array>

// Classic dialog template (RT_DIALOG, DLGTEMPLATE), all values little-endian:
//   header:  u32 style, u32 extended style, u16 item count, i16 x, y, cx, cy   (18 bytes)
//            menu, window class: each 0xFFFF + u16 number, or zero-terminated UTF-16 (empty: none)
//            caption: zero-terminated UTF-16
//            if style has DS_SETFONT (0x40): u16 point size, face name zero-terminated UTF-16
//   items:   each starts on a 4-byte boundary counted from the template's start:
//            u32 style, u32 extended style, i16 x, y, cx, cy, u16 identifier   (18 bytes)
//            class: 0xFFFF + ordinal (0x80 button .. 0x85 combo box) or a class name
//            text:  0xFFFF + ordinal (a resource number) or zero-terminated UTF-16
//            u16 creation data size n, then n bytes of creation data
// Extended templates (DLGTEMPLATEEX, starting 0x0001 0xFFFF) are not read here.

namespace {

constexpr uint32_t kSetFont = 0x40;

char16_t AsciiLower(char16_t ch) {
    return (ch >= u'A' && ch <= u'Z') ? static_cast<char16_t>(ch - u'A' + u'a') : ch;
}

bool SameIgnoringCase(const std::u16string& a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The resource compiler writes the class of a CONTROL statement as its name; the predefined
// classes are given their ordinals so that callers see one form.
void MapPredefinedClass(DialogItem& item) {
    static constexpr std::array<std::u16string_view, 6> kNames = {u"button",  u"edit",      u"static",
                                                                  u"listbox", u"scrollbar", u"combobox"};
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (SameIgnoringCase(item.className, kNames[i])) {
            item.classIsOrdinal = true;
            item.classOrdinal = static_cast<uint16_t>(DLGCLASS_BUTTON + i);
            return;
        }
    }
}

// A lone zero (an empty name) means "none"; it is given as number 0.
bool ReadResourceId(ByteReader& reader, ResourceId& id) {
    if (!reader.NameOrOrdinal(id.isNumber, id.number, id.name)) {
        return false;
    }
    if (!id.isNumber && id.name.empty()) {
        id.isNumber = true;
        id.number = 0;
    }
    return true;
}

bool ReadItem(ByteReader& reader, DialogItem& item) {
    if (!reader.Align(4) || !reader.U32(item.style) || !reader.U32(item.exStyle) || !reader.I16(item.x) ||
        !reader.I16(item.y) || !reader.I16(item.cx) || !reader.I16(item.cy) || !reader.U16(item.id)) {
        return false;
    }
    if (!reader.NameOrOrdinal(item.classIsOrdinal, item.classOrdinal, item.className) ||
        !reader.NameOrOrdinal(item.textIsOrdinal, item.textOrdinal, item.text)) {
        return false;
    }
    if (!item.classIsOrdinal) {
        MapPredefinedClass(item);
    }
    uint16_t extra = 0;
    if (!reader.U16(extra) || extra > reader.Remaining()) {
        return false;
    }
    std::span<const uint8_t> bytes = reader.Bytes(extra);
    item.creationData.assign(bytes.begin(), bytes.end());
    return true;
}

} // namespace

int ParseDialogTemplate(std::span<const uint8_t> data, DialogTemplate& out) {
    ByteReader reader(data);
    DialogTemplate dialog;
    uint16_t count = 0;
    if (!reader.U32(dialog.style) || !reader.U32(dialog.exStyle) || !reader.U16(count) || !reader.I16(dialog.x) ||
        !reader.I16(dialog.y) || !reader.I16(dialog.cx) || !reader.I16(dialog.cy)) {
        return -1;
    }
    if ((dialog.style & 0xFFFF0000u) == 0xFFFF0000u && (dialog.style & 0xFFFFu) == 1) {
        return -1; // an extended template
    }
    if (!ReadResourceId(reader, dialog.menu) || !ReadResourceId(reader, dialog.windowClass) ||
        !reader.String16(dialog.caption)) {
        return -1;
    }
    if ((dialog.style & kSetFont) != 0 && (!reader.U16(dialog.pointSize) || !reader.String16(dialog.faceName))) {
        return -1;
    }
    // Every item takes at least 24 bytes, so a count beyond that is damaged, not merely short.
    if (count > reader.Remaining() / 24) {
        return -1;
    }
    dialog.items.resize(count);
    for (DialogItem& item : dialog.items) {
        if (!ReadItem(reader, item)) {
            return -1;
        }
    }
    out = std::move(dialog);
    return 0;
}
