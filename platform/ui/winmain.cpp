#include "platform/ui/winmain.h"

#include "platform/resources/resourcemodule.h"
#include "platform/shell/shell.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/winapp.h"

#include <QApplication>
#include <QFont>

#include <cstdio>

namespace {

void BringToFront() {
    if (Shell* shell = CurrentShell()) {
        shell->BringToFront();
    }
}

} // namespace

int AfxWinMain(int argc, char** argv, const PlatformSwitches& switches, const std::string& instanceKey, Shell& shell) {
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

    // The shell's controls go before the application's window system does.
    SetCurrentShell(&shell);
    struct ShellEnd {
        Shell& shell;
        ~ShellEnd() {
            shell.DestroyShellControls();
            SetCurrentShell(nullptr);
        }
    } end{shell};
    if (!app->InitInstance()) {
        return 1;
    }
    if (!switches.screenshot.empty()) {
        if (shell.SaveScreen(switches.screenshot) != 0) {
            std::fprintf(stderr, "ringlog: cannot write %s\n", switches.screenshot.c_str());
            return 1;
        }
        return 0;
    }
    return app->Run();
}
