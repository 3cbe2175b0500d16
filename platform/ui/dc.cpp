#include "platform/ui/dc.h"

#include "platform/text/textqt.h"
#include "platform/ui/font.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace {

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QRect ToQRect(const CRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

} // namespace

COLORREF GetSysColor(int index) {
    const QPalette palette = QApplication::palette();
    QColor colour;
    switch (index) {
    case COLOR_WINDOW:
        colour = palette.color(QPalette::Base);
        break;
    case COLOR_WINDOWTEXT:
        colour = palette.color(QPalette::Text);
        break;
    case COLOR_HIGHLIGHT:
        colour = palette.color(QPalette::Highlight);
        break;
    case COLOR_HIGHLIGHTTEXT:
        colour = palette.color(QPalette::HighlightedText);
        break;
    case COLOR_BTNTEXT:
        colour = palette.color(QPalette::ButtonText);
        break;
    default:
        return RGB(0, 0, 0);
    }
    return RGB(colour.red(), colour.green(), colour.blue());
}

CDC::CDC(QPainter* dcPainter, const QWidget* window)
    : painter(dcPainter), windowFont(std::make_unique<QFont>(window != nullptr ? window->font() : QFont())),
      currentFont(std::make_unique<QFont>(*windowFont)), textColour(GetSysColor(COLOR_WINDOWTEXT)) {}

CDC::~CDC() = default;

CFont* CDC::SelectObject(CFont* font) {
    CFont* previous = selected;
    selected = font;
    // Selecting back the font the context started with (which no CFont stands for) restores it.
    *currentFont = font != nullptr && font->Font() != nullptr ? *font->Font() : *windowFont;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF colour) {
    const COLORREF previous = textColour;
    textColour = colour;
    return previous;
}

int CDC::SetBkMode(int mode) {
    const int previous = backgroundMode;
    backgroundMode = mode;
    return previous;
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
    if (painter == nullptr) {
        return;
    }
    // A list fills a rectangle for every row, most of them out of view: skip those early.
    const QRect area = ToQRect(rect);
    if (painter->hasClipping() && !painter->clipBoundingRect().intersects(area)) {
        return;
    }
    painter->fillRect(area, ToQColor(colour));
}

int CDC::DrawText(const char16_t* text, const CRect& rect, unsigned format) {
    const QFontMetrics metrics(*currentFont);
    if (painter == nullptr) {
        return metrics.height();
    }
    if (capture != nullptr && text != nullptr) {
        capture->append(text);
    }
    QString shown = ToQString(text);
    int flags = (format & DT_WORDBREAK) != 0 ? Qt::TextWordWrap : 0;
    flags |= (format & DT_CENTER) != 0 ? Qt::AlignHCenter : (format & DT_RIGHT) != 0 ? Qt::AlignRight : Qt::AlignLeft;
    // Vertical centring needs a single line; without the flag the text stands at the top.
    if ((format & DT_SINGLELINE) != 0) {
        flags &= ~Qt::TextWordWrap;
        flags |= (format & DT_VCENTER) != 0  ? Qt::AlignVCenter
                 : (format & DT_BOTTOM) != 0 ? Qt::AlignBottom
                                             : Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
    }
    if ((format & DT_END_ELLIPSIS) != 0) {
        flags &= ~Qt::TextWordWrap;
        shown = metrics.elidedText(shown, Qt::ElideRight, rect.Width());
    }
    painter->save();
    painter->setFont(*currentFont);
    painter->setPen(ToQColor(textColour));
    painter->setClipRect(ToQRect(rect), painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter->drawText(ToQRect(rect), flags, shown);
    painter->restore();
    return metrics.height();
}

CSize CDC::GetTextExtent(const char16_t* text) const {
    const QFontMetrics metrics(*currentFont);
    return CSize{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void CDC::GetClipBox(CRect& rect) const {
    rect = CRect{};
    if (painter == nullptr || painter->device() == nullptr) {
        return;
    }
    QRect box(0, 0, painter->device()->width(), painter->device()->height());
    if (painter->hasClipping()) {
        box = box.intersected(painter->clipBoundingRect().toAlignedRect());
    }
    rect = CRect{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
}
