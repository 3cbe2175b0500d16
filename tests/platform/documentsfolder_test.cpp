// The documents folder from the desktop's user-dirs.dirs, read as a file anyone may have put there.
#include "platform/files/documentsfolder.h"
#include "tests/platform/childsandbox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ParseRow {
    const char* what;
    std::string text;
    const char* home;
    const char* folder; // null: no usable line
};

TEST(ParseDocumentsDir, TableOfLines) {
    const std::string tooLong = "XDG_DOCUMENTS_DIR=\"/" + std::string(5000, 'a') + "\"\n";
    const ParseRow rows[] = {
        {"as the desktop writes it", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n",
         "/home/u", "/home/u/Docs"},
        {"absolute", "XDG_DOCUMENTS_DIR=\"/data/docs\"", "/home/u", "/data/docs"},
        {"blanks around", "  \tXDG_DOCUMENTS_DIR = \"$HOME/D\"  ", "/home/u", "/home/u/D"},
        {"CRLF", "XDG_DOCUMENTS_DIR=\"$HOME/D\"\r\n", "/home/u", "/home/u/D"},
        {"home itself", "XDG_DOCUMENTS_DIR=\"$HOME\"", "/home/u", "/home/u"},
        {"home with slash", "XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/u", "/home/u"},
        {"trailing slashes", "XDG_DOCUMENTS_DIR=\"/data/docs//\"", "/home/u", "/data/docs"},
        {"root home", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "/", "/Docs"},
        {"escaped quotes", "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"", "/home/u", "/home/u/My \"Docs\""},
        {"escaped backslash and dollar", "XDG_DOCUMENTS_DIR=\"$HOME/a\\\\b\\$c\"", "/home/u", "/home/u/a\\b$c"},
        {"UTF-8 name", "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"", "/home/u", "/home/u/Документы"},
        {"last usable line wins", "XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "/home/u",
         "/home/u/B"},
        {"a bad later line does not win", "XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=$HOME/B\n", "/home/u",
         "/home/u/A"},
        {"empty", "", "/home/u", nullptr},
        {"only newlines", "\n\n\n", "/home/u", nullptr},
        {"commented out", "# XDG_DOCUMENTS_DIR=\"$HOME/x\"", "/home/u", nullptr},
        {"unquoted", "XDG_DOCUMENTS_DIR=$HOME/Docs", "/home/u", nullptr},
        {"single quotes", "XDG_DOCUMENTS_DIR='$HOME/Docs'", "/home/u", nullptr},
        {"truncated in the quotes", "XDG_DOCUMENTS_DIR=\"$HOME/Doc", "/home/u", nullptr},
        {"truncated after a backslash", "XDG_DOCUMENTS_DIR=\"$HOME/Doc\\", "/home/u", nullptr},
        {"truncated after the key", "XDG_DOCUMENTS_DIR", "/home/u", nullptr},
        {"no equals sign", "XDG_DOCUMENTS_DIR \"$HOME/D\"", "/home/u", nullptr},
        {"empty value", "XDG_DOCUMENTS_DIR=\"\"", "/home/u", nullptr},
        {"relative", "XDG_DOCUMENTS_DIR=\"Documents\"", "/home/u", nullptr},
        {"another variable", "XDG_DOCUMENTS_DIR=\"$HOMEDIR/D\"", "/home/u", nullptr},
        {"a longer key", "XDG_DOCUMENTS_DIRS=\"$HOME/D\"", "/home/u", nullptr},
        {"another key", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"", "/home/u", nullptr},
        {"a NUL in the value", std::string("XDG_DOCUMENTS_DIR=\"$HOME/a") + '\0' + "b\"", "/home/u", nullptr},
        {"home unknown", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "", nullptr},
        {"home relative", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "home", nullptr},
        {"absolute without a home", "XDG_DOCUMENTS_DIR=\"/srv/docs\"", "", "/srv/docs"},
        {"longer than a path", tooLong, "/home/u", nullptr},
    };
    for (const ParseRow& row : rows) {
        std::string folder = "untouched";
        const int result = ParseDocumentsDir(row.text, row.home, &folder);
        if (row.folder == nullptr) {
            EXPECT_EQ(result, -1) << row.what;
            EXPECT_EQ(folder, "untouched") << row.what;
        } else {
            EXPECT_EQ(result, 0) << row.what;
            EXPECT_EQ(folder, row.folder) << row.what;
        }
    }
}

class UserDirsFile : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-userdirs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("HOME", (dir + "/home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        fs::create_directories(dir + "/home/.config");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value.has_value()) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        std::error_code error;
        fs::remove_all(dir, error);
    }

    std::string Folder() {
        std::string folder = "none";
        return DocumentsFolder(&folder) == 0 ? folder : "-1";
    }

    std::string dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(UserDirsFile, TheFileNamesTheFolderElseDocumentsUnderHome) {
    const std::string home = dir + "/home";
    EXPECT_EQ(Folder(), home + "/Documents");
    std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    EXPECT_EQ(Folder(), home + "/Papers");

    // $XDG_CONFIG_HOME moves the file; a relative one is ignored.
    fs::create_directories(dir + "/config");
    std::ofstream(dir + "/config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/shared\"\n";
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    EXPECT_EQ(Folder(), "/srv/shared");
    setenv("XDG_CONFIG_HOME", "config", 1);
    EXPECT_EQ(Folder(), home + "/Papers");

    // A file without a usable line leaves the default.
    std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=Papers\n";
    EXPECT_EQ(Folder(), home + "/Documents");
}

TEST_F(UserDirsFile, WithoutAHomeOnlyAnAbsoluteFolderFromTheFileIsFound) {
    unsetenv("HOME");
    EXPECT_EQ(Folder(), "-1");
    setenv("HOME", "relative/home", 1);
    EXPECT_EQ(Folder(), "-1");
    fs::create_directories(dir + "/config");
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    std::ofstream(dir + "/config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
    EXPECT_EQ(Folder(), "-1");
    std::ofstream(dir + "/config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n";
    EXPECT_EQ(Folder(), "/srv/docs");
}

TEST_F(UserDirsFile, FilesThatAreNotPlainSmallFilesAreNotRead) {
    const std::string file = dir + "/home/.config/user-dirs.dirs";
    std::string text = "untouched";
    EXPECT_EQ(ReadUserDirsFile(file, &text), -1) << "missing";
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    EXPECT_EQ(ReadUserDirsFile(file, &text), -1) << "a folder";
    ASSERT_EQ(rmdir(file.c_str()), 0);

    // A device that never ends and a pipe nobody writes: neither may hold the program.
    ASSERT_EQ(symlink("/dev/zero", file.c_str()), 0);
    EXPECT_EQ(ReadUserDirsFile(file, &text), -1) << "a link to a device";
    EXPECT_EQ(Folder(), dir + "/home/Documents");
    ASSERT_EQ(unlink(file.c_str()), 0);
    ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
    EXPECT_EQ(ReadUserDirsFile(file, &text), -1) << "a pipe";
    EXPECT_EQ(Folder(), dir + "/home/Documents");
    ASSERT_EQ(unlink(file.c_str()), 0);

    // Huge: a valid line at the start does not make the file usable.
    std::ofstream(file) << "XDG_DOCUMENTS_DIR=\"$HOME/Huge\"\n" << std::string(70 * 1024, '#');
    EXPECT_EQ(ReadUserDirsFile(file, &text), -1) << "huge";
    EXPECT_EQ(Folder(), dir + "/home/Documents");
    EXPECT_EQ(text, "untouched");

    // A link to a plain file is followed: the desktop's own tools may leave one.
    std::ofstream(dir + "/real.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Linked\"";
    ASSERT_EQ(unlink(file.c_str()), 0);
    ASSERT_EQ(symlink((dir + "/real.dirs").c_str(), file.c_str()), 0);
    ASSERT_EQ(ReadUserDirsFile(file, &text), 0);
    EXPECT_EQ(text, "XDG_DOCUMENTS_DIR=\"$HOME/Linked\"");
    EXPECT_EQ(Folder(), dir + "/home/Linked");
}

TEST_F(UserDirsFile, AnUnreadableFileLeavesTheDefault) {
    const std::string file = dir + "/home/.config/user-dirs.dirs";
    std::ofstream(file) << "XDG_DOCUMENTS_DIR=\"$HOME/Secret\"\n";
    ASSERT_EQ(chmod(file.c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    const std::string expected = dir + "/home/Documents";
    const int code = sandbox::RunInChild(sandbox::Kind::Nobody, [&] {
        std::string text;
        if (ReadUserDirsFile(file, &text) != -1) {
            return 1;
        }
        return Folder() == expected ? 0 : 2;
    });
    if (code == sandbox::kUnavailable) {
        GTEST_SKIP() << "no user namespaces here";
    }
    EXPECT_EQ(code, 0);
}

} // namespace
