#include "tools/ringlogtool/toolcommands.h"

#include "calllog/calllist.h"
#include "platform/files/programfiles.h"
#include "platform/objectstore/objectstore.h"
#include "platform/objectstore/storelocation.h"
#include "platform/phone/callcsv.h"
#include "platform/phone/callername.h"
#include "platform/phone/callstore.h"
#include "platform/phone/phonelibrary.h"
#include "platform/text/utf8.h"
#include "platform/time/clock.h"
#include "platform/time/filetime.h"
#include "tools/ringlogtool/androidcalls.h"
#include "tools/ringlogtool/demopairs.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <thread>

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ULL;

// How long a command waits for the names of the address books: an address-book service that does
// not answer, or a vCard folder on a dead mount, must not hold a listing up for ever.
constexpr std::chrono::seconds kNamesWait{5};

void ApplyOptions(const ToolOptions& options) {
    if (!options.store.empty()) {
        SetStorePath(options.store);
    }
    if (!options.citydb.empty()) {
        SetCityDatabaseOverride(options.citydb);
    }
}

// Reads the address books for the calls' names, waiting for them at most kNamesWait; past it the
// calls are shown without names (a lookup then waits only briefly, once). The phone layer tells
// only whether the read is under way, so the wait looks every few milliseconds.
void UseAddressBooks() {
    PhoneUseAddressBooks([] {});
    const auto deadline = std::chrono::steady_clock::now() + kNamesWait;
    while (PhoneAddressBooksBusy() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (PhoneAddressBooksBusy()) {
        std::fprintf(stderr,
                     "ringlog-tool: the address books gave no names within %lld s; calls are shown without them\n",
                     static_cast<long long>(kNamesWait.count()));
    }
}

// A read of the address books still under way is inside their libraries, whose exit handlers must
// not run beneath it: the command ends without them.
int Finish(int code) {
    if (PhoneAddressBooksBusy()) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
    return code;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "ringlog-tool: %s\n", message.c_str());
    return 1;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "ringlog-tool: %s\n", message.c_str());
    return 2;
}

bool ParseInt(const std::string& text, long long min, long long max, long long* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < min || number > max) {
        return false;
    }
    *value = number;
    return true;
}

// A list line shows texts as they are, with backslash, tab and line breaks escaped so that
// every call stays one line of tab-separated fields.
std::string ListField(const char16_t* text) {
    std::string out;
    for (char c : Utf16ToUtf8(text)) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string LocalTimeText(const FileTime& time) {
    SystemTime fields{};
    if (UnixSecondsToLocalTime(FileTimeToUnixSeconds(time), &fields) != 0) {
        return std::to_string(FileTimeValue(time));
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", fields.year, fields.month, fields.day,
                  fields.hour, fields.minute, fields.second);
    return text;
}

std::string CallLogError() {
    return "cannot read the call log of " + StorePath() + ": " + PhoneLastError();
}

// Fixes "now" for the texts that depend on the day, so that lists can be compared.
bool ApplyNow(const std::string& text) {
    uint64_t fileTime = 0;
    if (!ParseCallTime(text, &fileTime)) {
        return false;
    }
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(fileTime)));
    return true;
}

} // namespace

int RunListCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--now" && i + 1 < args.size()) {
            if (!ApplyNow(args[++i])) {
                return Usage("--now needs a time \"YYYY-MM-DD HH:MM:SS\" (local, or UTC with Z)");
            }
        } else {
            return Usage("list takes only --now TIME");
        }
    }
    ApplyOptions(options);
    UseAddressBooks();
    CallList list;
    list.OpenCityDatabase();
    if (list.Load() != 0) {
        return Finish(Fail(CallLogError()));
    }
    for (int position = 0; position < list.count; ++position) {
        const NVXCallEntry* e = list.EntryAt(position);
        std::printf("%d\t%d\t%d\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", position, e->callType, e->callerIdType,
                    LocalTimeText(e->startTime).c_str(), ListField(e->nameText.Data()).c_str(),
                    ListField(e->numberText.Data()).c_str(), ListField(e->locationText.Data()).c_str(),
                    ListField(e->cityText.Data()).c_str(), ListField(e->stateText.Data()).c_str(),
                    ListField(e->timeText.Data()).c_str(), ListField(e->dialNumber.Data()).c_str());
    }
    return Finish(0);
}

int RunDeleteCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return Usage("delete takes one POSITION or --all");
    }
    ApplyOptions(options);
    CallList list;
    if (args[0] == "--all") {
        if (list.DeleteAll() != 0) {
            return Fail("cannot delete the calls of " + StorePath() + ": " + StoreLastError());
        }
        return 0;
    }
    long long position = 0;
    if (!ParseInt(args[0], 0, INT32_MAX, &position)) {
        return Usage("delete needs a position (0 is the latest call) or --all, not \"" + args[0] + "\"");
    }
    // The calls as list shows them, names from the address book included; they never decide which
    // record goes.
    UseAddressBooks();
    if (list.Load() != 0) {
        return Finish(Fail(CallLogError()));
    }
    if (position >= list.count) {
        return Finish(Fail("there is no call at position " + args[0] + "; the log holds " + std::to_string(list.count) +
                           " calls"));
    }
    if (list.DeleteAt(static_cast<int>(position)) != 0) {
        return Finish(Fail("cannot delete the call at position " + args[0] + ": " + StoreLastError()));
    }
    return Finish(0);
}

int RunAddCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    CallRecordData call;
    bool haveType = false;
    bool haveStart = false;
    bool haveEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            return Usage("add: " + option + " needs a value");
        }
        const std::string& value = args[++i];
        if (option == "--type") {
            const char* const types[] = {"missed", "incoming", "outgoing"};
            haveType = false;
            for (int32_t t = 0; t < 3; ++t) {
                if (value == types[t]) {
                    call.callType = t;
                    haveType = true;
                }
            }
            if (!haveType) {
                return Usage("add: --type is missed, incoming or outgoing");
            }
        } else if (option == "--start" || option == "--end") {
            if (!ParseCallTime(value, option == "--start" ? &call.startTime : &call.endTime)) {
                return Usage("add: " + option + " needs \"YYYY-MM-DD HH:MM:SS\" (local, or UTC with Z), not \"" +
                             value + "\"");
            }
            (option == "--start" ? haveStart : haveEnd) = true;
        } else if (option == "--number") {
            call.number = Utf8ToUtf16(value);
        } else if (option == "--name") {
            call.name = Utf8ToUtf16(value);
        } else if (option == "--name-type") {
            call.nameType = Utf8ToUtf16(value);
        } else if (option == "--note") {
            call.note = Utf8ToUtf16(value);
        } else if (option == "--caller-id") {
            const char* const ids[] = {"unavailable", "blocked", "available"};
            bool known = false;
            for (int32_t c = 0; c < 3; ++c) {
                if (value == ids[c]) {
                    call.callerIdType = c;
                    known = true;
                }
            }
            if (!known) {
                return Usage("add: --caller-id is available, blocked or unavailable");
            }
        } else if (option == "--flags") {
            long long flags = 0;
            if (!ParseInt(value, 0, UINT32_MAX, &flags)) {
                return Usage("add: --flags needs a number from 0 to 4294967295");
            }
            call.flags = static_cast<uint32_t>(flags);
        } else {
            return Usage("add: unknown option " + option);
        }
    }
    if (!haveType || !haveStart) {
        return Usage("add needs --type and --start");
    }
    if (!haveEnd) {
        call.endTime = call.startTime;
    }
    ApplyOptions(options);
    std::string error;
    if (AddCallRecords({call}, false, &error) != 0) {
        return Fail(error);
    }
    return 0;
}

int RunDemoCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    long long count = 60;
    long long seed = 1;
    for (size_t i = 0; i < args.size(); i += 2) {
        long long* target = args[i] == "--calls" ? &count : args[i] == "--seed" ? &seed : nullptr;
        if (target == nullptr || i + 1 >= args.size() ||
            !ParseInt(args[i + 1], 0, target == &count ? 1000000 : INT32_MAX, target)) {
            return Usage("demo takes --calls N (0 to 1000000) and --seed S");
        }
    }
    ApplyOptions(options);

    // Today's calls fall between local midnight and now, the rest over the four weeks before.
    const int64_t now = CurrentUnixSeconds();
    SystemTime today{};
    UnixSecondsToLocalTime(now, &today);
    today.hour = today.minute = today.second = 0;
    int64_t midnight = now;
    LocalTimeToUnixSeconds(today, &midnight);
    const int64_t sinceMidnight = now - midnight > 0 ? now - midnight : 1;

    std::mt19937 random(static_cast<uint32_t>(seed));
    auto below = [&random](int64_t limit) { return static_cast<int64_t>(random() % static_cast<uint64_t>(limit)); };
    const char16_t* const names[] = {u"Ada Lovelace",   u"Grace Hopper", u"Alan Turing",   u"Edsger Dijkstra",
                                     u"Barbara Liskov", u"Donald Knuth", u"Frances Allen", u"Ken Thompson"};
    const char16_t* const nameTypes[] = {u"m", u"w", u"h"};
    const long long todayCount = count < 5 ? count : 5 + count / 20;

    std::vector<CallRecordData> calls;
    for (long long i = 0; i < count; ++i) {
        CallRecordData call;
        const int64_t start = i < todayCount ? midnight + below(sinceMidnight) : midnight - 1 - below(28 * 86400);
        call.startTime = FileTimeValue(UnixSecondsToFileTime(start));
        call.callType = static_cast<int32_t>(i % 3);
        const int64_t duration = call.callType == 0 ? 0 : 5 + below(1200);
        call.endTime = call.startTime + static_cast<uint64_t>(duration) * kTicksPerSecond;
        call.flags = 0;
        if (i % 11 == 4) {
            call.callerIdType = 1; // blocked: no number, no name
        } else if (i % 11 == 9) {
            call.callerIdType = 0; // unavailable
        } else {
            call.callerIdType = 2;
            const DemoPair& pair = kDemoPairs[below(std::size(kDemoPairs))];
            char number[32];
            std::snprintf(number, sizeof(number), i % 2 == 0 ? "(%d) %d-%04d" : "+1 %d %d %04d", pair.areaCode,
                          pair.exchange, static_cast<int>(below(10000)));
            call.number = Utf8ToUtf16(number);
            if (i % 3 != 2) {
                const size_t who = static_cast<size_t>(below(std::size(names)));
                call.name = names[who];
                call.nameType = nameTypes[who % 3];
            }
        }
        calls.push_back(std::move(call));
    }
    // Written oldest first, as a dialler logs calls as they happen.
    std::stable_sort(calls.begin(), calls.end(),
                     [](const CallRecordData& a, const CallRecordData& b) { return a.startTime < b.startTime; });
    std::string error;
    if (AddCallRecords(calls, true, &error) != 0) {
        return Fail(error);
    }
    std::printf("%lld calls written to %s\n", count, StorePath().c_str());
    return 0;
}

int RunExportCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    std::string output;
    if (args.size() == 2 && args[0] == "--output") {
        output = args[1];
    } else if (!args.empty()) {
        return Usage("export takes only --output FILE");
    }
    ApplyOptions(options);
    std::vector<CallRecordData> calls;
    std::string error;
    if (ReadCallRecords(&calls, &error) != 0) {
        return Fail(error);
    }
    const std::string csv = CallsToCsv(calls);
    if (output.empty()) {
        std::fwrite(csv.data(), 1, csv.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the calls to standard output");
    }
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(csv.data(), static_cast<std::streamsize>(csv.size()));
    out.close();
    if (!out) {
        return Fail("cannot write " + output);
    }
    return 0;
}

int RunImportCommand(const ToolOptions& options, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return Usage("import takes one FILE");
    }
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
        return Fail("cannot read " + args[0]);
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<CallRecordData> calls;
    std::vector<std::string> errors;
    const bool xml = LooksLikeXml(text);
    if (!(xml ? CallsFromAndroidXml(text, &calls, &errors) : CallsFromCsv(text, &calls, &errors))) {
        for (const std::string& e : errors) {
            std::fprintf(stderr, "ringlog-tool: %s: %s\n", args[0].c_str(), e.c_str());
        }
        return Fail("nothing imported from " + args[0] + ": " + std::to_string(errors.size()) +
                    (errors.size() == 1 ? " error" : " errors"));
    }
    // A CSV file lists calls latest first; of two calls with the same start the later added comes
    // first, so adding from the end keeps that order. The XML reader gives them oldest first.
    std::vector<CallRecordData> oldestFirst = xml ? calls : std::vector<CallRecordData>(calls.rbegin(), calls.rend());
    ApplyOptions(options);
    std::string error;
    if (AddCallRecords(oldestFirst, false, &error) != 0) {
        return Fail(error);
    }
    return 0;
}
