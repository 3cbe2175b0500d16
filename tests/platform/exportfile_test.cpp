// New files for the user to keep: made whole or not at all, never over another file, in a folder
// made when missing; each refusal of the file system named.
#include "platform/files/exportfile.h"
#include "tests/platform/childsandbox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ExportFile : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-exportfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }

    int Write(const std::string& folder, const std::string& bytes) {
        return WriteExportFile(folder, "ringlog-calls-2026-12-09", ".csv", bytes, &path, &why);
    }

    std::string dir;
    std::string path;
    ExportError why = ExportError::None;
};

TEST_F(ExportFile, WritesTheBytesUnderTheFirstNameAndLeavesNothingElse) {
    const std::string bytes = std::string("type,start\n\0binary\xff", 19);
    ASSERT_EQ(Write(dir, bytes), 0);
    EXPECT_EQ(why, ExportError::None);
    EXPECT_EQ(path, dir + "/ringlog-calls-2026-12-09.csv");
    EXPECT_EQ(ReadAll(path), bytes);
    EXPECT_EQ(Names(dir), std::set<std::string>{"ringlog-calls-2026-12-09.csv"});
}

TEST_F(ExportFile, TakenNamesGetTheNextSuffixAndKeepTheirContent) {
    ASSERT_EQ(Write(dir, "first"), 0);
    ASSERT_EQ(Write(dir, "second"), 0);
    EXPECT_EQ(path, dir + "/ringlog-calls-2026-12-09-2.csv");
    ASSERT_EQ(Write(dir, "third"), 0);
    EXPECT_EQ(path, dir + "/ringlog-calls-2026-12-09-3.csv");
    EXPECT_EQ(ReadAll(dir + "/ringlog-calls-2026-12-09.csv"), "first");
    EXPECT_EQ(ReadAll(dir + "/ringlog-calls-2026-12-09-2.csv"), "second");
    EXPECT_EQ(ReadAll(dir + "/ringlog-calls-2026-12-09-3.csv"), "third");
    EXPECT_EQ(Names(dir).size(), 3u);
}

TEST_F(ExportFile, GapsAreFilledAndNoKindOfEntryIsReplaced) {
    std::ofstream(dir + "/ringlog-calls-2026-12-09.csv") << "the user's";
    // A link to nowhere and a folder hold their names too; neither is followed or replaced.
    ASSERT_EQ(symlink((dir + "/elsewhere").c_str(), (dir + "/ringlog-calls-2026-12-09-2.csv").c_str()), 0);
    ASSERT_EQ(mkdir((dir + "/ringlog-calls-2026-12-09-3.csv").c_str(), 0755), 0);
    std::ofstream(dir + "/ringlog-calls-2026-12-09-5.csv") << "five";
    ASSERT_EQ(Write(dir, "new"), 0);
    EXPECT_EQ(path, dir + "/ringlog-calls-2026-12-09-4.csv");
    ASSERT_EQ(Write(dir, "newer"), 0);
    EXPECT_EQ(path, dir + "/ringlog-calls-2026-12-09-6.csv");
    EXPECT_EQ(ReadAll(dir + "/ringlog-calls-2026-12-09.csv"), "the user's");
    EXPECT_EQ(ReadAll(dir + "/ringlog-calls-2026-12-09-5.csv"), "five");
    EXPECT_FALSE(fs::exists(dir + "/elsewhere"));
    EXPECT_EQ(Names(dir).size(), 6u);
}

TEST_F(ExportFile, EveryNameTakenIsRefusedWithNothingLeft) {
    std::ofstream(dir + "/ringlog-calls-2026-12-09.csv") << "1";
    for (int suffix = 2; suffix <= kMaxExportSuffix; ++suffix) {
        std::ofstream(dir + "/ringlog-calls-2026-12-09-" + std::to_string(suffix) + ".csv") << suffix;
    }
    EXPECT_EQ(Write(dir, "one too many"), -1);
    EXPECT_EQ(why, ExportError::NoFreeName);
    EXPECT_EQ(path, dir);
    EXPECT_EQ(Names(dir).size(), static_cast<size_t>(kMaxExportSuffix));
}

TEST_F(ExportFile, MissingFoldersAreMadeWithTheirParents) {
    const std::string folder = dir + "/home/user/My Documents";
    ASSERT_EQ(Write(folder + "/", "calls"), 0);
    EXPECT_EQ(path, folder + "/ringlog-calls-2026-12-09.csv");
    EXPECT_EQ(ReadAll(path), "calls");
}

TEST_F(ExportFile, AFolderThatCannotBeMadeWritesNothing) {
    std::ofstream(dir + "/plain file") << "x";
    // A file stands where a parent folder should be, and where the folder itself should be.
    EXPECT_EQ(Write(dir + "/plain file/Documents", "calls"), -1);
    EXPECT_EQ(why, ExportError::FolderNotCreatable);
    EXPECT_EQ(path, dir + "/plain file/Documents");
    EXPECT_EQ(Write(dir + "/plain file", "calls"), -1);
    EXPECT_EQ(why, ExportError::FolderNotCreatable);
    EXPECT_EQ(ReadAll(dir + "/plain file"), "x");
    EXPECT_EQ(Names(dir), std::set<std::string>{"plain file"});

    EXPECT_EQ(Write("Documents", "calls"), -1);
    EXPECT_EQ(why, ExportError::NoDocumentsFolder);
    EXPECT_EQ(Write("", "calls"), -1);
    EXPECT_EQ(why, ExportError::NoDocumentsFolder);
}

// The child's verdict: 10 + the reason when the write was refused and left the folder as it was,
// 1 when it was written, 2 when a refusal left something behind, 3 when the setup failed.
int Verdict(int result, ExportError why, const std::set<std::string>& before, const std::string& folder) {
    if (result == 0) {
        return 1;
    }
    return Names(folder) == before ? 10 + static_cast<int>(why) : 2;
}

TEST_F(ExportFile, AFolderOfAnotherUserIsRefusedAsNoPermission) {
    // The owner without the write bit: a user namespace takes root's right to ignore it.
    std::ofstream(dir + "/kept") << "kept";
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    const int code = sandbox::RunInChild(sandbox::Kind::Nobody, [&] {
        const int result = Write(dir, "calls");
        const int verdict = Verdict(result, why, {"kept"}, dir);
        if (verdict != 10 + static_cast<int>(ExportError::NoPermission)) {
            return verdict;
        }
        // Its missing sub-folder cannot be made either.
        const int inMissingFolder = Write(dir + "/Documents", "calls");
        return Verdict(inMissingFolder, why, {"kept"}, dir) + 50;
    });
    chmod(dir.c_str(), 0755);
    if (code == sandbox::kUnavailable) {
        GTEST_SKIP() << "no user namespaces here";
    }
    EXPECT_EQ(code, 50 + 10 + static_cast<int>(ExportError::FolderNotCreatable));
}

TEST_F(ExportFile, AReadOnlyFileSystemIsRefusedAsReadOnly) {
    const std::string mounted = dir + "/card";
    ASSERT_EQ(mkdir(mounted.c_str(), 0755), 0);
    const int code = sandbox::RunInChild(sandbox::Kind::OwnMounts, [&] {
        if (!sandbox::MountTmpfs(mounted, "64k", true)) {
            return 3;
        }
        const int result = Write(mounted, "calls");
        return Verdict(result, why, {}, mounted);
    });
    if (code == sandbox::kUnavailable || code == 3) {
        GTEST_SKIP() << "no tmpfs in a user namespace here";
    }
    EXPECT_EQ(code, 10 + static_cast<int>(ExportError::ReadOnly));
}

TEST_F(ExportFile, AFullDiskLeavesNoPartialFileAndKeepsTheEarlierExport) {
    const std::string mounted = dir + "/small";
    ASSERT_EQ(mkdir(mounted.c_str(), 0755), 0);
    const int code = sandbox::RunInChild(sandbox::Kind::OwnMounts, [&] {
        if (!sandbox::MountTmpfs(mounted, "64k", false)) {
            return 3;
        }
        const std::string small(40 * 1024, 'a');
        if (Write(mounted, small) != 0 || ReadAll(path) != small) {
            return 4;
        }
        const std::string large(40 * 1024, 'b');
        const int result = Write(mounted, large);
        const int verdict = Verdict(result, why, {"ringlog-calls-2026-12-09.csv"}, mounted);
        return ReadAll(mounted + "/ringlog-calls-2026-12-09.csv") == small ? verdict : 5;
    });
    if (code == sandbox::kUnavailable || code == 3) {
        GTEST_SKIP() << "no tmpfs in a user namespace here";
    }
    EXPECT_EQ(code, 10 + static_cast<int>(ExportError::DiskFull));
}

} // namespace
