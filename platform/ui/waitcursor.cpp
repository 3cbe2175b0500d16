#include "platform/ui/waitcursor.h"

#include "platform/shell/shell.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor() {
    if (Shell* shell = CurrentShell()) {
        shell->ShowWaitCursor(true);
    }
}

CWaitCursor::~CWaitCursor() {
    if (Shell* shell = CurrentShell()) {
        shell->ShowWaitCursor(false);
    }
}

bool CWaitCursor::IsShowing() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}
