#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The text around the cursor of an edit field as a phone's text-input protocol carries it: UTF-8
// of at most kMaxBytes, with the cursor and the anchor as byte offsets. It owns that window of the
// field's text, and turns the keyboard's deletions, given in its bytes, back into UTF-16.
class SurroundingText {
public:
    static constexpr int kMaxBytes = 4000;

    // A deletion as QInputMethodEvent takes it: start relative to the cursor (0 or less) and
    // length, in UTF-16 units of the field.
    struct Range {
        int start = 0;
        int length = 0;
    };

    // cursor and anchor are UTF-16 positions in text; a longer text is cut around the cursor, at
    // whole characters.
    SurroundingText(const QString& text, int cursor, int anchor);

    const QByteArray& Utf8() const { return utf8; }
    int CursorByte() const { return cursorByte; }
    int AnchorByte() const { return anchorByte; }

    // beforeBytes before and afterBytes after the cursor, counted in whole characters of the text
    // carried: a length past its end stops there, a character only partly covered stays.
    Range DeletionAround(uint32_t beforeBytes, uint32_t afterBytes) const;

private:
    QString carried;
    int cursorInCarried = 0;
    QByteArray utf8;
    int cursorByte = 0;
    int anchorByte = 0;
};
