// The About dialog over the real main frame: one set of seven controls for each shape of the
// screen, Done and the End key.
#include "tests/dialogs/dialogtest.h"

#include "dialogs/aboutdlg.h"
#include "platform/msgbox/messagebox.h"
#include "resources/resource.h"

#include <set>

namespace {

using namespace dialogtest;

const std::set<unsigned> kLandscapeSet = {1013, 1027, 1028, 1029, 1030, 1031, 1032};
const std::set<unsigned> kPortraitSet = {1014, 1033, 1034, 1035, 1036, 1037, 1038};

std::set<unsigned> VisibleControls(const CDialog& dialog) {
    std::set<unsigned> shown;
    for (unsigned id = 1000; id < 1100; ++id) {
        if (IsShown(dialog, id)) {
            shown.insert(id);
        }
    }
    return shown;
}

class About : public DialogTest {
protected:
    void TearDown() override {
        TheShell().SetScreenSize(kDefaultScreenSize);
        DialogTest::TearDown();
    }
};

TEST_F(About, ShowsOneSetOfSevenForEachShapeOfTheScreen) {
    CAboutDlg dialog;
    const int result = RunWhileOpen(dialog, [&] {
        EXPECT_EQ(TheShell().NavTitleText(), QStringLiteral("About"));
        EXPECT_EQ(LastDialogKind, kDialogAbout);
        EXPECT_EQ(VisibleControls(dialog), kPortraitSet);
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION_PORT), QStringLiteral("Version 1.6.0"));
        const QLabel* logo = Control<QLabel>(dialog, IDC_ABOUT_LOGO_PORT);
        ASSERT_NE(logo, nullptr);
        EXPECT_EQ(logo->pixmap().size(), QSize(91, 79));

        TurnScreen();
        EXPECT_EQ(VisibleControls(dialog), kLandscapeSet);
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION_LAND), QStringLiteral("Version 1.6.0"));
        // A second resize in the same shape changes nothing.
        TheShell().SetScreenSize(ScreenSize{400, 240});
        EXPECT_EQ(VisibleControls(dialog), kLandscapeSet);
        TurnScreen();
        EXPECT_EQ(VisibleControls(dialog), kPortraitSet);
        // A square screen is portrait.
        TheShell().SetScreenSize(ScreenSize{300, 300});
        EXPECT_EQ(VisibleControls(dialog), kPortraitSet);
        LastDialogKind = kDialogNone;
        TheShell().PressDone();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(LastDialogKind, kDialogAbout);
    EXPECT_EQ(InfoAction, kInfoActionNone);
}

TEST_F(About, WithoutAParentTheMainWindowOwnsItAndWaitsBehindIt) {
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        EXPECT_FALSE(frame->GetSafeHwnd()->isEnabled());
        EXPECT_EQ(TheShell().ForegroundWindow(), dialog.GetSafeHwnd());
        EXPECT_EQ(TheShell().DoneOwner(), dialog.GetSafeHwnd());
        TheShell().PressDone();
    });
    EXPECT_TRUE(frame->GetSafeHwnd()->isEnabled());
    EXPECT_EQ(TheShell().ForegroundWindow(), frame->GetSafeHwnd());
    EXPECT_EQ(TheShell().DoneOwner(), frame->GetSafeHwnd());
}

TEST_F(About, EndKeyEndsTheProgramWithCodeZero) {
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        PressEndKey();
        ASSERT_TRUE(RecordedExit().has_value());
        EXPECT_EQ(*RecordedExit(), 0);
        dialog.EndDialog(IDCANCEL);
    });
}

} // namespace
