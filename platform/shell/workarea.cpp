#include "platform/shell/workarea.h"

#include <QCoreApplication>
#include <QResizeEvent>

WorkArea::WorkArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("workArea"));
}

void WorkArea::PlaceFullScreen(QWidget* window) {
    const QSize oldSize = window->size();
    window->setGeometry(rect());
    // A window not shown yet would hear of its size only when shown; the full-screen sizing is part
    // of its start-up, so it hears of it now, once.
    if (!window->isVisible()) {
        QResizeEvent resize(window->size(), oldSize);
        QCoreApplication::sendEvent(window, &resize);
        window->setAttribute(Qt::WA_PendingResizeEvent, false);
    }
    window->raise();
}
