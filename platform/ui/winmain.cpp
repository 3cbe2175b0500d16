#include "platform/ui/winmain.h"

#include "platform/msgbox/messagebox.h"
#include "platform/resources/resourcemodule.h"
#include "platform/shell/shell.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/desktopcolourscheme.h"
#include "platform/ui/noticereceiver.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/waylandactivation.h"
#include "platform/ui/waylandtextinput.h"
#include "platform/ui/winapp.h"

#include <QApplication>
#include <QFont>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// The application's name: the application object's own, else the program's title string (which
// the application object keeps from then on).
std::u16string ApplicationName() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && !app->appName.empty()) {
        return app->appName;
    }
    std::u16string title;
    ResourceModule::Program().LoadString(CWinApp::kAppTitleStringId, title);
    if (app != nullptr) {
        app->appName = title;
    }
    return title;
}

// The window system's application as the phone has it: its font, the application's name in window
// titles, and the names the desktop knows the windows by. The class must be set before the first
// window is made: the window system reads it then.
void SetUpApplication(const DesktopIdentity& identity) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QApplication::setApplicationName(QString::fromUtf8(identity.windowClass));
    QApplication::setApplicationDisplayName(QString::fromStdU16String(ApplicationName()));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(identity.desktopFileName));
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether a window system can start: without a display the window system's application ends the
// process itself, before a refusal could be shown.
bool WindowSystemReachable(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) {
            return true;
        }
    }
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

// The shell's controls go before the application's window system does, and the shell that was
// current before comes back.
class ShellInUse {
public:
    explicit ShellInUse(Shell& inUse) : shell(inUse), previous(&CurrentShell()) { SetCurrentShell(&shell); }
    ~ShellInUse() {
        shell.DestroyShellControls();
        SetCurrentShell(previous);
    }
    ShellInUse(const ShellInUse&) = delete;
    ShellInUse& operator=(const ShellInUse&) = delete;

private:
    Shell& shell;
    Shell* previous;
};

} // namespace

int AfxWinMain(int argc, char** argv, const PlatformSwitches& switches, const DesktopIdentity& identity,
               const std::string& instanceKey, Shell& shell) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    ApplicationName();

    // Before the window system is touched: a second start opens nothing.
    SingleInstance instance;
#if RINGLOG_WAYLAND_CLIENT
    // On Wayland the running program comes to the front only with a token it is handed.
    instance.SetTokenSource(
        [&identity] { return WaylandActivation::TokenForRunningProgram(identity.desktopFileName); });
#endif
    if (instance.Claim(instanceKey) == SingleInstance::AnotherRunning) {
        return -1;
    }

    // Without a display the window system's application would abort the process. A picture of the
    // screen needs none: it is drawn off-screen, chosen on the command line because the address
    // books' reading thread may be reading the environment already.
    static char platformSwitch[] = "-platform";
    static char offscreen[] = "offscreen";
    std::vector<char*> arguments(argv, argv + argc);
    if (!WindowSystemReachable(argc, argv)) {
        if (switches.screenshot.empty()) {
            std::fputs("ringlog: no display to show the phone on (DISPLAY and WAYLAND_DISPLAY are unset; "
                       "--screenshot FILE needs none)\n",
                       stderr);
            return 1;
        }
        arguments.push_back(platformSwitch);
        arguments.push_back(offscreen);
    }
    int argumentCount = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication application(argumentCount, arguments.data());
    // Notices from the address books' reading thread reach the program only while the application lives.
    NoticeReceiver notices;
    SetUpApplication(identity);
    // The desktop's colour scheme arrives when the portal answers; the first screen does not wait.
    DesktopColourScheme::Follow();
#if RINGLOG_WAYLAND_CLIENT
    WaylandActivation activation;
    instance.SetRaiseHandler([&activation](const std::string& token) {
        ShellServices::BringToFront();
        activation.Activate(token);
    });
#else
    instance.SetRaiseHandler([](const std::string&) { ShellServices::BringToFront(); });
#endif

    ShellInUse inUse(shell);
    if (!app->InitInstance()) {
        return 1;
    }
    if (!switches.screenshot.empty()) {
        // A picture shows the screen in the scheme the user would see.
        DesktopColourScheme::WaitForFirstAnswer(10000);
        if (ShellServices::SaveScreen(switches.screenshot) != 0) {
            std::fprintf(stderr, "ringlog: cannot write %s\n", switches.screenshot.c_str());
            return 1;
        }
        return 0;
    }
#if RINGLOG_WAYLAND_CLIENT
    // The main window is up: the window system has its display and seat.
    WaylandTextInput textInput;
    textInput.Start();
    activation.Start();
#endif
    return app->Run();
}

int AfxRefuseStart(int argc, char** argv, const PlatformSwitches& switches, const DesktopIdentity& identity,
                   Shell& shell, const std::string& reason) {
    constexpr int kFailedStart = 1;
    if (!switches.screenshot.empty()) {
        return kFailedStart;
    }
    std::optional<QApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        if (!WindowSystemReachable(argc, argv)) {
            return kFailedStart;
        }
        application.emplace(argc, argv);
        SetUpApplication(identity);
    }
    ShellInUse inUse(shell);
    shell.InitShellControls();
    shell.ShowActive();
    const std::u16string text = QString::fromStdString(reason).toStdU16String();
    shell.RunMessageBox(text.c_str(), ApplicationName().c_str(), MB_OK | MB_ICONSTOP);
    return kFailedStart;
}
