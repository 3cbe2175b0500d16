#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QColor;
class QPainter;
class QPushButton;
class QString;
class QWidget;

// The phone drawn around the screen when the program runs in a window of a desktop: the body with
// its speaker slot, the frame of the glass and the navigation pad, and the places of the Talk and
// End keys under the screen. Only drawing and measures; the phone screen owns the keys.
class PhoneBody {
public:
    // The body around the screen.
    static QMargins Margins();
    // Paints the body of a phone window of that size around a screen of that size.
    static void Paint(QPainter& painter, QSize window, QSize screen);
    // Where the Talk key (left) and the End key (right) lie, under a screen of that size.
    static QRect TalkKeyRect(QSize screen);
    static QRect EndKeyRect(QSize screen);
    // A key of the body: a rounded button in the colour that never takes the focus.
    static QPushButton* MakeKey(QWidget* parent, const QString& name, const QString& label, const QColor& colour);
};
