// The platform's start of the program: its switches and the single-instance check.
#include "tests/support/guitest.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/ui/platformswitches.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/winmain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

struct SwitchCase {
    const char* name;
    std::vector<std::string> args;
    int result;
    std::string store;
    std::string cityDatabase;
    std::string screenshot;
    bool help = false;
    bool version = false;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class Switches : public testing::TestWithParam<SwitchCase> {};

TEST_P(Switches, AreReadOrRefused) {
    const SwitchCase& c = GetParam();
    std::vector<std::string> storage = c.args;
    storage.insert(storage.begin(), "ringlog");
    std::vector<char*> argv;
    for (std::string& arg : storage) {
        argv.push_back(arg.data());
    }
    PlatformSwitches switches;
    std::string error;
    EXPECT_EQ(ParsePlatformSwitches(static_cast<int>(argv.size()), argv.data(), switches, error), c.result);
    EXPECT_EQ(switches.store, c.store);
    EXPECT_EQ(switches.cityDatabase, c.cityDatabase);
    EXPECT_EQ(switches.screenshot, c.screenshot);
    EXPECT_EQ(switches.help, c.help);
    EXPECT_EQ(switches.version, c.version);
    EXPECT_EQ(error.empty(), c.result == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Switches,
    testing::Values(
        SwitchCase{"None", {}, 0, "", "", ""},
        SwitchCase{
            "All", {"--store", "s.db", "--citydb", "c.dll", "--screenshot", "p.png"}, 0, "s.db", "c.dll", "p.png"},
        SwitchCase{"QtSwitchesLeftToQt", {"-platform", "offscreen", "--store", "s.db"}, 0, "s.db", "", ""},
        SwitchCase{"StoreWithoutFile", {"--store"}, -1, "", "", ""},
        SwitchCase{"EmptyFileName", {"--screenshot", ""}, -1, "", "", ""},
        SwitchCase{"Unknown", {"--stor", "s.db"}, -1, "", "", ""},
        SwitchCase{"Help", {"--help"}, 0, "", "", "", true, false},
        SwitchCase{"ShortHelp", {"-h"}, 0, "", "", "", true, false},
        SwitchCase{"Version", {"--version"}, 0, "", "", "", false, true},
        SwitchCase{"HelpAmongOthers", {"--store", "s.db", "--help"}, 0, "s.db", "", "", true, false},
        SwitchCase{"VersionWithAValue", {"--version=1"}, -1, "", "", ""}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST(FullScreenSwitch, TakesNoFileAndLeavesTheOthersAlone) {
    std::string storage[] = {"ringlog", "--fullscreen", "--store", "s.db"};
    char* argv[] = {storage[0].data(), storage[1].data(), storage[2].data(), storage[3].data()};
    PlatformSwitches switches;
    std::string error;
    EXPECT_EQ(ParsePlatformSwitches(4, argv, switches, error), 0) << error;
    EXPECT_TRUE(switches.fullScreen);
    EXPECT_EQ(switches.store, "s.db");
    PlatformSwitches none;
    EXPECT_EQ(ParsePlatformSwitches(1, argv, none, error), 0);
    EXPECT_FALSE(none.fullScreen);
}

class SingleInstanceCheck : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-instance-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        setenv("RINGLOG_RUNTIME_DIR", folder.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("RINGLOG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
};

TEST_F(SingleInstanceCheck, LaterStartOfTheSameKeyRaisesTheFirstAndEnds) {
    SingleInstance first;
    bool raised = false;
    ASSERT_EQ(first.Claim("/usr/bin/ringlog\n/home/a/phone.db"), SingleInstance::First);
    first.SetRaiseHandler([&raised] { raised = true; });

    SingleInstance second;
    EXPECT_EQ(second.Claim("/usr/bin/ringlog\n/home/a/phone.db", 3, 10), SingleInstance::AnotherRunning);
    guitest::ProcessUntil(raised, 1000);
    EXPECT_TRUE(raised);
}

TEST_F(SingleInstanceCheck, OtherStoreRunsBesideIt) {
    SingleInstance first;
    ASSERT_EQ(first.Claim("/usr/bin/ringlog\n/home/a/phone.db"), SingleInstance::First);
    SingleInstance other;
    EXPECT_EQ(other.Claim("/usr/bin/ringlog\n/home/a/other.db", 3, 10), SingleInstance::First);
}

TEST_F(SingleInstanceCheck, EndedProgramLeavesNothingThatBlocksTheNext) {
    {
        SingleInstance gone;
        ASSERT_EQ(gone.Claim("key"), SingleInstance::First);
    }
    // Its socket file is still there, but no one holds the lock.
    SingleInstance next;
    EXPECT_EQ(next.Claim("key", 3, 10), SingleInstance::First);
    bool raised = false;
    next.SetRaiseHandler([&raised] { raised = true; });
    SingleInstance later;
    EXPECT_EQ(later.Claim("key", 3, 10), SingleInstance::AnotherRunning);
    guitest::ProcessUntil(raised, 1000);
    EXPECT_TRUE(raised);
}

TEST_F(SingleInstanceCheck, HolderThatNeverAnswersLetsTheStartRunAfterTheAttempts) {
    // A lock held without a listening socket: a first start still busy before its loop runs.
    SingleInstance first;
    ASSERT_EQ(first.Claim("key"), SingleInstance::First);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".sock") {
            std::filesystem::remove(entry.path());
        }
    }
    SingleInstance second;
    EXPECT_EQ(second.Claim("key", 3, 10), SingleInstance::First);
}

// A start refused before the program's InitInstance, on the phone shell the tests run in.
class RefusedStart : public testing::Test {
protected:
    static constexpr DesktopIdentity kIdentity{"com.zonrik.Ringlog", "ringlog"};

    void TearDown() override {
        if (PhoneScreen* phone = guitest::Phone()) {
            phone->SetMessageBoxObserver(nullptr);
        }
    }

    // Refuses the start with reason while act runs once the box is up; act should answer it.
    int Refuse(const PlatformSwitches& switches, const std::string& reason,
               const std::function<void(ShellMessageBox&)>& act) {
        guitest::IgnoreOffscreenLimits();
        PhoneScreen* phone = guitest::Phone();
        phone->SetMessageBoxObserver([this, phone, act](ShellMessageBox& box) {
            boxes++;
            EXPECT_TRUE(phone->isVisible()) << "the phone's window is shown with the box";
            EXPECT_TRUE(box.isVisible());
            act(box);
            if (!box.Answered()) {
                ADD_FAILURE() << "the box was left up";
                box.Dismiss();
            }
        });
        std::string program = "ringlog";
        char* argv[] = {program.data(), nullptr};
        return AfxRefuseStart(1, argv, switches, kIdentity, *CurrentShell(), reason);
    }

    int boxes = 0;
};

TEST_F(RefusedStart, TheReasonIsShownOnThePhonesScreenUntilAKeyDismissesIt) {
    const std::string reason = "/home/grace/.local/share/plasmaphonedialer/calls.sqlite is not a call log (file is "
                               "not a database)";
    const int code = Refuse(PlatformSwitches{}, reason, [&](ShellMessageBox& box) {
        EXPECT_EQ(box.Text().toStdString(), reason);
        EXPECT_EQ(box.Caption(), QStringLiteral("Zonrik Ringlog"));
        EXPECT_EQ(box.IconType(), unsigned{MB_ICONSTOP});
        EXPECT_EQ(box.Results(), std::vector<int>{IDOK});
        // What the user reads lies inside the phone's screen, the long file name wrapped.
        const QLabel* text = box.findChild<QLabel*>(QStringLiteral("text"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text().toStdString(), reason);
        const QRect onScreen(text->mapTo(&box, QPoint(0, 0)), text->size());
        EXPECT_TRUE(box.rect().contains(onScreen))
            << "text at " << onScreen.x() << "," << onScreen.y() << " " << onScreen.width() << "x" << onScreen.height();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(guitest::Phone(), nullptr) << "the phone's window goes with the refused start";
    EXPECT_NE(CurrentShell(), nullptr) << "the shell in use before comes back";
}

TEST_F(RefusedStart, ClosingThePhonesWindowDismissesTheBoxAndEnds) {
    const int code = Refuse(PlatformSwitches{}, "phone.db is not a call log", [](ShellMessageBox&) {
        guitest::Phone()->close();
        QApplication::processEvents();
    });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(code, 1);
}

TEST_F(RefusedStart, WhileAScreenshotIsTakenNothingIsShown) {
    PlatformSwitches switches;
    switches.screenshot = "/tmp/unused.png";
    EXPECT_EQ(Refuse(switches, "phone.db is not a call log", [](ShellMessageBox&) {}), 1);
    QApplication::processEvents();
    EXPECT_EQ(boxes, 0);
    ASSERT_NE(guitest::Phone(), nullptr);
    EXPECT_FALSE(guitest::Phone()->isVisible());
}

} // namespace
