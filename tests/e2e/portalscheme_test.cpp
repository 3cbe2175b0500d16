// The colour scheme chosen on the desktop, through the real settings portal of a GNOME session of
// the test's own (tests/support/withdesktop.sh --portal): set with gsettings, read by the program at
// start and followed while it runs.
#include "tests/calllog/citydbfile.h"
#include "tests/platform/diallerfiles.h"

#include <QImage>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

enum class Shade { kWhite, kDark, kOther };

Shade ShadeOf(int red, int green, int blue) {
    if (red == 255 && green == 255 && blue == 255) {
        return Shade::kWhite;
    }
    // The dark scheme's list is near black, far from the X server's own black root.
    if (red < 60 && green < 60 && blue < 60 && (red | green | blue) != 0) {
        return Shade::kDark;
    }
    return Shade::kOther;
}

class PortalScheme : public testing::Test {
protected:
    void SetUp() override {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
        if (config == nullptr || desktop == nullptr || std::getenv("RINGLOG_IN_DESKTOP") == nullptr) {
            GTEST_SKIP() << "run it on a desktop with the portal: tests/support/withdesktop.sh --portal";
        }
        char pattern[] = "/tmp/ringlog-portal-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        history = folder + "/records.db";
        dialler::MakeGnomeCallsHistory(history);
        cities = folder + "/Zonrik.dll";
        citydbfile::Write(cities);
        ASSERT_EQ(Choose("default"), 0);
    }
    void TearDown() override {
        if (running > 0) {
            kill(running, SIGTERM);
            int status = 0;
            waitpid(running, &status, 0);
        }
        if (!folder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }

    // What a user does in the desktop's settings: "default", "prefer-dark" or "prefer-light".
    static int Choose(const std::string& scheme) {
        const std::string command = "gsettings set org.gnome.desktop.interface color-scheme " + scheme;
        return std::system(command.c_str());
    }

    // The picture --screenshot writes, off-screen; the shade of the list's empty background.
    Shade ScreenshotShade() {
        const std::string picture = folder + "/screen.png";
        std::filesystem::remove(picture);
        const std::string command = "QT_QPA_PLATFORM=offscreen RINGLOG_RUNTIME_DIR=" + folder +
                                    " ASAN_OPTIONS=detect_leaks=0 '" + RINGLOG_BIN_DIR + "/ringlog' --store '" +
                                    history + "' --citydb '" + cities + "' --screenshot '" + picture +
                                    "' --fullscreen 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            return Shade::kOther;
        }
        const QImage image(QString::fromStdString(picture));
        if (image.isNull()) {
            return Shade::kOther;
        }
        const QRgb pixel = image.pixel(image.width() - 4, image.height() * 3 / 4);
        return ShadeOf(qRed(pixel), qGreen(pixel), qBlue(pixel));
    }

    // The program's screen alone on the virtual X server.
    void StartOnTheDisplay() {
        running = fork();
        if (running == 0) {
            setenv("RINGLOG_RUNTIME_DIR", folder.c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            const std::string program = std::string(RINGLOG_BIN_DIR) + "/ringlog";
            execl(program.c_str(), program.c_str(), "--store", history.c_str(), "--citydb", cities.c_str(),
                  "--fullscreen", static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // Waits until the list's rows on the display (the window sits at the top left: there is no
    // window manager) have the shade as their most frequent colour, at most 20 s; whether they did.
    // That colour, as last seen, goes to last.
    static bool DisplayTurns(Shade wanted, unsigned long& last) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            return false;
        }
        bool seen = false;
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            XImage* image = XGetImage(display, DefaultRootWindow(display), 50, 60, 180, 200, AllPlanes, ZPixmap);
            if (image != nullptr) {
                std::map<unsigned long, int> counts;
                for (int y = 0; y < 200; ++y) {
                    for (int x = 0; x < 180; ++x) {
                        ++counts[XGetPixel(image, x, y) & 0xFFFFFFu];
                    }
                }
                XDestroyImage(image);
                int most = 0;
                for (const auto& [pixel, count] : counts) {
                    if (count > most) {
                        most = count;
                        last = pixel;
                    }
                }
                seen = ShadeOf(static_cast<int>((last >> 16) & 0xFF), static_cast<int>((last >> 8) & 0xFF),
                               static_cast<int>(last & 0xFF)) == wanted;
            }
            if (!seen) {
                std::this_thread::sleep_for(100ms);
            }
        }
        XCloseDisplay(display);
        return seen;
    }

    std::string folder;
    std::string history;
    std::string cities;
    pid_t running = -1;
};

TEST_F(PortalScheme, StartDrawsTheSchemeTheDesktopHasChosen) {
    EXPECT_EQ(ScreenshotShade(), Shade::kWhite) << "no preference";
    ASSERT_EQ(Choose("prefer-dark"), 0);
    EXPECT_EQ(ScreenshotShade(), Shade::kDark);
    ASSERT_EQ(Choose("prefer-light"), 0);
    EXPECT_EQ(ScreenshotShade(), Shade::kWhite);
}

TEST_F(PortalScheme, RunningProgramFollowsEveryChangeOfTheDesktop) {
    StartOnTheDisplay();
    unsigned long seen = 0;
    ASSERT_TRUE(DisplayTurns(Shade::kWhite, seen)) << "the program never showed its light list: " << std::hex << seen;
    ASSERT_EQ(Choose("prefer-dark"), 0);
    EXPECT_TRUE(DisplayTurns(Shade::kDark, seen)) << "the list stayed light: " << std::hex << seen;
    ASSERT_EQ(Choose("default"), 0);
    EXPECT_TRUE(DisplayTurns(Shade::kWhite, seen)) << "the list stayed dark: " << std::hex << seen;
}

} // namespace
