#include "platform/ui/waitcursor.h"

#include "platform/shell/shellservices.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor() {
    ShellServices::ShowWaitCursor(true);
}

CWaitCursor::~CWaitCursor() {
    ShellServices::ShowWaitCursor(false);
}

bool CWaitCursor::IsShowing() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}
