#include "platform/files/programfiles.h"

#include "platform/files/fileservice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// The executable's location comes with its links resolved; so must the expectation.
std::string InShareDir(const char* file) {
    return std::filesystem::weakly_canonical(std::filesystem::path(RINGLOG_SHARE_DIR) / file).string();
}

} // namespace

// The test executables sit in bin/ of the build tree, whose share/zonrik/ holds the database.
TEST(ProgramFiles, MapsProgramFilesToTheShareFolderBesideBin) {
    SetCityDatabaseOverride("");
    const std::string expected = InShareDir("Zonrik.dll");
    EXPECT_EQ(MapProgramPath(u"\\Program Files\\Zonrik\\Zonrik.dll"), expected);
    EXPECT_EQ(MapProgramPath(u"\\program files\\ZONRIK\\Zonrik.dll"), expected);
}

TEST(ProgramFiles, RefusesPathsOutsideProgramFiles) {
    for (const char16_t* path : {u"\\Windows\\clog.db", u"Zonrik.dll", u"", u"\\Program Files",
                                 u"\\Program Files\\..\\..\\etc\\passwd", u"\\Program Files\\Zonrik\\..\\x"}) {
        EXPECT_EQ(MapProgramPath(path), "") << std::u16string(path).size();
    }
    EXPECT_EQ(MapProgramPath(nullptr), "");
}

TEST(ProgramFiles, OverrideReplacesOnlyTheCityDatabase) {
    SetCityDatabaseOverride("/data/other.db");
    EXPECT_EQ(MapProgramPath(u"\\Program Files\\Zonrik\\Zonrik.dll"), "/data/other.db");
    EXPECT_EQ(MapProgramPath(u"\\PROGRAM FILES\\zonrik\\zonrik.DLL"), "/data/other.db");
    EXPECT_EQ(MapProgramPath(u"\\Program Files\\Zonrik\\Other.dll"), InShareDir("Other.dll"));
    SetCityDatabaseOverride("");
    EXPECT_EQ(MapProgramPath(u"\\Program Files\\Zonrik\\Zonrik.dll"), InShareDir("Zonrik.dll"));
}

TEST(FileService, ReadsExactlyTheFileAndFailsPastItsEnd) {
    SetCityDatabaseOverride(RINGLOG_SHIPPED_CITYDB);
    const FileHandle file = OpenFileForRead(u"\\Program Files\\Zonrik\\Zonrik.dll");
    ASSERT_NE(file, kInvalidFile);
    uint64_t size = 0;
    ASSERT_EQ(GetFileSize(file, size), 0);
    ASSERT_GT(size, 2488u);
    std::string bytes(size, '\0');
    EXPECT_EQ(ReadFileBytes(file, bytes.data(), bytes.size()), 0);
    char more = 0;
    EXPECT_EQ(ReadFileBytes(file, &more, 1), -1);
    CloseFile(file);
    EXPECT_EQ(GetFileSize(kInvalidFile, size), -1);
    EXPECT_EQ(ReadFileBytes(kInvalidFile, &more, 1), -1);
    SetCityDatabaseOverride("");
}
