// Shared main of the GUI tests: the real windows on Qt's offscreen platform in the phone shell, a
// fixed time zone and locale, and every Qt warning turned into a failure.
#include "platform/shell/phoneshell.h"
#include "platform/ui/process.h"
#include "platform/ui/winapp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void FailOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) {
        return;
    }
    const QByteArray text = message.toLocal8Bit();
    std::fprintf(stderr, "Qt message: %s\n", text.constData());
    ADD_FAILURE() << "Qt warning: " << text.constData();
}

void IgnoreEnd(int) {}

// After each test the application and the phone start afresh, so that the cases of one test
// program share a process: the main window and the document templates go (the main window's end
// is not carried out), and the phone's screen is made anew with its windows, bars and keys.
class FreshStart : public testing::EmptyTestEventListener {
public:
    explicit FreshStart(Shell& phone) : shell(phone) {}

    void OnTestEnd(const testing::TestInfo&) override {
        const EndProcessHook previous = SetEndProcessHook(IgnoreEnd);
        if (CWinApp* app = AfxGetApp()) {
            app->ResetFramework();
        }
        SetEndProcessHook(previous);
        shell.DestroyShellControls();
        shell.InitShellControls();
        QApplication::processEvents();
    }

private:
    Shell& shell;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "UTC", 1);
    tzset();
    setenv("LC_ALL", "C", 1);
    std::setlocale(LC_ALL, "C");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnWarning);
    // The phone shell, made first thing as the program makes it.
    PhoneShell shell(false, false);
    SetCurrentShell(&shell);
    shell.InitShellControls();
    testing::UnitTest::GetInstance()->listeners().Append(new FreshStart(shell));
    const int result = RUN_ALL_TESTS();
    SetCurrentShell(nullptr);
    shell.DestroyShellControls();
    return result;
}
