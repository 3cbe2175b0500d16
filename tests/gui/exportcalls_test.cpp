// Export Calls from the main menu: the rows the list shows, filter and search applied, written as CSV
// into the documents folder, and the message box that names the file or says why nothing was written.
#include "viewtestenv.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "resources/resource.h"

#include <QLineEdit>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace viewtest;

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "type,start,end,number,name,name_type,note,caller_id,flags\n";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ExportCallsGui : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        home = dir + "/home";
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        Phone()->SetMessageBoxObserver([this](ShellMessageBox& box) {
            told.push_back(box.Text().toStdString());
            captions.push_back(box.Caption().toStdString());
            box.Press(IDOK);
        });
    }
    void TearDown() override {
        Phone()->SetMessageBoxObserver(nullptr);
        for (const auto& [name, value] : saved) {
            if (value.has_value()) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        ViewTest::TearDown();
    }

    std::vector<std::string> FilesUnder(const std::string& folder) {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
            names.push_back(entry.path().string());
        }
        return names;
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    std::string home;
    std::vector<std::string> told;
    std::vector<std::string> captions;
};

TEST_F(ExportCallsGui, TheFilteredRowsAreWrittenAndTheBoxNamesTheFile) {
    Start(NineCalls());
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    ChooseFromMenu(QStringLiteral("Export Calls"));

    const std::string path = home + "/Documents/ringlog-calls-2026-12-09.csv";
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "The calls were exported to " + path + ".");
    EXPECT_EQ(captions[0], "Zonrik Ringlog");
    const std::string first = ReadAll(path);
    EXPECT_EQ(first, std::string(kHeader) +
                         "missed,2026-12-09T14:45:00Z,2026-12-09T14:46:00Z,\"4255550101\",,,,available,0\n"
                         "missed,2026-12-09T14:30:00Z,2026-12-09T14:31:00Z,\"4255550104\",,,,available,0\n"
                         "missed,2026-12-09T14:15:00Z,2026-12-09T14:16:00Z,\"4255550107\",,,,available,0\n");

    // Under This Number, a second export the same day goes beside the first, never over it.
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("This Number"), QStringLiteral("Filter"));
    ChooseFromMenu(QStringLiteral("Export Calls"));
    const std::string second = home + "/Documents/ringlog-calls-2026-12-09-2.csv";
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], "The calls were exported to " + second + ".");
    EXPECT_EQ(ReadAll(second), std::string(kHeader) + "incoming,2026-12-09T14:40:00Z,2026-12-09T14:41:00Z,"
                                                      "\"4255550102\",,,,available,0\n");
    EXPECT_EQ(ReadAll(path), first);
    // The list is left as it was.
    EXPECT_EQ(ItemData(), std::vector<int>{2});
}

TEST_F(ExportCallsGui, UnderASearchOnlyTheCallsFoundWithinTheFilterAreWritten) {
    Start(NineCalls());
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    WhenDialogUp([](CDialog&) {
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(field, QStringLiteral("01-04"));
        Phone()->PressDone();
    });
    ChooseFromMenu(QStringLiteral("Find"));
    Settle();
    ASSERT_EQ(ItemData(), std::vector<int>{4});
    ChooseFromMenu(QStringLiteral("Export Calls"));

    const std::string path = home + "/Documents/ringlog-calls-2026-12-09.csv";
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "The calls were exported to " + path + ".");
    EXPECT_EQ(ReadAll(path), std::string(kHeader) + "missed,2026-12-09T14:30:00Z,2026-12-09T14:31:00Z,"
                                                    "\"4255550104\",,,,available,0\n");
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Find: 01-04"));
}

TEST_F(ExportCallsGui, AFolderThatCannotBeCreatedWritesNothingAndSaysWhy) {
    Start(NineCalls());
    // A file stands where the documents folder should be.
    fs::create_directories(home);
    std::ofstream(home + "/Documents") << "not a folder\n";
    ChooseFromMenu(QStringLiteral("Export Calls"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "The calls were not exported. The documents folder cannot be created.");
    EXPECT_EQ(FilesUnder(home), std::vector<std::string>{home + "/Documents"});
    EXPECT_EQ(ReadAll(home + "/Documents"), "not a folder\n");
    EXPECT_EQ(Rows().GetItemCount(), 9);
}

} // namespace
