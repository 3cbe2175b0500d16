// The ringlog binary in a phone's Wayland session: the phone's compositor headless at 720x1440,
// scale 2 (tests/support/withdesktop.sh --phone). What the program asks of the compositor is read
// from its Wayland log, what it shows from screenshots of the output.
#include "tests/platform/diallerfiles.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

const std::string kRinglog = std::string(RINGLOG_BIN_DIR) + "/ringlog";
// The one output of the session and its size in pixels: 360x720 logical at scale 2.
const char kOutput[] = "HEADLESS-1";
const QSize kPixels(720, 1440);

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the command writes to its standard output.
std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof(buffer), pipe) != nullptr) {
            output += buffer;
        }
        pclose(pipe);
    }
    return output;
}

// Whether the on-screen keyboard says it is shown, once it says so within the wait.
bool KeyboardVisibleBecomes(bool visible, std::chrono::milliseconds wait = 10s) {
    const std::string expected = visible ? "b true\n" : "b false\n";
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (Output("busctl --user get-property sm.puri.OSK0 /sm/puri/OSK0 sm.puri.OSK0 Visible") != expected) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

bool RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The navigation bar's blue.
bool IsBarBlue(QRgb pixel) {
    return qBlue(pixel) > 100 && qBlue(pixel) > qRed(pixel) + 40;
}

// Dark grey to black: the soft-key bar, and the letters of a row.
bool IsDark(QRgb pixel) {
    return qRed(pixel) < 80 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

class PhoneCompositor : public testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("WAYLAND_DISPLAY");
        ASSERT_TRUE(display != nullptr && std::getenv("RINGLOG_PHONE_SESSION") != nullptr)
            << "run it in a phone's session: tests/support/withdesktop.sh --phone";
        char pattern[] = "/tmp/ringlog-phone-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        dialler::MakeGnomeCallsHistory(folder + "/records.db");
        ASSERT_TRUE(RunQuietly(std::string("wlr-randr --output ") + kOutput + " --transform 180"));
    }

    void TearDown() override {
        if (program > 0) {
            helpers.push_back(program);
        }
        for (pid_t pid : helpers) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // Starts the program on the history, its Wayland requests logged to wayland.log.
    void StartRinglog() {
        program = StartRinglogOn("records.db", "wayland.log");
        ASSERT_GT(program, 0);
    }

    // Starts the program on the named store of the case's folder, its Wayland requests and events
    // logged to the named file there; its process.
    pid_t StartRinglogOn(const std::string& store, const std::string& log) {
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("WAYLAND_DEBUG", "client", 1);
            setenv("RINGLOG_RUNTIME_DIR", folder.c_str(), 1);
            setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            const int file = open((folder + "/" + log).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(file, STDERR_FILENO);
            const std::string path = folder + "/" + store;
            execl(kRinglog.c_str(), kRinglog.c_str(), "--store", path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return pid;
    }

    // Starts a program of the session beside ours, its output to the named file of the case's folder.
    void StartHelper(const std::vector<std::string>& args, const std::string& output) {
        const pid_t pid = fork();
        if (pid == 0) {
            const int file = open((folder + "/" + output).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(file, STDOUT_FILENO);
            std::vector<char*> argv;
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        helpers.push_back(pid);
    }

    // The program with a keyboard for keys: one wtype runs for the whole case, as its virtual
    // keyboard lives only while it runs; keys go to the window once the compositor has given it
    // the keyboard.
    void StartRinglogWithKeys() {
        StartHelper({"wtype", "-s", "600000"}, "wtype.log");
        StartRinglog();
        ASSERT_TRUE(LogShows("set_fullscreen("));
        ASSERT_TRUE(LogShowsKeyboardFocus());
    }

    // Opens the soft-key menu and chooses the item that many up from its first (Quit, About, Export
    // Calls, Reverse Lookup, Find, Filter).
    void ChooseFromMenu(int up) {
        ASSERT_TRUE(RunQuietly("wtype -k F2"));
        ASSERT_TRUE(LogShows("get_popup("));
        std::string keys = "wtype";
        for (int i = 0; i < up; ++i) {
            keys += " -k Up";
        }
        ASSERT_TRUE(RunQuietly(keys + " -k Return"));
    }

    // Whether the program's Wayland log holds the text within the wait.
    bool LogShows(const std::string& text, std::chrono::milliseconds wait = 10s) {
        return FileShows("wayland.log", text, wait);
    }

    // Whether the compositor has given the program's window the keyboard, within the wait.
    bool LogShowsKeyboardFocus(std::chrono::milliseconds wait = 10s) { return KeyboardEventsBecome("enter", 1, wait); }

    // Whether a program's Wayland log (the first's unless named) holds at least count of the
    // keyboard's events of that name (enter: the window got the keyboard, leave: it lost it)
    // within the wait.
    bool KeyboardEventsBecome(const std::string& event, size_t count, std::chrono::milliseconds wait = 10s,
                              const std::string& log = "wayland.log") {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (KeyboardEvents(event, log) < count) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(50ms);
        }
        return true;
    }

    size_t KeyboardEvents(const std::string& event, const std::string& name = "wayland.log") {
        const std::string log = ReadFile(folder + "/" + name);
        const std::regex pattern("wl_keyboard@[0-9]+\\." + event + "\\(");
        return static_cast<size_t>(
            std::distance(std::sregex_iterator(log.begin(), log.end(), pattern), std::sregex_iterator()));
    }

    // Whether the named file of the case's folder holds the text within the wait.
    bool FileShows(const std::string& name, const std::string& text, std::chrono::milliseconds wait = 10s) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (ReadFile(folder + "/" + name).find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(50ms);
        }
        return true;
    }

    // The output as the user sees it. A full-screen window may go to the output by direct scan-out,
    // which a headless screenshot reads as black: turned upside down the compositor has to compose
    // the screen, and grim turns the picture back by the output's transform. The output is turned
    // once, before the program starts: turning it closes any open popup.
    QImage Screenshot() {
        const std::string picture = folder + "/screen.png";
        std::filesystem::remove(picture);
        if (!RunQuietly("grim -o " + std::string(kOutput) + " '" + picture + "'")) {
            return QImage();
        }
        return QImage(QString::fromStdString(picture));
    }

    // The screenshot once the probe holds for it, or the last one taken within the wait.
    template <typename Probe> QImage ScreenshotWhen(Probe probe, std::chrono::milliseconds wait = 10s) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        QImage image = Screenshot();
        while (!probe(image) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(200ms);
            image = Screenshot();
        }
        return image;
    }

    std::string folder;
    pid_t program = -1;
    std::vector<pid_t> helpers;
};

// The lines of text in the rows' text column between the given pixel lines: bands of lines with
// dark pixels at least as tall as a small letter, so that the rows' rules do not count.
int TextLines(const QImage& image, int top, int bottom) {
    constexpr int kLeft = 94;
    constexpr int kRight = 300;
    constexpr int kLetterHeight = 8;
    int lines = 0;
    int bandHeight = 0;
    for (int y = top; y < bottom; ++y) {
        bool dark = false;
        for (int x = kLeft; x < kRight && !dark; ++x) {
            dark = IsDark(image.pixel(x, y));
        }
        bandHeight = dark ? bandHeight + 1 : 0;
        if (bandHeight == kLetterHeight) {
            ++lines;
        }
    }
    return lines;
}

TEST_F(PhoneCompositor, ProgramFillsTheScreenUnderItsAppIdAndShowsItsRows) {
    StartRinglog();
    EXPECT_TRUE(LogShows("set_app_id(\"com.zonrik.Ringlog\")"));
    EXPECT_TRUE(LogShows("set_fullscreen("));
    const QImage screen = ScreenshotWhen([](const QImage& image) {
        return !image.isNull() && IsBarBlue(image.pixel(4, 4)) && IsDark(image.pixel(4, image.height() - 4));
    });
    ASSERT_FALSE(screen.isNull());
    screen.save(QString::fromStdString(std::string(RINGLOG_BIN_DIR) + "/../phone-list.png"));
    // The whole output is the program's: its navigation bar from the first line, its soft-key bar
    // to the last, white between.
    EXPECT_EQ(screen.size(), kPixels);
    EXPECT_TRUE(IsBarBlue(screen.pixel(4, 4))) << std::hex << screen.pixel(4, 4);
    EXPECT_TRUE(IsBarBlue(screen.pixel(kPixels.width() - 4, 4)));
    EXPECT_TRUE(IsDark(screen.pixel(4, kPixels.height() - 4))) << std::hex << screen.pixel(4, kPixels.height() - 4);
    EXPECT_EQ(screen.pixel(kPixels.width() / 2, kPixels.height() * 3 / 4), qRgb(255, 255, 255));
    // The six calls' names and numbers, two with their city below (the selected row's letters
    // are white on blue, so five of its six).
    EXPECT_EQ(TextLines(screen, 0, kPixels.height() / 2), 7);
}

// The popups the compositor placed, from the program's Wayland log: each one's last place, in the
// order they opened, with each place made absolute on the assumption that every popup opened from
// the one before it (a menu, then its submenu).
std::vector<QRect> PopupPlaces(const std::string& log) {
    const std::regex configure(R"(xdg_popup@(\d+)\.configure\((-?\d+), (-?\d+), (\d+), (\d+)\))");
    std::vector<std::string> ids;
    std::vector<QRect> places;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), configure); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        const QRect place(std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]));
        const auto known = std::find(ids.begin(), ids.end(), m[1].str());
        if (known == ids.end()) {
            ids.push_back(m[1]);
            places.push_back(place);
        } else {
            places[known - ids.begin()] = place;
        }
    }
    for (size_t i = 1; i < places.size(); ++i) {
        places[i].translate(places[i - 1].topLeft());
    }
    return places;
}

// The soft-key menu and its Filter submenu, opened with keys, lie inside the screen.
TEST_F(PhoneCompositor, MenuAndFilterSubmenuOpenInsideTheScreen) {
    ASSERT_NO_FATAL_FAILURE(StartRinglogWithKeys());
    ASSERT_TRUE(RunQuietly("wtype -k F2"));
    ASSERT_TRUE(LogShows("xdg_popup@"));
    // From the menu's first item up past Quit, About, Export Calls, Reverse Lookup and Find.
    ASSERT_TRUE(RunQuietly("wtype -k Up -k Up -k Up -k Up -k Up -k Up -k Right"));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    std::vector<QRect> places = PopupPlaces(ReadFile(folder + "/wayland.log"));
    while (places.size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
        places = PopupPlaces(ReadFile(folder + "/wayland.log"));
    }
    ASSERT_EQ(places.size(), 2u);
    // On the screen: the submenu's first item, All Calls, highlighted, at scale 2.
    const QPoint allCalls = (places[1].topLeft() + QPoint(places[1].width() / 2, 8)) * 2;
    const QImage picture =
        ScreenshotWhen([&](const QImage& image) { return image.valid(allCalls) && IsBarBlue(image.pixel(allCalls)); });
    // Kept in the build tree, to be looked at.
    picture.save(QString::fromStdString(std::string(RINGLOG_BIN_DIR) + "/../phone-menu.png"));
    ASSERT_TRUE(picture.valid(allCalls));
    EXPECT_TRUE(IsBarBlue(picture.pixel(allCalls))) << std::hex << picture.pixel(allCalls);
    const QRect screen(0, 0, 360, 720);
    for (const QRect& place : places) {
        EXPECT_FALSE(place.isEmpty());
        EXPECT_TRUE(screen.contains(place))
            << place.x() << "," << place.y() << " " << place.width() << "x" << place.height();
    }
}

// The keyboard's digits go into the reverse lookup's field through text input, the field asks for
// digits, and it gives the text input up with the focus.
TEST_F(PhoneCompositor, DigitsFromTheKeyboardLandInTheLookupFieldAndGiveTheCityUntilItLosesTheFocus) {
    // A seat has one input method: this one, or the on-screen keyboard.
    if (std::getenv("RINGLOG_PHONE_KEYBOARD") != nullptr) {
        GTEST_SKIP() << "the on-screen keyboard is the seat's input method";
    }
    // 312555 typed, then corrected to 312512 at once: two bytes deleted before the cursor and 12
    // committed. Deleted after the commit, the field would keep 3125.
    StartHelper({std::string(RINGLOG_BIN_DIR) + "/testinputmethod", "312555", "2", "12"}, "keyboard.log");
    ASSERT_TRUE(FileShows("keyboard.log", "ready"));
    ASSERT_NO_FATAL_FAILURE(StartRinglogWithKeys());
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(4)); // Reverse Lookup

    EXPECT_TRUE(FileShows("keyboard.log", "purpose 2\n")) << ReadFile(folder + "/keyboard.log");
    EXPECT_TRUE(FileShows("keyboard.log", "surrounding 312555\n")) << ReadFile(folder + "/keyboard.log");
    EXPECT_TRUE(FileShows("keyboard.log", "surrounding 312512\n")) << ReadFile(folder + "/keyboard.log");
    // The cursor's rectangle in the surface's logical pixels, on the field (63 to 135 across, 70 to
    // 92 down at scale 1, and a few pixels' margin for the cursor's width), not in device pixels.
    std::smatch rectangle;
    const std::string log = ReadFile(folder + "/wayland.log");
    ASSERT_TRUE(
        std::regex_search(log, rectangle, std::regex(R"(set_cursor_rectangle\((-?\d+), (-?\d+), (\d+), (\d+)\))")));
    EXPECT_GE(std::stoi(rectangle[1]), 58);
    EXPECT_LE(std::stoi(rectangle[1]), 140);
    EXPECT_GE(std::stoi(rectangle[2]), 66);
    EXPECT_LE(std::stoi(rectangle[2]) + std::stoi(rectangle[4]), 96);
    EXPECT_GT(std::stoi(rectangle[4]), 0);
    // Under the field the city and state, a short line; the line that says none is found runs
    // across most of the screen.
    const int top = 205;
    const int bottom = 245;
    const auto cityLineEnd = [&](const QImage& image) {
        int end = -1;
        for (int y = top; y < bottom && !image.isNull(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (IsDark(image.pixel(x, y))) {
                    end = std::max(end, x);
                }
            }
        }
        return end;
    };
    const QImage screen = ScreenshotWhen([&](const QImage& image) {
        const int end = cityLineEnd(image);
        return end > 0 && end < 320;
    });
    screen.save(QString::fromStdString(std::string(RINGLOG_BIN_DIR) + "/../phone-lookup.png"));
    EXPECT_GT(cityLineEnd(screen), 0);
    EXPECT_LT(cityLineEnd(screen), 320);

    // The focus moves on to Clear: the field gives the text input up.
    ASSERT_TRUE(RunQuietly("wtype -k Tab"));
    EXPECT_TRUE(FileShows("keyboard.log", "deactivated\n")) << ReadFile(folder + "/keyboard.log");
}

// The Find field takes plain text from the keyboard.
TEST_F(PhoneCompositor, FindFieldAsksForPlainTextAndTakesTheKeyboardsText) {
    if (std::getenv("RINGLOG_PHONE_KEYBOARD") != nullptr) {
        GTEST_SKIP() << "the on-screen keyboard is the seat's input method";
    }
    StartHelper({std::string(RINGLOG_BIN_DIR) + "/testinputmethod", "ada"}, "keyboard.log");
    ASSERT_TRUE(FileShows("keyboard.log", "ready"));
    ASSERT_NO_FATAL_FAILURE(StartRinglogWithKeys());
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(5)); // Find
    EXPECT_TRUE(FileShows("keyboard.log", "purpose 0\n")) << ReadFile(folder + "/keyboard.log");
    EXPECT_TRUE(FileShows("keyboard.log", "surrounding ada\n")) << ReadFile(folder + "/keyboard.log");
}

// With the phone's own on-screen keyboard (withdesktop.sh --phone --keyboard, its log in the
// runtime folder's keyboard.log): the reverse lookup's field shows it in its number layout, and it
// goes when the dialog closes.
TEST_F(PhoneCompositor, KeyboardComesUpWithNumbersForTheLookupFieldAndGoesWithTheDialog) {
    if (std::getenv("RINGLOG_PHONE_KEYBOARD") == nullptr) {
        GTEST_SKIP() << "needs the on-screen keyboard: tests/support/withdesktop.sh --phone --keyboard";
    }
    ASSERT_NO_FATAL_FAILURE(StartRinglogWithKeys());
    // The list has no text field: no keyboard, and no number layout loaded yet.
    EXPECT_TRUE(KeyboardVisibleBecomes(false));
    EXPECT_EQ(ReadFile(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/keyboard.log").find("number/"),
              std::string::npos);
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(4)); // Reverse Lookup
    EXPECT_TRUE(KeyboardVisibleBecomes(true));
    // In its number layout, which it loads when a field asks for digits.
    const std::string keyboardLog = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/keyboard.log";
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (ReadFile(keyboardLog).find("layout Resource: number/") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_NE(ReadFile(keyboardLog).find("layout Resource: number/"), std::string::npos) << ReadFile(keyboardLog);
    // On the screen: the compositor draws its keyboard under a full-screen window, so the window
    // leaves full screen and is fitted above the keyboard, whose light keys fill the bottom where
    // the soft-key bar was.
    const auto bottomIsDark = [](const QImage& image) {
        return !image.isNull() && IsDark(image.pixel(image.width() / 2, image.height() - 4));
    };
    EXPECT_TRUE(LogShows("unset_fullscreen("));
    const QImage withKeyboard =
        ScreenshotWhen([&](const QImage& image) { return !image.isNull() && !bottomIsDark(image); });
    withKeyboard.save(QString::fromStdString(std::string(RINGLOG_BIN_DIR) + "/../phone-keyboard.png"));
    EXPECT_FALSE(bottomIsDark(withKeyboard));
    EXPECT_TRUE(IsBarBlue(withKeyboard.pixel(4, 4))) << "the dialog's bar stays at the top";
    const std::string log = ReadFile(folder + "/wayland.log");
    const size_t fullScreenRequests = Occurrences(log, "set_fullscreen(") - Occurrences(log, "unset_fullscreen(");

    // A tap on Done closes the dialog: the keyboard goes and the window is full screen again.
    ASSERT_TRUE(RunQuietly(std::string(RINGLOG_BIN_DIR) + "/testtap 340 13 360 720"));
    EXPECT_TRUE(KeyboardVisibleBecomes(false));
    const QImage without = ScreenshotWhen(bottomIsDark);
    EXPECT_TRUE(bottomIsDark(without)) << "the soft-key bar at the bottom again";
    const std::string after = ReadFile(folder + "/wayland.log");
    EXPECT_GT(Occurrences(after, "set_fullscreen(") - Occurrences(after, "unset_fullscreen("), fullScreenRequests);
}

// A second start on the same store brings the running program to the front from behind another
// program's window: it hands the compositor's token over, the first activates its window with it,
// and the compositor gives it the keyboard again.
TEST_F(PhoneCompositor, SecondStartBringsTheFirstToTheFront) {
    if (std::getenv("RINGLOG_PHONE_KEYBOARD") != nullptr) {
        GTEST_SKIP() << "runs in the session without the on-screen keyboard";
    }
    ASSERT_NO_FATAL_FAILURE(StartRinglogWithKeys());
    // Another program's window in front: the program on a second store runs beside the first.
    std::filesystem::copy_file(folder + "/records.db", folder + "/other.db");
    const pid_t other = StartRinglogOn("other.db", "other.log");
    ASSERT_GT(other, 0);
    helpers.push_back(other);
    ASSERT_TRUE(KeyboardEventsBecome("leave", 1));
    const size_t enters = KeyboardEvents("enter");

    const pid_t second = StartRinglogOn("records.db", "second.log");
    ASSERT_GT(second, 0);
    int status = 0;
    ASSERT_EQ(waitpid(second, &status, 0), second);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 255) << "the second start ends at once";
    // The second asked for a token under the program's app id, and the first used that token.
    std::smatch given;
    const std::string secondLog = ReadFile(folder + "/second.log");
    EXPECT_NE(secondLog.find("set_app_id(\"com.zonrik.Ringlog\")"), std::string::npos);
    ASSERT_TRUE(
        std::regex_search(secondLog, given, std::regex(R"re(xdg_activation_token_v1@\d+\.done\("([^"]+)"\))re")))
        << secondLog;
    const std::string token = given[1];
    EXPECT_TRUE(LogShows("activate(\"" + token + "\", wl_surface@"));
    // The compositor found the token valid and for a shown window.
    const std::string compositorLog = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/phoc.log";
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (ReadFile(compositorLog).find("via token '" + token + "'") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_NE(ReadFile(compositorLog).find("Activating view"), std::string::npos) << ReadFile(compositorLog);
    EXPECT_NE(ReadFile(compositorLog).find("via token '" + token + "'"), std::string::npos);
    // In front again: the keyboard back with the first, gone from the other.
    EXPECT_TRUE(KeyboardEventsBecome("enter", enters + 1));
    EXPECT_TRUE(KeyboardEventsBecome("leave", 1, 10s, "other.log"));
}

} // namespace
