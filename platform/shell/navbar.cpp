#include "platform/shell/navbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

NavBar::NavBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(kHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 4, 2);
    layout->setSpacing(4);

    auto* logo = new QLabel(QString(QChar(0x25C6)), this);
    logo->setStyleSheet(QStringLiteral("color: #9fd3ff; font-size: 11px;"));
    layout->addWidget(logo);

    titleLabel = new QLabel(this);
    titleLabel->setStyleSheet(QStringLiteral("color: white; font-weight: bold; font-size: 12px;"));
    layout->addWidget(titleLabel, 1);

    doneButton = new QPushButton(QStringLiteral("ok"), this);
    doneButton->setObjectName(QStringLiteral("doneButton"));
    doneButton->setFocusPolicy(Qt::NoFocus);
    doneButton->setFixedSize(30, 20);
    doneButton->setStyleSheet(
        QStringLiteral("QPushButton { color: white; font-weight: bold; font-size: 11px; border: 2px solid white;"
                       " border-radius: 10px; background: #1d4f91; }"
                       "QPushButton:pressed { background: #5b8fd1; }"));
    doneButton->hide();
    layout->addWidget(doneButton);
}

void NavBar::SetTitle(const QString& title) {
    titleLabel->setText(title);
}

QString NavBar::Title() const {
    return titleLabel->text();
}

void NavBar::SetDoneVisible(bool visible) {
    doneButton->setVisible(visible);
}

bool NavBar::DoneVisible() const {
    return !doneButton->isHidden();
}

void NavBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    // A deeper blue in a dark scheme (a dark window colour), as the screen under the bar darkens.
    if (palette().color(QPalette::Window).lightness() < 128) {
        gradient.setColorAt(0.0, QColor(30, 66, 126));
        gradient.setColorAt(1.0, QColor(10, 34, 80));
    } else {
        gradient.setColorAt(0.0, QColor(42, 92, 170));
        gradient.setColorAt(1.0, QColor(14, 48, 110));
    }
    painter.fillRect(rect(), gradient);
}
