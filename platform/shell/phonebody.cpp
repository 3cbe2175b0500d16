#include "platform/shell/phonebody.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QString>

namespace {

// A speaker above the screen, the Talk and End keys below it.
constexpr int kBezelSide = 14;
constexpr int kBezelTop = 40;
constexpr int kBezelBottom = 66;
constexpr int kKeyWidth = 56;
constexpr int kKeyHeight = 24;

int KeyTop(QSize screen) {
    return kBezelTop + screen.height() + 18;
}

} // namespace

QMargins PhoneBody::Margins() {
    return QMargins(kBezelSide, kBezelTop, kBezelSide, kBezelBottom);
}

void PhoneBody::Paint(QPainter& painter, QSize window, QSize screen) {
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(QRect(QPoint(0, 0), window)).adjusted(0.5, 0.5, -0.5, -0.5), 26, 26);
    QLinearGradient gradient(0, 0, window.width(), 0);
    gradient.setColorAt(0.0, QColor(38, 40, 46));
    gradient.setColorAt(0.5, QColor(70, 74, 82));
    gradient.setColorAt(1.0, QColor(38, 40, 46));
    painter.fillPath(body, gradient);
    painter.setPen(QPen(QColor(15, 15, 18), 1));
    painter.drawPath(body);
    // The speaker slot above the screen.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(15, 15, 18));
    painter.drawRoundedRect(QRectF(window.width() / 2.0 - 28, 16, 56, 6), 3, 3);
    // A thin dark frame around the glass.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(10, 10, 12), 3));
    painter.drawRect(QRect(kBezelSide - 2, kBezelTop - 2, screen.width() + 3, screen.height() + 3));
    // The navigation pad between the Talk and End keys.
    const QPointF pad(window.width() / 2.0, kBezelTop + screen.height() + 30);
    painter.setPen(QPen(QColor(20, 20, 24), 2));
    painter.setBrush(QColor(96, 100, 110));
    painter.drawEllipse(pad, 20, 14);
}

QRect PhoneBody::TalkKeyRect(QSize screen) {
    return QRect(kBezelSide + 10, KeyTop(screen), kKeyWidth, kKeyHeight);
}

QRect PhoneBody::EndKeyRect(QSize screen) {
    return QRect(kBezelSide + screen.width() - 10 - kKeyWidth, KeyTop(screen), kKeyWidth, kKeyHeight);
}

QPushButton* PhoneBody::MakeKey(QWidget* parent, const QString& name, const QString& label, const QColor& colour) {
    auto* key = new QPushButton(label, parent);
    key->setObjectName(name);
    key->setFocusPolicy(Qt::NoFocus);
    key->setStyleSheet(QStringLiteral("QPushButton { color: white; font-weight: bold; font-size: 11px;"
                                      " border-radius: 11px; border: 1px solid #111; background: %1; }"
                                      "QPushButton:pressed { background: %2; }")
                           .arg(colour.name(), colour.darker(140).name()));
    return key;
}
