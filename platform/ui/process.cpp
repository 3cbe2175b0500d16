#include "platform/ui/process.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace {

EndProcessHook endHook = nullptr;
QEventLoop* mainLoop = nullptr;

} // namespace

void EndProcess(int exitCode) {
    if (endHook != nullptr) {
        endHook(exitCode);
        return;
    }
    // Qt may run threads of its own by now (the accessibility bus has a D-Bus thread); running the
    // statics' destructors under them can abort the process. Nothing the program keeps needs that
    // clean-up (the store is consistent after every statement), so the output is flushed and the
    // process ends at once.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    _exit(exitCode);
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
