#include "platform/phone/desktopdialler.h"

#include "platform/phone/phonelog.h"
#include "platform/phone/placecall.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QString>
#include <QUrl>

namespace {

// A Linux phone's dialler (and a desktop's softphone) takes the number as a tel: URI.
void HandToDesktop(const PlacedCall& call) {
    // Only a program with a real display has a desktop to hand the call to: not the command-line
    // tool, and not the offscreen platform the tests run on.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr ||
        QGuiApplication::platformName() == QLatin1String("offscreen")) {
        return;
    }
    const QUrl uri(QString::fromStdString(TelUri(call.destination.c_str())));
    if (!QDesktopServices::openUrl(uri)) {
        qCWarning(phoneLog) << "no dialler took" << uri.toString();
    }
}

} // namespace

void UseDesktopDialler() {
    SetPlaceCallHandler(HandToDesktop);
}
