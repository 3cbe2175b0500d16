// The platform's start of the program: its switches and the single-instance check.
#include "tests/support/guitest.h"

#include "platform/msgbox/messagebox.h"
#include "platform/ui/platformswitches.h"
#include "platform/ui/singleinstance.h"
#include "platform/ui/winmain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    first.SetRaiseHandler([&raised](const std::string&) { raised = true; });

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
    next.SetRaiseHandler([&raised](const std::string&) { raised = true; });
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

} // namespace
