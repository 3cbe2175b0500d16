#include "platform/ui/wndwidget.h"

#include "platform/shell/virtualkey.h"
#include "platform/ui/dc.h"
#include "platform/ui/wnd.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

WndWidget::WndWidget(CWnd* wndOwner, QWidget* parent) : QWidget(parent), owner(wndOwner) {}

WndWidget::~WndWidget() {
    if (owner != nullptr) {
        owner->WidgetDestroyed();
    }
}

void WndWidget::paintEvent(QPaintEvent*) {
    if (owner == nullptr) {
        return;
    }
    QPainter painter(this);
    CDC dc(&painter, this);
    if (!owner->OnEraseBkgnd(&dc)) {
        painter.fillRect(rect(), palette().color(QPalette::Base));
    }
    owner->OnPaint(&dc);
}

void WndWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (owner != nullptr) {
        owner->OnSize(0, width(), height());
    }
}

void WndWidget::keyPressEvent(QKeyEvent* event) {
    const unsigned key = VirtualKeyFromQtKey(event->key());
    if (owner == nullptr || key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    owner->OnKeyDown(key, 1, event->isAutoRepeat() ? 0x4000u : 0u);
}

void WndWidget::keyReleaseEvent(QKeyEvent* event) {
    const unsigned key = VirtualKeyFromQtKey(event->key());
    if (owner == nullptr || key == 0) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    owner->OnKeyUp(key, 1, 0);
}

void WndWidget::mousePressEvent(QMouseEvent* event) {
    if (owner == nullptr || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    owner->OnLButtonDown(0, CPoint{at.x(), at.y()});
}

void WndWidget::closeEvent(QCloseEvent* event) {
    // Whether the window goes away is the handler's decision, never the toolkit's.
    event->ignore();
    if (owner != nullptr) {
        owner->OnClose();
    }
}
