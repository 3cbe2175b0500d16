#include "platform/ui/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

CWaitCursor::~CWaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool CWaitCursor::IsShowing() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}
