#pragma once

#include "platform/ui/wintypes.h"

#include <cstdint>
#include <memory>
#include <string>

class CFont;
class QFont;
class QPainter;
class QWidget;

using COLORREF = uint32_t;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>(r & 0xFF) | (static_cast<COLORREF>(g & 0xFF) << 8) |
           (static_cast<COLORREF>(b & 0xFF) << 16);
}

// Text formats of DrawText.
enum : unsigned {
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_END_ELLIPSIS = 0x8000,
};

// Background modes.
enum : int {
    TRANSPARENT = 1,
    OPAQUE = 2,
};

// System colours by index: window background, window text, highlight, highlight text, button text. The phone
// passes them with a flag of its own (0x40000000); here the index alone names the colour.
enum : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNTEXT = 18,
};
COLORREF GetSysColor(int index);

// A drawing context: a painter while a window paints, or a measuring context of a window. Fonts
// selected into it stay owned by the caller.
class CDC {
public:
    // painter may be null: then the context measures only.
    CDC(QPainter* painter, const QWidget* window);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Selects the font and returns the one selected before; null selects the window's own font again.
    CFont* SelectObject(CFont* font);
    COLORREF SetTextColor(COLORREF colour);
    int SetBkMode(int mode);
    void FillSolidRect(const CRect& rect, COLORREF colour);
    int DrawText(const char16_t* text, const CRect& rect, unsigned format);
    CSize GetTextExtent(const char16_t* text) const;
    // The part of the window being painted (the whole window when nothing limits it); an empty
    // rectangle for a measuring context.
    void GetClipBox(CRect& rect) const;
    // The painter behind the context (null for a measuring context), for the image list.
    QPainter* Painter() const { return painter; }
    // Every text drawn from now on is also appended to sink (null stops it): what a screen reader
    // is told the window shows.
    void CaptureText(std::u16string* sink) { capture = sink; }
    // What was selected and set, for the framework that paints with it.
    CFont* SelectedFont() const { return selected; }
    int GetBkMode() const { return backgroundMode; }

private:
    QPainter* painter;
    std::unique_ptr<QFont> windowFont;
    std::unique_ptr<QFont> currentFont;
    std::u16string* capture = nullptr;
    CFont* selected = nullptr;
    COLORREF textColour;
    int backgroundMode = OPAQUE;
};
