#include "platform/ui/dc.h"

#include "platform/text/textqt.h"
#include "platform/ui/font.h"

#include <QFontMetrics>
#include <QPainter>
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

CDC::CDC(QPainter* dcPainter, const QWidget* window)
    : painter(dcPainter), currentFont(window != nullptr ? window->font() : QFont()) {}

CFont* CDC::SelectObject(CFont* font) {
    CFont* previous = selected;
    selected = font;
    if (font != nullptr && font->Font() != nullptr) {
        currentFont = *font->Font();
    }
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
    if (painter != nullptr) {
        painter->fillRect(ToQRect(rect), ToQColor(colour));
    }
}

int CDC::DrawText(const char16_t* text, const CRect& rect, unsigned format) {
    const QFontMetrics metrics(currentFont);
    if (painter == nullptr) {
        return metrics.height();
    }
    QString shown = ToQString(text);
    int flags = Qt::TextWordWrap;
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
    painter->setFont(currentFont);
    painter->setPen(ToQColor(textColour));
    painter->setClipRect(ToQRect(rect));
    painter->drawText(ToQRect(rect), flags, shown);
    painter->restore();
    return metrics.height();
}

CSize CDC::GetTextExtent(const char16_t* text) const {
    const QFontMetrics metrics(currentFont);
    return CSize{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}
