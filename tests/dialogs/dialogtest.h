#pragma once

// The dialogs over the real application: the application object, its main frame and list view in
// the test shell, a phone store and a city database of the test's own in a temporary folder,
// the end of the program recorded instead of done.
#include "tests/support/guitest.h"
#include "tests/support/programstart.h"
#include "tests/support/testshell.h"

#include "app/mainframe.h"
#include "app/ringlogapp.h"
#include "citydb/citydatabase.h"
#include "dialogs/dialogstate.h"
#include "platform/files/programfiles.h"
#include "platform/objectstore/storelocation.h"
#include "platform/resources/resourcemodule.h"
#include "platform/ui/dialog.h"
#include "tests/calllog/citydbfile.h"
#include "tests/platform/storetestenv.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

// Readable failure messages for the toolkit's texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace dialogtest {

using namespace guitest;

// The file time of a UTC calendar time.
inline FileTime UtcTime(int year, int month, int day, int hour, int minute, int second) {
    return MakeFileTime(storetest::Utc(year, month, day, hour, minute, second));
}

// The dialog's control as the toolkit shows it.
template <class T> T* Control(const CDialog& dialog, unsigned id) {
    CWnd* control = dialog.GetDlgItem(id);
    return control != nullptr ? qobject_cast<T*>(control->GetSafeHwnd()) : nullptr;
}

inline QString TextOf(const CDialog& dialog, unsigned id) {
    CWnd* control = dialog.GetDlgItem(id);
    return control != nullptr ? QString::fromStdU16String(control->GetWindowText()) : QStringLiteral("<missing>");
}

inline bool IsShown(const CDialog& dialog, unsigned id) {
    CWnd* control = dialog.GetDlgItem(id);
    return control != nullptr && control->GetSafeHwnd()->isVisible();
}

// Runs the dialog modally; whileOpen runs once it is up and in front, and should close it as a
// user would.
inline int RunWhileOpen(CDialog& dialog, const std::function<void()>& whileOpen) {
    bool ran = false;
    WhenDialogUp([&](CDialog& up) {
        ran = true;
        EXPECT_EQ(&up, &dialog) << "another dialog came up";
        // What the user sees: the dialog has painted once.
        dialog.GetSafeHwnd()->repaint();
        whileOpen();
    });
    const int result = dialog.DoModal();
    EXPECT_TRUE(ran) << "the dialog never ran its loop";
    return result;
}

inline TestShell& TheShell() {
    return TestShell::Current();
}

inline void PressEndKey() {
    TheShell().PressEndKey();
}

inline void TurnScreen() {
    TheShell().TurnScreen();
    QApplication::processEvents();
}

class DialogTest : public testing::Test {
protected:
    void SetUp() override {
        RecordExitsInsteadOfEnding();
        char pattern[] = "/tmp/ringlog-dialogs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        SetStorePath(dir + "/phone.db");
        citydbfile::Write(dir + "/Zonrik.dll");
        SetCityDatabaseOverride(dir + "/Zonrik.dll");
        frame = StartProgram();
        ASSERT_NE(frame, nullptr);
        // The list view opens the database on the list's side; the dialogs read the same one.
        CityDatabase::Load();
        QApplication::processEvents();
        // The dialogs alone: the list view behind them no longer hears of the activation changes, so
        // what a dialog records stays to be read here. What the view does with it is tested with the
        // view (tests/gui/calldetails_test.cpp).
        frame->SetActiveView(nullptr, false);
        LastDialogKind = kDialogNone;
        InfoAction = kInfoActionNone;
    }

    void TearDown() override {
        SetCityDatabaseOverride("");
        SetStorePath("");
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string dir;
    CMainFrame* frame = nullptr;
};

} // namespace dialogtest
