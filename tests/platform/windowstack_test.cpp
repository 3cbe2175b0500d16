// The phone's window rules without a window system: which window is in front, who owns the Done
// button and what pressing it does, where the Talk and End keys go, and when the main window hears
// that its data changed. Both shells follow these rules; here they are read off the plain stack.
#include "platform/shell/shellclient.h"
#include "platform/shell/windowstack.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Windows as the window system would answer for them: which are shown, which hold which.
class FakeWindows : public WindowStack::WindowFacts {
public:
    bool IsShown(WindowHandle window) const override { return shown.count(window) != 0; }
    bool Holds(WindowHandle topLevel, WindowHandle window) const override {
        if (topLevel == nullptr || window == nullptr) {
            return false;
        }
        for (WindowHandle at = window; at != nullptr;) {
            if (at == topLevel) {
                return true;
            }
            auto parent = parents.find(at);
            at = parent != parents.end() ? parent->second : nullptr;
        }
        return false;
    }

    std::set<WindowHandle> shown;
    std::map<WindowHandle, WindowHandle> parents;
};

// A window's side of the shell: what the shell told it, in order.
class RecordingClient : public ShellClient {
public:
    void ShellCommand(uint16_t id) override { heard.push_back("command " + std::to_string(id)); }
    void ShellQueryCommand(uint16_t, bool&, bool&) override {}
    void ShellActivate(bool active) override { heard.push_back(active ? "active" : "inactive"); }
    void ShellCloseRequest() override { heard.push_back("close"); }
    void ShellDestroyRequest() override { heard.push_back("destroy"); }
    void ShellDataChanged() override { heard.push_back("data changed"); }

    std::vector<std::string> heard;
};

class WindowStackTest : public testing::Test {
protected:
    // Distinct handles that are never looked into.
    WindowHandle Window(int index) { return reinterpret_cast<WindowHandle>(&storage[index]); }

    void SetUp() override {
        frame = Window(0);
        list = Window(1);
        dialog = Window(2);
        edit = Window(3);
        facts.parents[list] = frame;
        facts.parents[edit] = dialog;
        ASSERT_TRUE(stack.Add(frame, nullptr, true));
        facts.shown.insert(frame);
    }

    // The dialog opens over the frame, as the framework opens one.
    void OpenDialog() {
        ASSERT_TRUE(stack.Add(dialog, nullptr, false));
        ASSERT_TRUE(stack.BringToTop(dialog));
        facts.shown.insert(dialog);
    }

    int storage[8] = {};
    FakeWindows facts;
    WindowStack stack{facts};
    WindowHandle frame = nullptr;
    WindowHandle list = nullptr;
    WindowHandle dialog = nullptr;
    WindowHandle edit = nullptr;
};

TEST_F(WindowStackTest, TheLastShownWindowIsInFrontAndAWindowIsAddedOnce) {
    ASSERT_NE(stack.Front(), nullptr);
    EXPECT_EQ(stack.Front()->window, frame);
    EXPECT_TRUE(stack.Front()->fullScreen) << "the main frame fills the work area";
    EXPECT_FALSE(stack.Add(frame, nullptr, false));
    EXPECT_FALSE(stack.Add(nullptr, nullptr, false));

    // Added but not shown yet: the frame stays in front.
    ASSERT_TRUE(stack.Add(dialog, nullptr, false));
    EXPECT_EQ(stack.Front()->window, frame);
    facts.shown.insert(dialog);
    EXPECT_EQ(stack.Front()->window, dialog);
    EXPECT_EQ(stack.MainFrame(), frame);
    EXPECT_EQ(stack.TopLevelOf(edit), dialog);
    EXPECT_EQ(stack.TopLevelOf(list), frame);

    facts.shown.erase(dialog);
    EXPECT_EQ(stack.Front()->window, frame);
    stack.Remove(frame);
    EXPECT_EQ(stack.Front(), nullptr);
    EXPECT_EQ(stack.MainFrame(), nullptr);
}

TEST_F(WindowStackTest, AWindowBroughtToTopIsInFrontOfOnesAddedAfterIt) {
    ASSERT_TRUE(stack.Add(dialog, nullptr, false));
    const WindowHandle other = Window(4);
    ASSERT_TRUE(stack.Add(other, nullptr, false));
    facts.shown.insert(dialog);
    facts.shown.insert(other);
    EXPECT_EQ(stack.Front()->window, other);
    EXPECT_FALSE(stack.Find(dialog)->fullScreen);
    ASSERT_TRUE(stack.BringToTop(dialog));
    EXPECT_EQ(stack.Front()->window, dialog);
    EXPECT_TRUE(stack.Find(dialog)->fullScreen);
    EXPECT_FALSE(stack.BringToTop(Window(5))) << "an unknown window";
}

TEST_F(WindowStackTest, ACoveredWindowCannotTakeTheDoneButtonFromTheOneInFront) {
    OpenDialog();
    EXPECT_TRUE(stack.IsCovered(list));
    EXPECT_FALSE(stack.IsCovered(edit));
    // The dialog's control asks for it: the dialog holding it owns the button.
    ASSERT_TRUE(stack.ShowDone(edit));
    EXPECT_EQ(stack.DoneOwner(), dialog);
    // The frame, refreshed behind the dialog, asks for it too and does not get it.
    EXPECT_FALSE(stack.ShowDone(frame));
    EXPECT_EQ(stack.DoneOwner(), dialog);
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::OkToOwner);

    // Once the dialog is hidden the frame is in front again and may take it.
    facts.shown.erase(dialog);
    ASSERT_TRUE(stack.ShowDone(frame));
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::Nothing) << "the main screen's Done does nothing";
}

TEST_F(WindowStackTest, DoneWithoutAnOwnerDestroysTheFrameAndAHiddenOneDoesNothing) {
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::Nothing);
    ASSERT_TRUE(stack.ShowDone(nullptr));
    EXPECT_TRUE(stack.DoneShown());
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::DestroyFrame);
    stack.HideDone();
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::Nothing);
    EXPECT_FALSE(stack.ShowDone(Window(5))) << "a window the shell does not know";
    EXPECT_FALSE(stack.DoneShown());
}

TEST_F(WindowStackTest, TheDoneButtonGoesWithTheWindowThatOwnsIt) {
    OpenDialog();
    ASSERT_TRUE(stack.ShowDone(dialog));
    stack.Remove(frame);
    EXPECT_TRUE(stack.DoneShown()) << "another window went";
    stack.Remove(dialog);
    EXPECT_FALSE(stack.DoneShown());
    EXPECT_EQ(stack.DoneOwner(), nullptr);
}

TEST_F(WindowStackTest, TheCallKeysGoToTheClaimerOnlyWhileItIsInFront) {
    EXPECT_EQ(stack.CallKeyTarget(), frame) << "unclaimed: the front window";
    stack.ClaimCallKeys(list);
    EXPECT_EQ(stack.CallKeyTarget(), list);
    OpenDialog();
    // The list claims again as the dialog opens over it: the dialog keeps the keys.
    stack.ClaimCallKeys(list);
    EXPECT_EQ(stack.CallKeyTarget(), dialog);
    stack.ClaimCallKeys(edit);
    EXPECT_EQ(stack.CallKeyTarget(), edit);
    stack.ClaimCallKeys(nullptr);
    EXPECT_EQ(stack.CallKeyTarget(), edit) << "a null claim changes nothing";
    stack.Remove(edit);
    EXPECT_EQ(stack.CallKeyTarget(), dialog);
    stack.Remove(dialog);
    stack.Remove(frame);
    EXPECT_EQ(stack.CallKeyTarget(), nullptr);
}

TEST_F(WindowStackTest, ADialogStartsOnTopWithAnEmptyBarAndTheDoneButtonAsItsOwn) {
    MenuTemplate keys;
    keys.items.resize(2);
    ASSERT_TRUE(stack.SetSoftKeys(frame, keys));
    ASSERT_TRUE(stack.Add(dialog, nullptr, false));
    ASSERT_TRUE(stack.SetSoftKeys(dialog, keys)) << "keys set before the dialog's start";
    facts.shown.insert(dialog);
    ASSERT_TRUE(stack.StartFullScreenDialog(dialog));
    const WindowStack::Entry* front = stack.Front();
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(front->window, dialog);
    EXPECT_TRUE(front->fullScreen);
    EXPECT_TRUE(front->hasSoftKeys);
    EXPECT_TRUE(front->softKeys.items.empty());
    EXPECT_EQ(stack.DoneOwner(), dialog);
    EXPECT_EQ(stack.Find(frame)->softKeys.items.size(), 2u) << "the frame keeps its bar for later";
    EXPECT_FALSE(stack.StartFullScreenDialog(Window(5)));
}

TEST_F(WindowStackTest, AMenuWithoutItemsIsNoSoftKeyBarAndLeavesTheOldOne) {
    MenuTemplate keys;
    keys.items.resize(2);
    ASSERT_TRUE(stack.SetSoftKeys(frame, keys));
    EXPECT_FALSE(stack.SetSoftKeys(frame, MenuTemplate{}));
    EXPECT_EQ(stack.Find(frame)->softKeys.items.size(), 2u);
    EXPECT_FALSE(stack.SetSoftKeys(Window(5), keys)) << "a window the shell does not know";
    EXPECT_FALSE(stack.SetNavTitle(Window(5), u"About"));
    ASSERT_TRUE(stack.SetNavTitle(frame, u"Call Info"));
    EXPECT_EQ(stack.Find(frame)->navTitle, u"Call Info");
}

// A window whose update handlers grey command 30, enable command 32 and check command 31.
class HandlerClient : public RecordingClient {
public:
    void ShellQueryCommand(uint16_t id, bool& enabled, bool& checked) override {
        asked.push_back(id);
        if (id == 30) {
            enabled = false;
        } else if (id == 31) {
            checked = true;
        } else if (id == 32) {
            enabled = true;
        }
    }

    std::vector<uint16_t> asked;
};

MenuItem Item(uint16_t id, uint16_t flags, bool isPopup = false) {
    MenuItem item;
    item.id = id;
    item.flags = flags;
    item.isPopup = isPopup;
    return item;
}

TEST(WindowStackStates, TheMenuGivesTheStartAndTheWindowsHandlersDecideCommandsOnly) {
    HandlerClient window;
    EXPECT_FALSE(WindowStack::StateOf(Item(30, 0), &window).enabled);
    const WindowStack::ItemState checked = WindowStack::StateOf(Item(31, MF_GRAYED), &window);
    EXPECT_FALSE(checked.enabled) << "a handler that only checks leaves the resource's grey";
    EXPECT_TRUE(checked.checked);
    EXPECT_TRUE(WindowStack::StateOf(Item(32, MF_GRAYED), &window).enabled) << "the handler wins";
    EXPECT_EQ(window.asked, (std::vector<uint16_t>{30, 31, 32}));

    const WindowStack::ItemState popup = WindowStack::StateOf(Item(30, MF_GRAYED | MF_CHECKED, true), &window);
    EXPECT_FALSE(popup.enabled);
    EXPECT_TRUE(popup.checked);
    EXPECT_EQ(window.asked.size(), 3u) << "a popup is not asked";

    const WindowStack::ItemState alone = WindowStack::StateOf(Item(30, MF_CHECKED), nullptr);
    EXPECT_TRUE(alone.enabled);
    EXPECT_TRUE(alone.checked);
}

// The same stack with clients that record what the rules tell them.
class WindowStackClientsTest : public WindowStackTest {
protected:
    void SetUp() override {
        frame = Window(0);
        dialog = Window(2);
        ASSERT_TRUE(stack.Add(frame, &frameClient, true));
        facts.shown.insert(frame);
    }

    void OpenDialog() {
        ASSERT_TRUE(stack.Add(dialog, &dialogClient, false));
        ASSERT_TRUE(stack.BringToTop(dialog));
        facts.shown.insert(dialog);
    }

    RecordingClient frameClient;
    RecordingClient dialogClient;
};

TEST_F(WindowStackClientsTest, DoneSendsTheOwnerItsOkAndWithoutAnOwnerAsksTheFrameToGo) {
    OpenDialog();
    ASSERT_TRUE(stack.ShowDone(dialog));
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::OkToOwner);
    EXPECT_EQ(dialogClient.heard, std::vector<std::string>{"command 1"});
    EXPECT_TRUE(frameClient.heard.empty());

    facts.shown.erase(dialog);
    stack.Remove(dialog);
    ASSERT_TRUE(stack.ShowDone(frame));
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::Nothing);
    EXPECT_TRUE(frameClient.heard.empty()) << "the main screen's Done tells no one";

    ASSERT_TRUE(stack.ShowDone(nullptr));
    EXPECT_EQ(stack.PressDone(), WindowStack::DoneAction::DestroyFrame);
    EXPECT_EQ(frameClient.heard, std::vector<std::string>{"destroy"});
    EXPECT_EQ(dialogClient.heard, std::vector<std::string>{"command 1"}) << "the dialog is gone";
}

TEST_F(WindowStackClientsTest, DataChangedWaitsForTheMainWindowInFrontOfAnActivePhone) {
    stack.OweDataChanged();
    EXPECT_FALSE(stack.DeliverDataChanged()) << "the phone was never shown active";
    stack.ShowScreenActive();
    OpenDialog();
    EXPECT_FALSE(stack.DeliverDataChanged()) << "a dialog in front keeps it for the main window";
    EXPECT_TRUE(stack.DataChangedOwed());

    facts.shown.erase(dialog);
    EXPECT_TRUE(stack.DeliverDataChanged());
    EXPECT_EQ(frameClient.heard, std::vector<std::string>{"data changed"});
    EXPECT_TRUE(dialogClient.heard.empty());
    EXPECT_FALSE(stack.DeliverDataChanged()) << "told once";
    EXPECT_EQ(frameClient.heard.size(), 1u);
}

TEST_F(WindowStackClientsTest, AnActivationWithTheMainWindowInFrontTellsAllAndDropsTheNotice) {
    stack.ShowScreenActive();
    EXPECT_FALSE(stack.SetScreenActive(true)) << "already active";
    EXPECT_TRUE(stack.SetScreenActive(false));
    stack.OweDataChanged();
    EXPECT_FALSE(stack.DeliverDataChanged()) << "another program has the screen";

    // Back with a dialog in front: the main window is not told yet, so the notice stays owed.
    OpenDialog();
    EXPECT_TRUE(stack.SetScreenActive(true));
    EXPECT_TRUE(stack.DataChangedOwed());
    EXPECT_TRUE(stack.SetScreenActive(false));
    facts.shown.erase(dialog);
    // Back with the main window in front: its activation reloads, the notice would be a second one.
    EXPECT_TRUE(stack.SetScreenActive(true));
    EXPECT_FALSE(stack.DataChangedOwed());
    EXPECT_FALSE(stack.DeliverDataChanged());
    EXPECT_TRUE(frameClient.heard.empty());
}

} // namespace
