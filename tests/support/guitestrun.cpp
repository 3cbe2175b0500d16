#include "tests/support/guitestrun.h"

#include "platform/shell/shell.h"
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

// After each test the application and the shell start afresh, so that the cases of one test
// program share a process: the main window and the document templates go (the main window's end
// is not carried out), and the shell's controls are made anew with their windows, bars and keys.
class FreshStart : public testing::EmptyTestEventListener {
public:
    explicit FreshStart(Shell& testShell) : shell(testShell) {}

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

int RunGuiTests(int argc, char** argv, const std::function<std::unique_ptr<Shell>()>& makeShell) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "UTC", 1);
    tzset();
    setenv("LC_ALL", "C", 1);
    std::setlocale(LC_ALL, "C");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnWarning);
    // The shell, made first thing as the program makes it.
    const std::unique_ptr<Shell> shell = makeShell();
    SetCurrentShell(shell.get());
    shell->InitShellControls();
    testing::UnitTest::GetInstance()->listeners().Append(new FreshStart(*shell));
    const int result = RUN_ALL_TESTS();
    SetCurrentShell(nullptr);
    shell->DestroyShellControls();
    return result;
}
