// The phone screen rendered to a picture, on a display the size of a phone and on a desktop's, from
// a GNOME Calls history made here.
#include "tests/platform/diallerfiles.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class FullScreen : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-full-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        history = folder + "/records.db";
        dialler::MakeGnomeCallsHistory(history);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // Renders the screen on an offscreen display of the given size; the exit code.
    int Render(int width, int height, const std::string& picture, const std::string& switches = "") {
        const std::string screens = folder + "/screens.json";
        std::ofstream(screens) << "{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": " << width
                               << ", \"height\": " << height
                               << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}";
        const std::string command = "QT_QPA_PLATFORM=offscreen:configfile=" + screens +
                                    " RINGLOG_RUNTIME_DIR=" + folder + " XDG_RUNTIME_DIR=" + folder +
                                    " ASAN_OPTIONS=detect_leaks=0 '" + RINGLOG_BIN_DIR + "/ringlog' --store '" +
                                    history + "' --screenshot '" + picture + "' " + switches + " 2>/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string folder;
    std::string history;
};

// Dark grey to black: the soft-key bar at the bottom.
bool IsDark(QRgb pixel) {
    return qAlpha(pixel) == 255 && qRed(pixel) < 80 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

// The navigation bar's blue.
bool IsBarBlue(QRgb pixel) {
    return qAlpha(pixel) == 255 && qBlue(pixel) > 100 && qBlue(pixel) > qRed(pixel) + 40;
}

TEST_F(FullScreen, PhoneSizedDisplayShowsTheScreenAlone) {
    // Kept in the build tree, to be looked at.
    const std::string picture = std::string(RINGLOG_BIN_DIR) + "/../fullscreen-360x720.png";
    ASSERT_EQ(Render(360, 720, picture), 0);
    const QImage image(QString::fromStdString(picture));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(360, 720));
    // Navigation bar from the first row, soft-key bar to the last, white work area between; the
    // corners are opaque: there is no rounded body around the screen.
    EXPECT_TRUE(IsBarBlue(image.pixel(1, 1))) << std::hex << image.pixel(1, 1);
    EXPECT_TRUE(IsBarBlue(image.pixel(358, 1)));
    EXPECT_TRUE(IsDark(image.pixel(1, 718))) << std::hex << image.pixel(1, 718);
    EXPECT_TRUE(IsDark(image.pixel(358, 718)));
    EXPECT_EQ(image.pixel(180, 600), qRgb(255, 255, 255));
}

TEST_F(FullScreen, SwitchFillsADesktopDisplay) {
    const std::string picture = folder + "/desktop.png";
    ASSERT_EQ(Render(1024, 768, picture, "--fullscreen"), 0);
    const QImage image(QString::fromStdString(picture));
    EXPECT_EQ(image.size(), QSize(1024, 768));
    EXPECT_TRUE(IsBarBlue(image.pixel(1, 1)));
    EXPECT_TRUE(IsDark(image.pixel(1022, 766)));
}

TEST_F(FullScreen, DesktopDisplayKeepsTheDrawnPhone) {
    const std::string picture = folder + "/phone.png";
    ASSERT_EQ(Render(1024, 768, picture), 0);
    const QImage image(QString::fromStdString(picture));
    // The default 240 x 320 screen inside the body; the body's rounded corner leaves the corner
    // pixel see-through.
    EXPECT_GT(image.width(), 240);
    EXPECT_GT(image.height(), 320);
    EXPECT_LT(image.width(), 400);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
}

TEST_F(FullScreen, FileThatIsNoCallLogIsRefusedAndLeftAlone) {
    const std::string other = folder + "/contacts.db";
    dialler::Exec(other, "CREATE TABLE people (name TEXT); INSERT INTO people VALUES ('Ada');");
    const std::string before = dialler::Rows(other, "SELECT * FROM people");
    const auto size = std::filesystem::file_size(other);
    history = other;
    EXPECT_EQ(Render(360, 720, folder + "/none.png"), 1);
    EXPECT_FALSE(std::filesystem::exists(folder + "/none.png"));
    EXPECT_EQ(std::filesystem::file_size(other), size);
    EXPECT_EQ(dialler::Rows(other, "SELECT * FROM people"), before);
}

} // namespace
