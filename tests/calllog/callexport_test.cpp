// Export Calls: the rows given, in their order, as ringlog-tool's CSV, in the documents folder under
// the local date's name.
#include "calllog/callexport.h"

#include "platform/text/localheap.h"
#include "platform/time/clock.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// 2026-12-09T16:05:00Z as a file time; 2026-12-10T03:00:00Z in Unix seconds, still the 9th in Seattle.
constexpr uint64_t kDecember9 = 134413059000000000ULL;
constexpr int64_t kEarlyDecember10Utc = 1796871600;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CallExport : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-callexport-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TZ"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("HOME", (dir + "/home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        setenv("TZ", "America/Los_Angeles", 1);
        tzset();
        SetCurrentTimeOverride(kEarlyDecember10Utc);
        liveBefore = LocalLiveCount();

        calls[0].callType = CallTypeIncoming;
        calls[0].callerIdType = CallerIdAvailable;
        calls[0].startTime = MakeFileTime(kDecember9);
        calls[0].endTime = MakeFileTime(kDecember9 + 65 * 10000000ULL);
        calls[0].number = LocalAllocText(u"2063864545");
        calls[0].name = LocalAllocText(u"M\u00fcller, \"Anna\"");
        calls[0].nameType = LocalAllocText(u"m");
        calls[1].callType = CallTypeMissed;
        calls[1].callerIdType = CallerIdBlocked;
        calls[1].startTime = MakeFileTime(kDecember9 - 3600 * 10000000ULL);
        calls[1].endTime = calls[1].startTime;
        calls[2].callType = CallTypeOutgoing;
        calls[2].callerIdType = CallerIdAvailable;
        calls[2].startTime = MakeFileTime(kDecember9 - 7200 * 10000000ULL);
        calls[2].endTime = calls[2].startTime;
        calls[2].number = LocalAllocText(u"");
        calls[2].note = LocalAllocText(u"line\none");
        calls[2].flags = 5;
    }
    void TearDown() override {
        for (NVXCallEntry& call : calls) {
            FreeRecordStrings(call);
        }
        EXPECT_EQ(LocalLiveCount(), liveBefore) << "the export keeps or frees none of the entries' texts";
        ClearCurrentTimeOverride();
        for (const auto& [name, value] : saved) {
            if (value.has_value()) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        tzset();
        std::error_code error;
        fs::remove_all(dir, error);
    }

    std::string dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    size_t liveBefore = 0;
    NVXCallEntry calls[3];
    std::u16string written;
    ExportError why = ExportError::None;
};

TEST_F(CallExport, TheShownRowsInTheirOrderGoToTheDocumentsFolderUnderTheLocalDate) {
    // The list shows the third call above the first, and not the second (a filter is on).
    ASSERT_EQ(ExportCalls({&calls[2], &calls[0]}, &written, &why), 0);
    EXPECT_EQ(why, ExportError::None);
    const std::string path = dir + "/home/Documents/ringlog-calls-2026-12-09.csv";
    EXPECT_EQ(written, std::u16string(path.begin(), path.end()));
    EXPECT_EQ(ReadAll(path), "type,start,end,number,name,name_type,note,caller_id,flags\n"
                             "outgoing,2026-12-09T14:05:00Z,2026-12-09T14:05:00Z,\"\",,,\"line\none\",available,5\n"
                             "incoming,2026-12-09T16:05:00Z,2026-12-09T16:06:05Z,\"2063864545\","
                             "\"M\xc3\xbcller, \"\"Anna\"\"\",\"m\",,available,0\n");

    // The same day again: a second file beside the first.
    ASSERT_EQ(ExportCalls({&calls[1]}, &written, &why), 0);
    const std::string second = dir + "/home/Documents/ringlog-calls-2026-12-09-2.csv";
    EXPECT_EQ(written, std::u16string(second.begin(), second.end()));
    EXPECT_EQ(ReadAll(second), "type,start,end,number,name,name_type,note,caller_id,flags\n"
                               "missed,2026-12-09T15:05:00Z,2026-12-09T15:05:00Z,,,,,blocked,0\n");
}

TEST_F(CallExport, AnEmptyListWritesTheHeaderIntoTheFolderTheDesktopNames) {
    fs::create_directories(dir + "/home/.config");
    std::ofstream(dir + "/home/.config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n";
    ASSERT_EQ(ExportCalls({}, &written, &why), 0);
    const std::string path = dir + "/home/Papers/ringlog-calls-2026-12-09.csv";
    EXPECT_EQ(written, std::u16string(path.begin(), path.end()));
    EXPECT_EQ(ReadAll(path), "type,start,end,number,name,name_type,note,caller_id,flags\n");
}

TEST_F(CallExport, FailuresNameTheReasonAndTheFolder) {
    unsetenv("HOME");
    written = u"stale";
    EXPECT_EQ(ExportCalls({&calls[0]}, &written, &why), -1);
    EXPECT_EQ(why, ExportError::NoDocumentsFolder);
    EXPECT_EQ(written, u"");

    std::ofstream(dir + "/file") << "x";
    EXPECT_EQ(ExportCallsTo(dir + "/file/Documents", {&calls[0]}, &written, &why), -1);
    EXPECT_EQ(why, ExportError::FolderNotCreatable);
    const std::string folder = dir + "/file/Documents";
    EXPECT_EQ(written, std::u16string(folder.begin(), folder.end()));
}

} // namespace
