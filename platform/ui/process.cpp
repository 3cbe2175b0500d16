#include "platform/ui/process.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdlib>

namespace {

EndProcessHook endHook = nullptr;
QEventLoop* mainLoop = nullptr;

} // namespace

void EndProcess(int exitCode) {
    if (endHook != nullptr) {
        endHook(exitCode);
        return;
    }
    std::exit(exitCode);
}

EndProcessHook SetEndProcessHook(EndProcessHook hook) {
    EndProcessHook previous = endHook;
    endHook = hook;
    return previous;
}

void PostQuitMessage(int exitCode) {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    // Only the application's own loop is ended: a quit posted while no loop runs is dropped.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [exitCode] {
            if (mainLoop != nullptr) {
                mainLoop->exit(exitCode);
            }
        },
        Qt::QueuedConnection);
}

int RunMessageLoop() {
    QEventLoop loop;
    mainLoop = &loop;
    const int code = loop.exec();
    mainLoop = nullptr;
    return code;
}
