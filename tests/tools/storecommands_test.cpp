// ringlog-tool's store commands, run as the real binary against stores in a temporary folder.
#include "citydb/citydatabase.h"
#include "platform/files/programfiles.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"
#include "tools/ringlogtool/demopairs.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

class Tool : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-tool-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        store = dir + "/phone.db";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Runs ringlog-tool on the test's store in Los Angeles time with a US locale. Its address books
    // are the test's own: the vCard folder under dir/data, no address-book service.
    Result Run(const std::vector<std::string>& args, const std::string& storeFile = "") {
        std::string command = "timeout 60 env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR " + environment +
                              " XDG_DATA_HOME=" + Quote(dir + "/data") + " TZ=America/Los_Angeles LC_ALL=en_US.UTF-8 " +
                              Quote(std::string(RINGLOG_BIN_DIR) + "/ringlog-tool") + " --store " +
                              Quote(storeFile.empty() ? store : storeFile);
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        command += " >" + dir + "/out 2>" + dir + "/err";
        const int status = std::system(command.c_str());
        Result result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = storetest::ReadFileBytes(dir + "/out");
        result.err = storetest::ReadFileBytes(dir + "/err");
        return result;
    }

    Result List() { return Run({"list", "--now", "2026-12-09 10:00:00"}); }

    void Add(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"add"};
        all.insert(all.end(), args.begin(), args.end());
        const Result r = Run(all);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    std::string dir;
    std::string store;
    // More variables for the tool, "NAME=VALUE ...".
    std::string environment;
};

TEST_F(Tool, AddedCallsListAsTheProgramShowsThem) {
    Add({"--type", "incoming", "--start", "2026-12-09 08:05:00", "--end", "2026-12-09 08:15:00", "--number",
         "+1 (206) 386-4545", "--name", "Ada", "--name-type", "w"});
    Add({"--type", "missed", "--start", "2026-12-09 09:30:00Z", "--caller-id", "blocked", "--flags", "7"});
    Add({"--type", "outgoing", "--start", "2026-11-02 23:59:59", "--number", "555 0100", "--name", "Tab\there"});
    const Result r = List();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "0\t1\t2\t2026-12-09 08:05:00\tAda\t(206) 386-4545 w\tSeattle, WA\tSeattle\tWA\t8:05 a\t"
                        "(206) 386-4545");
    // 09:30 UTC is 01:30 in Los Angeles.
    EXPECT_EQ(lines[1], "1\t0\t1\t2026-12-09 01:30:00\t\tCaller ID Blocked\t\t\t\t1:30 a\t");
    EXPECT_EQ(lines[2], "2\t2\t2\t2026-11-02 23:59:59\tTab\\there\t5550100\t\t\t\t11/2/26\t5550100");
}

TEST_F(Tool, DeleteTakesThePositionTheListShows) {
    for (const char* start : {"2026-12-07 10:00:00", "2026-12-08 10:00:00", "2026-12-09 09:00:00"}) {
        Add({"--type", "incoming", "--start", start, "--number", std::string("20638600") + start[9]});
    }
    Result r = Run({"delete", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines = Lines(List().out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Fields(lines[0])[3], "2026-12-09 09:00:00");
    EXPECT_EQ(Fields(lines[1])[3], "2026-12-07 10:00:00");

    r = Run({"delete", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no call at position 2"), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.err).size(), 1u);
    EXPECT_EQ(Run({"delete", "one"}).exitCode, 2);
    EXPECT_EQ(Run({"delete", "-1"}).exitCode, 2);
    EXPECT_EQ(Run({"delete"}).exitCode, 2);
    EXPECT_EQ(Lines(List().out).size(), 2u);

    EXPECT_EQ(Run({"delete", "--all"}).exitCode, 0);
    r = List();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Run({"delete", "--all"}).exitCode, 0); // an empty log is emptied without complaint
}

TEST_F(Tool, ExportAfterImportGivesTheSameFile) {
    Add({"--type", "incoming", "--start", "2026-12-09 08:05:00", "--number", "+1 (206) 386-4545", "--name",
         "Quote \" and, comma", "--name-type", "", "--note", "two\nlines"});
    Add({"--type", "missed", "--start", "2026-12-09 08:05:00", "--caller-id", "unavailable", "--name", "Zoë 日本"});
    Add({"--type", "outgoing", "--start", "1999-01-01 00:00:00Z", "--end", "1999-01-01 01:00:00Z", "--number", "",
         "--flags", "4294967295"});
    const std::string first = dir + "/first.csv";
    Result r = Run({"export", "--output", first});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string csv = storetest::ReadFileBytes(first);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "type,start,end,number,name,name_type,note,caller_id,flags");
    EXPECT_NE(csv.find("missed,2026-12-09T16:05:00Z,2026-12-09T16:05:00Z,,\"Zoë 日本\",,,unavailable,0\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\"Quote \"\" and, comma\",\"\",\"two\nlines\",available,0"), std::string::npos) << csv;

    const std::string other = dir + "/other.db";
    r = Run({"import", first}, other);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Run({"export"}, other);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, csv);
}

TEST_F(Tool, ImportOfAFileWithErrorsNamesTheLinesAndAddsNothing) {
    const std::string file = dir + "/bad.csv";
    std::ofstream(file) << "type,start,end,number,name,name_type,note,caller_id,flags\n"
                        << "incoming,2026-12-09T08:00:00Z,2026-12-09T08:01:00Z,\"1\",,,,available,0\n"
                        << "sideways,2026-12-09T08:00:00Z,2026-12-09T08:01:00Z,,,,,available,0\n"
                        << "missed,2026-12-09T08:00:00Z,2026-12-09T08:01:00Z,\"a\nb\",,,,available,0\n"
                        << "missed,2026-13-09T08:00:00Z,2026-12-09T08:01:00Z,,,,,available,0\n"
                        << "missed,2026-12-09T08:00:00Z\n"
                        << "missed,2026-12-09T08:00:00Z,2026-12-09T08:01:00Z,bare,,,,available,0\n"
                        << "missed,2026-12-09T08:00:00Z,2026-12-09T08:01:00Z,,,,,available,-1\n";
    const Result r = Run({"import", file});
    EXPECT_EQ(r.exitCode, 1);
    for (const char* expected : {"line 3: bad call type", "line 6: bad start time", "line 7: expected 9 fields",
                                 "line 8: texts must be quoted", "line 9: bad flags"}) {
        EXPECT_NE(r.err.find(expected), std::string::npos) << expected << "\n" << r.err;
    }
    EXPECT_EQ(r.err.find("line 2:"), std::string::npos);
    EXPECT_EQ(r.err.find("line 4:"), std::string::npos);
    EXPECT_EQ(Run({"export"}).out, "type,start,end,number,name,name_type,note,caller_id,flags\n");

    std::ofstream(file) << "type,start\nmissed,\"never closed\n";
    EXPECT_NE(Run({"import", file}).err.find("line 2: a quoted text is not closed"), std::string::npos);
    std::ofstream(file) << "kind,start\n";
    EXPECT_NE(Run({"import", file}).err.find("line 1: the header must be"), std::string::npos);
    EXPECT_EQ(Run({"import", dir + "/missing.csv"}).exitCode, 1);
}

TEST_F(Tool, DemoFillsTheLogWithEveryKindOfCall) {
    Result r = Run({"demo", "--calls", "60", "--seed", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Run({"list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 60u);
    int types[3] = {};
    int blocked = 0, unavailable = 0, named = 0, today = 0;
    for (const std::string& line : lines) {
        const std::vector<std::string> f = Fields(line);
        ASSERT_EQ(f.size(), 11u) << line;
        ++types[std::stoi(f[1])];
        if (f[2] == "2") {
            EXPECT_FALSE(f[6].empty()) << "no place for " << line;
            named += f[4].empty() ? 0 : 1;
        } else {
            (f[2] == "1" ? blocked : unavailable) += 1;
            EXPECT_TRUE(f[10].empty());
        }
        today += f[9].find('/') == std::string::npos ? 1 : 0;
    }
    EXPECT_GT(types[0], 0);
    EXPECT_GT(types[1], 0);
    EXPECT_GT(types[2], 0);
    EXPECT_GT(blocked, 0);
    EXPECT_GT(unavailable, 0);
    EXPECT_GT(named, 0);
    EXPECT_GE(today, 3);

    // The demo replaces the log.
    ASSERT_EQ(Run({"demo", "--calls", "60", "--seed", "7"}).exitCode, 0);
    EXPECT_EQ(Lines(Run({"export"}).out).size(), 61u);
    EXPECT_EQ(Run({"demo", "--calls", "many"}).exitCode, 2);
}

TEST(DemoPairs, EveryPairIsAPlaceOfTheShippedDatabase) {
    SetCityDatabaseOverride(std::string(RINGLOG_SHARE_DIR) + "/Zonrik.dll");
    ASSERT_EQ(CityDatabase::Load(), 0);
    for (const DemoPair& pair : kDemoPairs) {
        const std::u16string number = std::u16string(u"") + char16_t(u'0' + pair.areaCode / 100) +
                                      char16_t(u'0' + pair.areaCode / 10 % 10) + char16_t(u'0' + pair.areaCode % 10) +
                                      char16_t(u'0' + pair.exchange / 100) + char16_t(u'0' + pair.exchange / 10 % 10) +
                                      char16_t(u'0' + pair.exchange % 10) + u"0000";
        char16_t city[51] = {};
        char16_t state[3] = {};
        CityDatabase::Lookup(number.c_str(), city, 51, state, 3);
        std::string place;
        for (const char16_t* c = city; *c != 0; ++c) {
            place += static_cast<char>(*c);
        }
        place += ", ";
        place += static_cast<char>(state[0]);
        place += static_cast<char>(state[1]);
        EXPECT_EQ(place, pair.place) << pair.areaCode << " " << pair.exchange;
    }
    CityDatabase::Unload();
    SetCityDatabaseOverride("");
}

TEST_F(Tool, BadStoresAreReportedAndLeftAlone) {
    const std::string text = dir + "/text.db";
    std::ofstream(text) << "not a phone";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"list"},
                                               {"delete", "0"},
                                               {"delete", "--all"},
                                               {"export"},
                                               {"add", "--type", "missed", "--start", "2026-12-09 08:00:00"}}) {
        const Result r = Run(args, text);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
        EXPECT_NE(r.err.find("text.db"), std::string::npos) << r.err;
    }
    EXPECT_EQ(storetest::ReadFileBytes(text), "not a phone");
    EXPECT_EQ(Run({"add", "--type", "sideways", "--start", "2026-12-09 08:00:00"}).exitCode, 2);
    EXPECT_EQ(Run({"add", "--type", "missed", "--start", "yesterday"}).exitCode, 2);
    EXPECT_EQ(Run({"add", "--type", "missed"}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(store));
}

TEST_F(Tool, AndroidBackupIsImportedAndListed) {
    const std::string backup = dir + "/calls.xml";
    std::ofstream(backup) << "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n"
                             "<calls count=\"3\">\n"
                             "  <call number=\"+12063864545\" duration=\"600\" date=\"1796811300000\" type=\"1\""
                             " presentation=\"1\" contact_name=\"Ada &amp; Co\" readable_date=\"x\" />\n"
                             "  <call number=\"\" duration=\"0\" date=\"1796819400000\" type=\"6\""
                             " presentation=\"2\" contact_name=\"(Unknown)\" />\n"
                             "  <call number=\"5550100\" duration=\"0\" date=\"1796811300000\" type=\"5\" />\n"
                             "</calls>\n";
    const Result imported = Run({"import", backup});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const Result r = List();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    // 2026-12-09 10:15 UTC is 02:15 in Los Angeles; the withheld caller comes first (12:30 UTC).
    EXPECT_EQ(Fields(lines[0])[1], "0");
    EXPECT_EQ(Fields(lines[0])[2], "1");
    EXPECT_EQ(Fields(lines[0])[3], "2026-12-09 04:30:00");
    // Two calls at the same time: the later one in the file comes first, as the phone lists them.
    EXPECT_EQ(Fields(lines[1])[1], "0");
    EXPECT_EQ(Fields(lines[1])[5], "5550100");
    EXPECT_EQ(Fields(lines[2])[1], "1");
    EXPECT_EQ(Fields(lines[2])[3], "2026-12-09 02:15:00");
    EXPECT_EQ(Fields(lines[2])[4], "Ada & Co");
    EXPECT_EQ(Fields(lines[2])[6], "Seattle, WA");
}

TEST_F(Tool, DamagedAndroidBackupNamesItsLineAndAddsNothing) {
    const std::string backup = dir + "/calls.xml";
    std::ofstream(backup) << "<calls count=\"2\">\n"
                             "  <call number=\"1\" date=\"1796818500000\" type=\"1\" />\n"
                             "  <call number=\"2\" date=\"1796818500000\" type=\"1\">\n";
    const Result r = Run({"import", backup});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("line 4"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing imported"), std::string::npos) << r.err;
    const Result listed = List();
    EXPECT_EQ(Lines(listed.out).size(), 0u) << listed.out;
}

TEST_F(Tool, DiallersHistoryIsListedAndDeletedButNeverWrittenTo) {
    const std::string history = dir + "/records.db";
    dialler::MakeGnomeCallsHistory(history);
    const Result listed = Run({"list", "--now", "2026-12-09 10:00:00"}, history);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    ASSERT_EQ(Lines(listed.out).size(), 6u);
    EXPECT_EQ(Fields(Lines(listed.out)[0])[5], "(425) 555-1212");
    EXPECT_EQ(Run({"delete", "0"}, history).exitCode, 0);
    EXPECT_EQ(dialler::Rows(history, "SELECT count(*) FROM calls"), "5\n");
    const Result added = Run({"add", "--type", "missed", "--start", "2026-12-09 08:00:00"}, history);
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_NE(added.err.find("GNOME Calls' history"), std::string::npos) << added.err;
    EXPECT_EQ(dialler::Rows(history, "SELECT count(*) FROM calls"), "5\n");
}

// A call of the dialler's history named from the address book lists with the contact's name and
// is deleted by its position alone.
TEST_F(Tool, CallNamedFromTheAddressBookIsListedAndDeletedAlone) {
    std::filesystem::create_directories(dir + "/data");
    std::filesystem::copy(std::string(RINGLOG_TEST_DATA_DIR) + "/kpeoplevcard", dir + "/data/kpeoplevcard",
                          std::filesystem::copy_options::recursive);
    const std::string history = dir + "/records.db";
    dialler::Exec(history,
                  std::string(dialler::kGnomeCallsSchema) +
                      "INSERT INTO calls (target, inbound, start, answered, end, protocol) VALUES"
                      " ('tel:+12063861234', 1, '2026-12-09T10:00:00Z', NULL, '2026-12-09T10:00:30Z', 'tel'),"
                      " ('tel:2063861234', 0, '2026-12-09T11:00:00Z', NULL, '2026-12-09T11:01:00Z', 'tel'),"
                      " ('tel:+14255551213', 1, '2026-12-09T12:00:00Z', NULL, '2026-12-09T12:00:30Z', 'tel');");
    Result r = Run({"list", "--now", "2026-12-09 10:00:00"}, history);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Fields(lines[0])[4], "");
    EXPECT_EQ(Fields(lines[1])[4], "Grace Brewster Murray Hopper");
    EXPECT_EQ(Fields(lines[1])[5], "(206) 386-1234 m");
    EXPECT_EQ(Fields(lines[2])[4], "Grace Brewster Murray Hopper");
    r = Run({"delete", "1"}, history);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(dialler::Rows(history, "SELECT group_concat(id) FROM (SELECT id FROM calls ORDER BY id)"), "1,3\n");
}

// A vCard folder with a file whose read fails (EIO) beside the good cards: the tool names the call
// from the good cards instead of ending at once.
TEST_F(Tool, ListNamesCallsBesideAnAddressBookFileThatCannotBeRead) {
    std::filesystem::create_directories(dir + "/data");
    std::filesystem::copy(std::string(RINGLOG_TEST_DATA_DIR) + "/kpeoplevcard", dir + "/data/kpeoplevcard",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_symlink("/proc/self/mem", dir + "/data/kpeoplevcard/mem.vcf");
    Add({"--type", "missed", "--start", "2026-12-09 08:00:00", "--number", "2063861234"});
    const Result r = List();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Fields(lines[0])[4], "Grace Brewster Murray Hopper");
}

// An address-book service whose bus takes the connection and never answers: the tool waits for the
// names a few seconds, says so in one line and lists the calls without them.
TEST_F(Tool, ListGoesOnWithoutNamesWhenTheAddressBooksDoNotAnswer) {
    std::filesystem::create_directories(dir + "/data");
    std::filesystem::copy(std::string(RINGLOG_TEST_DATA_DIR) + "/kpeoplevcard", dir + "/data/kpeoplevcard",
                          std::filesystem::copy_options::recursive);
    const std::string bus = dir + "/bus";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(bus.size(), sizeof address.sun_path);
    bus.copy(address.sun_path, bus.size());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 8), 0);
    Add({"--type", "missed", "--start", "2026-12-09 08:00:00", "--number", "2063861234"});
    environment = "DBUS_SESSION_BUS_ADDRESS=unix:path=" + bus;
    const Result r = List();
    close(listener);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Fields(lines[0])[4], "");
    EXPECT_EQ(Fields(lines[0])[5], "(206) 386-1234");
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("no names within 5 s"), std::string::npos) << r.err;
}

} // namespace
