// The ringlog binary itself, driven as a person would: under a virtual X server, keys and taps with
// xdotool, the window closed as a window manager closes it. Exit codes and windows are checked.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;

const std::string kRinglog = std::string(RINGLOG_BIN_DIR) + "/ringlog";

bool OnPath(const char* program) {
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Starts a program with extra environment entries; returns its process id, -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    for (const std::string& entry : extraEnv) {
        putenv(const_cast<char*>(entry.c_str()));
    }
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// The exit code once the process has ended, or nothing when it still runs after the wait.
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(20ms);
    }
}

void Kill(pid_t pid) {
    if (pid > 0 && !WaitForExit(pid, 0ms).has_value()) {
        kill(pid, SIGKILL);
        WaitForExit(pid, 2000ms);
    }
}

// The X server of the tests' desktop, which the one launcher (tests/support/withdesktop.sh) starts
// and the cases share; empty when the test runs elsewhere.
std::string DesktopDisplay() {
    const char* desktop = std::getenv("RINGLOG_IN_DESKTOP");
    const char* display = std::getenv("DISPLAY");
    return desktop != nullptr && display != nullptr ? std::string(display) : std::string();
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("xdotool")) {
            GTEST_SKIP() << "xdotool is needed";
        }
        ASSERT_FALSE(display.empty()) << "run it on a desktop: tests/support/withdesktop.sh --display-only";
        char pattern[] = "/tmp/ringlog-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }

    void TearDown() override {
        for (pid_t pid : started) {
            Kill(pid);
        }
        if (!folder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }

    pid_t StartRinglog(const std::vector<std::string>& switches = {}, const std::vector<std::string>& moreEnv = {}) {
        std::vector<std::string> args = {kRinglog, "--store", folder + "/phone.db"};
        args.insert(args.end(), switches.begin(), switches.end());
        // The program ends at once and frees nothing on purpose; in a sanitizer build the desktop
        // libraries' allocations would otherwise count as leaks and change the exit code.
        std::vector<std::string> env{"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "RINGLOG_RUNTIME_DIR=" + folder,
                                     "XDG_RUNTIME_DIR=" + folder, "ASAN_OPTIONS=detect_leaks=0"};
        env.insert(env.end(), moreEnv.begin(), moreEnv.end());
        const pid_t pid = Spawn(args, env);
        started.push_back(pid);
        return pid;
    }

    // Runs xdotool on the virtual display; its standard output.
    std::string Xdotool(const std::string& arguments) {
        const std::string command = "DISPLAY=" + display + " xdotool " + arguments + " 2>/dev/null";
        std::string output;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[256];
            while (fgets(buffer, sizeof(buffer), pipe) != nullptr) {
                output += buffer;
            }
            pclose(pipe);
        }
        return output;
    }

    std::vector<std::string> VisibleWindows() {
        std::vector<std::string> ids;
        const std::string output = Xdotool("search --onlyvisible --name '^Zonrik Ringlog$'");
        size_t start = 0;
        while (start < output.size()) {
            const size_t end = output.find('\n', start);
            const std::string id = output.substr(start, end - start);
            if (!id.empty()) {
                ids.push_back(id);
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        return ids;
    }

    // The program's window once it is shown, or the empty text after a minute (a generous margin:
    // on a loaded machine under the sanitizers a start takes several seconds).
    std::string WaitForWindow() {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::string> ids = VisibleWindows();
            if (!ids.empty()) {
                // Lets the window map and paint before it is touched.
                std::this_thread::sleep_for(300ms);
                return ids.front();
            }
            std::this_thread::sleep_for(50ms);
        }
        return {};
    }

    // Asks the window to close, as a window manager's close button does.
    void CloseWindow(const std::string& window) {
        Display* x = XOpenDisplay(display.c_str());
        ASSERT_NE(x, nullptr);
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = std::stoul(window);
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x, event.xclient.window, False, NoEventMask, &event);
        XFlush(x);
        XCloseDisplay(x);
    }

    // Five calls, newest first: Ada, Grace, Barbara, Frances, Radia.
    void AddFiveCalls() {
        const char* names[] = {"Ada", "Grace", "Barbara", "Frances", "Radia"};
        for (int i = 0; i < 5; ++i) {
            const std::string add = Tool() + "add --type incoming --number 206386123" + std::to_string(i) + " --name " +
                                    names[i] + " --start '2025-03-0" + std::to_string(9 - i) + " 10:00:00Z' >/dev/null";
            ASSERT_EQ(std::system(add.c_str()), 0);
        }
    }

    // The calls of the store as ringlog-tool lists them.
    std::string ListedCalls() {
        std::string output;
        if (FILE* pipe = popen((Tool() + "list").c_str(), "r")) {
            char buffer[512];
            while (fgets(buffer, sizeof(buffer), pipe) != nullptr) {
                output += buffer;
            }
            pclose(pipe);
        }
        return output;
    }

    // The listed calls once they differ from before, or as they are after ten seconds.
    std::string ListedCallsOnceChanged(const std::string& before) {
        std::string after = before;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (after == before && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(100ms);
            after = ListedCalls();
        }
        return after;
    }

    std::string Tool() const { return std::string(RINGLOG_BIN_DIR) + "/ringlog-tool --store " + folder + "/phone.db "; }

    // Ends the program as a person would: 0 the End key, 1 Quit from the menu, 2 the window's close
    // button. The exit code, or nothing when it still runs after a generous margin.
    std::optional<int> EndByHand(pid_t pid, const std::string& window, int way) {
        std::optional<int> code;
        if (way == 2) {
            CloseWindow(window);
            return WaitForExit(pid, 30s);
        }
        // A busy machine may map the window or open the menu late, so a person would press again.
        for (int attempt = 0; attempt < 3 && !code.has_value(); ++attempt) {
            if (way == 0) {
                Xdotool("mousemove --window " + window + " 120 200 key F4");
            } else {
                // The right soft key sits under the screen's right half; its menu opens above it,
                // Quit last. A tap beside a menu that has not opened yet only closes it.
                Xdotool("mousemove --window " + window + " 194 346 click 1");
                std::this_thread::sleep_for(400ms * (attempt + 1));
                EXPECT_FALSE(WaitForExit(pid, 0ms).has_value()) << "opening the menu must not end the program";
                Xdotool("mousemove --window " + window + " 230 321 click 1");
            }
            code = WaitForExit(pid, 3s);
        }
        if (!code.has_value()) {
            code = WaitForExit(pid, 30s);
        }
        return code;
    }

    const std::string display = DesktopDisplay();
    std::string folder;
    std::vector<pid_t> started;
};

TEST_F(EndToEnd, EndKeyEndsTheProgramWithCodeZero) {
    const pid_t pid = StartRinglog();
    const std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(EndByHand(pid, window, 0), std::optional<int>(0));
}

TEST_F(EndToEnd, FullScreenWindowFillsTheDisplayAndTheEndKeyStillWorks) {
    const pid_t pid = StartRinglog({"--fullscreen"});
    const std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty());
    // The virtual display is 800 x 600; the window is the phone's screen, filling it.
    const std::string geometry = Xdotool("getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Geometry: 800x600"), std::string::npos) << geometry;
    std::optional<int> code;
    for (int attempt = 0; attempt < 3 && !code.has_value(); ++attempt) {
        Xdotool("mousemove --window " + window + " 120 200 key F4");
        code = WaitForExit(pid, 3s);
    }
    EXPECT_EQ(code, std::optional<int>(0));
}

TEST_F(EndToEnd, QuitFromTheMenuEndsTheProgramWithCodeZero) {
    const pid_t pid = StartRinglog();
    const std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(EndByHand(pid, window, 1), std::optional<int>(0));
}

TEST_F(EndToEnd, ClosingTheWindowEndsTheProgramWithCodeZero) {
    const pid_t pid = StartRinglog();
    const std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(EndByHand(pid, window, 2), std::optional<int>(0));
}

// Run by CTest on a desktop of its own (tests/support/withdesktop.sh), where the accessibility bus
// is up and Qt's bridge talks to it from a D-Bus thread of its own.
TEST_F(EndToEnd, EveryWayOfEndingUnderTheAccessibilityBusEndsWithZero) {
    const char* rounds = std::getenv("RINGLOG_ATSPI_ROUNDS");
    if (rounds == nullptr || std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr) {
        GTEST_SKIP() << "needs a session bus: run by the e2e_atspi_endings test";
    }
    const int count = std::atoi(rounds);
    for (int round = 0; round < count; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const pid_t pid = StartRinglog({}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1", "QT_ACCESSIBILITY=1"});
        const std::string window = WaitForWindow();
        ASSERT_FALSE(window.empty());
        const std::optional<int> code = EndByHand(pid, window, round % 3);
        ASSERT_EQ(code, std::optional<int>(0)) << "ending way " << round % 3;
        ASSERT_TRUE(VisibleWindows().empty());
    }
}

TEST_F(EndToEnd, DeleteFromTheMenuRemovesTheSelectedCallFromTheStoreAndNoOther) {
    AddFiveCalls();
    const std::string before = ListedCalls();
    ASSERT_NE(before.find("Barbara"), std::string::npos);

    const pid_t pid = StartRinglog();
    const std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty());
    // Down twice selects the third call; F2 opens the menu, Down and Enter choose Delete, its first item.
    Xdotool("mousemove --window " + window + " 120 200");
    Xdotool("key --delay 150 Down Down F2");
    std::this_thread::sleep_for(500ms);
    Xdotool("key --delay 150 Down Return");
    const std::string after = ListedCallsOnceChanged(before);
    EXPECT_EQ(after.find("Barbara"), std::string::npos) << after;
    for (const char* kept : {"Ada", "Grace", "Frances", "Radia"}) {
        EXPECT_NE(after.find(kept), std::string::npos) << kept << " must stay:\n" << after;
    }
    EXPECT_FALSE(WaitForExit(pid, 0ms).has_value()) << "deleting does not end the program";
}

TEST_F(EndToEnd, DeleteInTheCallDetailsRemovesTheCallShownAndNoOther) {
    AddFiveCalls();
    const std::string before = ListedCalls();
    const pid_t pid = StartRinglog();
    const std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty());
    // Down selects the second call, Enter opens its details, F2 is their Delete key.
    Xdotool("mousemove --window " + window + " 120 200");
    Xdotool("key --delay 150 Down Return");
    std::this_thread::sleep_for(800ms);
    Xdotool("key F2");
    const std::string after = ListedCallsOnceChanged(before);
    EXPECT_EQ(after.find("Grace"), std::string::npos) << after;
    for (const char* kept : {"Ada", "Barbara", "Frances", "Radia"}) {
        EXPECT_NE(after.find(kept), std::string::npos) << kept << " must stay:\n" << after;
    }
    EXPECT_FALSE(WaitForExit(pid, 0ms).has_value()) << "deleting does not end the program";
}

TEST_F(EndToEnd, SecondStartEndsWith255AndMakesNoWindow) {
    const pid_t first = StartRinglog();
    ASSERT_FALSE(WaitForWindow().empty());
    const pid_t second = StartRinglog();
    // -1 as an exit status. The wait ends as soon as the second start does; the margin is for a
    // machine whose cores are all busy.
    EXPECT_EQ(WaitForExit(second, 60s), std::optional<int>(255));
    EXPECT_EQ(VisibleWindows().size(), 1u);
    EXPECT_FALSE(WaitForExit(first, 0ms).has_value()) << "the first program keeps running";
}

TEST_F(EndToEnd, TwoStartsAtTheSameMomentLeaveOneProgram) {
    const pid_t a = StartRinglog();
    const pid_t b = StartRinglog();
    ASSERT_FALSE(WaitForWindow().empty());
    std::optional<int> aEnd;
    std::optional<int> bEnd;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!aEnd.has_value() && !bEnd.has_value() && std::chrono::steady_clock::now() < deadline) {
        aEnd = WaitForExit(a, 20ms);
        bEnd = WaitForExit(b, 20ms);
    }
    // The one left must still be running a moment later.
    std::this_thread::sleep_for(300ms);
    if (!aEnd.has_value()) {
        aEnd = WaitForExit(a, 0ms);
    }
    if (!bEnd.has_value()) {
        bEnd = WaitForExit(b, 0ms);
    }
    // Exactly one has ended, with 255; the other runs with the one window.
    ASSERT_NE(aEnd.has_value(), bEnd.has_value());
    EXPECT_EQ(aEnd.has_value() ? *aEnd : *bEnd, 255);
    EXPECT_EQ(VisibleWindows().size(), 1u);
}

TEST(EndToEndScreenshot, WithoutADisplayTheScreenGoesToAPicture) {
    char pattern[] = "/tmp/ringlog-shot-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::string picture = folder + "/screen.png";
    const pid_t pid =
        Spawn({kRinglog, "--store", folder + "/phone.db", "--screenshot", picture},
              {"QT_QPA_PLATFORM=offscreen", "RINGLOG_RUNTIME_DIR=" + folder, "XDG_RUNTIME_DIR=" + folder});
    EXPECT_EQ(WaitForExit(pid, 20s), std::optional<int>(0));
    Kill(pid);
    // A PNG signature, and a picture larger than a bare screen: the phone's body is around it.
    FILE* file = std::fopen(picture.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char header[24] = {};
    const size_t got = std::fread(header, 1, sizeof(header), file);
    std::fclose(file);
    ASSERT_EQ(got, sizeof(header));
    EXPECT_EQ(std::memcmp(header, "\x89PNG\r\n\x1a\n", 8), 0);
    const unsigned width = (header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19];
    const unsigned height = (header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23];
    EXPECT_GT(width, 240u);
    EXPECT_GT(height, 320u);
    EXPECT_LT(width, height) << "a phone stands upright";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace
