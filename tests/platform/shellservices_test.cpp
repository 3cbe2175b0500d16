// The one way to the shell: every call reaches the shell main() installed, and where none is (the
// command-line tool, tests of the core) the null shell gives each call its failure or safe answer.
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellservices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A shell that answers every question with something the null shell never says.
class AnsweringShell : public Shell {
public:
    void InitShellControls() override { controls = true; }
    void DestroyShellControls() override { controls = false; }
    void AddWindow(WindowHandle, ShellClient*, bool) override {}
    void RemoveWindow(WindowHandle) override {}
    WindowHandle WorkArea() const override { return nullptr; }
    void ShowActive() override {}
    void BringToFront() override {}
    void NotifyDataChanged() override { ++dataChanged; }
    void SetNavBarTitle(WindowHandle, const char16_t* text) override { title = text; }
    int CreateSoftKeyBar(WindowHandle, uint16_t) override { return 0; }
    void ClaimCallKeys(WindowHandle) override {}
    void InitFullScreenDialog(WindowHandle) override {}
    void ShowDoneButton(WindowHandle, bool) override {}
    ScreenSize GetScreenSize() const override { return ScreenSize{480, 640}; }
    ShellRect MenuBounds() const override { return ShellRect{10, 20, 480, 640}; }
    int RunMessageBox(const char16_t*, const char16_t*, unsigned) override { return IDYES; }
    void ShowWaitCursor(bool) override {}
    int SaveScreen(const std::string&) override { return 0; }

    bool controls = false;
    int dataChanged = 0;
    std::u16string title;
};

class ShellServicesTest : public testing::Test {
protected:
    void TearDown() override {
        SetCurrentShell(nullptr);
        SetMessageBoxHandler(nullptr);
    }
};

TEST_F(ShellServicesTest, WithoutAShellEveryCallFailsOrGivesTheSafeAnswer) {
    SetCurrentShell(nullptr);
    ShellServices::InitShellControls();
    EXPECT_EQ(ShellServices::CreateSoftKeyBar(nullptr, 131), -1);
    EXPECT_EQ(ShellServices::WorkArea(), nullptr);
    EXPECT_EQ(ShellServices::SaveScreen("unused.png"), -1);
    const ScreenSize size = ShellServices::GetScreenSize();
    EXPECT_EQ(size.width, 240);
    EXPECT_EQ(size.height, 320);
    EXPECT_EQ(ShellServices::MenuBounds().width, 0) << "no screen: menus go where the toolkit puts them";
    // Nobody answers a question: No, which changes nothing; anything else gets its OK.
    EXPECT_EQ(ShowMessageBox(nullptr, u"Delete all calls?", u"Zonrik Ringlog", MB_YESNO), IDNO);
    EXPECT_EQ(ShowMessageBox(nullptr, u"DB file not found", u"Zonrik Ringlog", MB_OK), IDOK);
    // The calls that only tell the shell something do nothing.
    ShellServices::SetNavBarTitle(nullptr, u"About");
    ShellServices::NotifyDataChanged();
    ShellServices::ShowWaitCursor(true);
    ShellServices::ShowWaitCursor(false);
}

TEST_F(ShellServicesTest, CallsReachTheInstalledShellUntilNullPutsTheNullShellBack) {
    AnsweringShell shell;
    SetCurrentShell(&shell);
    ShellServices::InitShellControls();
    EXPECT_TRUE(shell.controls);
    EXPECT_EQ(ShellServices::CreateSoftKeyBar(nullptr, 131), 0);
    EXPECT_EQ(ShellServices::GetScreenSize().width, 480);
    EXPECT_EQ(ShellServices::MenuBounds().x, 10);
    ShellServices::SetNavBarTitle(nullptr, u"Call Info");
    EXPECT_EQ(shell.title, u"Call Info");
    ShellServices::NotifyDataChanged();
    EXPECT_EQ(shell.dataChanged, 1);
    EXPECT_EQ(ShowMessageBox(nullptr, u"Delete all calls?", u"Zonrik Ringlog", MB_YESNO), IDYES)
        << "the message boxes are the shell's";

    SetCurrentShell(nullptr);
    EXPECT_NE(&CurrentShell(), &shell);
    EXPECT_EQ(ShellServices::CreateSoftKeyBar(nullptr, 131), -1);
    EXPECT_EQ(ShowMessageBox(nullptr, u"Delete all calls?", u"Zonrik Ringlog", MB_YESNO), IDNO);
    EXPECT_EQ(shell.dataChanged, 1);
}

} // namespace
