#include "platform/ui/winmain.h"

#include "platform/resources/resourcemodule.h"
#include "platform/shell/phonescreen.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/winapp.h"

#include <QApplication>
#include <QFont>
#include <QPixmap>

#include <cstdio>

namespace {

void BringToFront() {
    if (!PhoneScreen::Exists()) {
        return;
    }
    PhoneScreen* phone = PhoneScreen::Instance();
    phone->setWindowState(phone->windowState() & ~Qt::WindowMinimized);
    phone->show();
    PhoneScreen::RaiseTopLevel(phone);
}

int WriteScreenshot(const std::string& path) {
    // Lets the first paint and any queued layout happen before the picture is taken.
    QApplication::processEvents();
    QApplication::processEvents();
    // A first rendering lets the screen settle as after its first paint on the phone: the soft keys
    // are asked again once the list has painted (whether the selected call can be returned).
    PhoneScreen::Instance()->grab();
    QApplication::processEvents();
    const QPixmap picture = PhoneScreen::Instance()->grab();
    if (!picture.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "ringlog: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int AfxWinMain(int argc, char** argv, const PlatformSwitches& switches, const std::string& instanceKey) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->appName.empty()) {
        ResourceModule::Program().LoadString(CWinApp::kAppTitleStringId, app->appName);
    }

    // Before the window system is touched: a second start opens nothing.
    SingleInstance instance;
    if (instance.Claim(instanceKey) == SingleInstance::AnotherRunning) {
        return -1;
    }

    QApplication application(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QApplication::setApplicationDisplayName(QString::fromStdU16String(app->appName));
    instance.SetRaiseHandler(BringToFront);

    // Nobody is there to answer a message box while the picture is taken.
    PhoneScreen::SetUnattended(!switches.screenshot.empty());
    PhoneScreen::RequestFullScreen(switches.fullScreen);
    if (!app->InitInstance()) {
        return 1;
    }
    if (!switches.screenshot.empty()) {
        return WriteScreenshot(switches.screenshot);
    }
    return app->Run();
}
