#include "platform/phone/phonelibrary.h"
#include "platform/phone/placecall.h"
#include "tests/platform/storetestenv.h"

namespace {

using storetest::Call;
using storetest::Utc;

std::u16string TextOr(LocalHandle handle, const char16_t* absent) {
    const char16_t* text = LocalText(handle);
    return text != nullptr ? std::u16string(text) : std::u16string(absent);
}

void FreeTexts(CallLogRecord& record) {
    for (LocalHandle text : {record.number, record.name, record.nameType, record.note}) {
        LocalFree(text);
    }
}

class PhoneLibrary : public storetest::StoreTest {};

TEST_F(PhoneLibrary, RecordCarriesEveryFieldAndHandsOverItsTexts) {
    CallRecordData call = Call(Utc(2026, 12, 9, 8, 30), u"+1 (425) 555-1212", u"Ada", 2, 2);
    call.endTime = Utc(2026, 12, 9, 8, 42);
    call.flags = 0x80000005u;
    call.nameType = u"w";
    call.note = u""; // present but empty
    CallRecordData bare = Call(Utc(2026, 12, 1, 8, 0), nullptr, nullptr, 0, 1);
    AddCalls({bare, call});

    const size_t live = LocalLiveCount();
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0) << PhoneLastError();
    EXPECT_EQ(PhoneOpenLogCount(), 1u);
    CallLogRecord record{};
    record.recordSize = 48;
    ASSERT_EQ(PhoneGetNextCallLogRecord(log, &record), 0);
    EXPECT_EQ(FileTimeValue(record.startTime), call.startTime);
    EXPECT_EQ(FileTimeValue(record.endTime), call.endTime);
    EXPECT_EQ(record.callType, 2);
    EXPECT_EQ(record.flags, 0x80000005u);
    EXPECT_EQ(record.callerIdType, 2);
    EXPECT_EQ(TextOr(record.number, u"-"), u"+1 (425) 555-1212");
    EXPECT_EQ(TextOr(record.name, u"-"), u"Ada");
    EXPECT_EQ(TextOr(record.nameType, u"-"), u"w");
    EXPECT_NE(record.note, 0u);
    EXPECT_EQ(TextOr(record.note, u"-"), u"");
    EXPECT_EQ(LocalLiveCount(), live + 4);
    FreeTexts(record);

    ASSERT_EQ(PhoneGetNextCallLogRecord(log, &record), 0);
    EXPECT_EQ(record.callType, 0);
    EXPECT_EQ(record.callerIdType, 1);
    EXPECT_EQ(record.number, 0u);
    EXPECT_EQ(record.name, 0u);
    EXPECT_EQ(record.nameType, 0u);
    EXPECT_EQ(record.note, 0u);
    EXPECT_EQ(PhoneGetNextCallLogRecord(log, &record), -1);
    EXPECT_EQ(PhoneCloseCallLog(log), 0);
    EXPECT_EQ(PhoneOpenLogCount(), 0u);
    EXPECT_EQ(LocalLiveCount(), live);
}

TEST_F(PhoneLibrary, LongTextsAndOddValuesComeThroughWhole) {
    CallRecordData call = Call(Utc(2026, 12, 9, 8, 30), nullptr, nullptr, 77, -3);
    call.number = std::u16string(10000, u'9');
    call.name = std::u16string(10000, u'\u00e9');
    AddCalls({call});
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0);
    CallLogRecord record{};
    record.recordSize = 48;
    ASSERT_EQ(PhoneGetNextCallLogRecord(log, &record), 0);
    EXPECT_EQ(record.callType, 77);
    EXPECT_EQ(record.callerIdType, -3);
    EXPECT_EQ(TextOr(record.number, u""), *call.number);
    EXPECT_EQ(TextOr(record.name, u""), *call.name);
    FreeTexts(record);
    PhoneCloseCallLog(log);
}

TEST_F(PhoneLibrary, RecordOfAnotherSizeIsRefused) {
    AddCalls({Call(Utc(2026, 12, 9, 8, 30), u"1")});
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0);
    CallLogRecord record{};
    record.recordSize = 40;
    EXPECT_EQ(PhoneGetNextCallLogRecord(log, &record), -1);
    EXPECT_EQ(record.number, 0u);
    EXPECT_EQ(PhoneGetNextCallLogRecord(nullptr, &record), -1);
    PhoneCloseCallLog(log);
}

TEST_F(PhoneLibrary, ReadingKeepsItsSnapshotWhileAnotherProcessWrites) {
    AddCalls({Call(Utc(2026, 12, 9, 8, 0), u"1"), Call(Utc(2026, 12, 9, 9, 0), u"2")});
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0);
    CallLogRecord record{};
    record.recordSize = 48;
    ASSERT_EQ(PhoneGetNextCallLogRecord(log, &record), 0);
    FreeTexts(record);
    // The dialler adds a call while the log is open: the write is not blocked.
    AddCalls({Call(Utc(2026, 12, 9, 10, 0), u"3")});
    int more = 0;
    while (PhoneGetNextCallLogRecord(log, &record) == 0) {
        FreeTexts(record);
        ++more;
    }
    EXPECT_EQ(more, 1);
    PhoneCloseCallLog(log);
    EXPECT_EQ(StoredCalls().size(), 3u);
}

// The numbers of the whole log in the order the library delivers them.
std::vector<std::u16string> ReadNumbers() {
    std::vector<std::u16string> numbers;
    CallLogHandle log = nullptr;
    EXPECT_EQ(PhoneOpenCallLog(&log), 0);
    CallLogRecord record{};
    record.recordSize = 48;
    while (log != nullptr && PhoneGetNextCallLogRecord(log, &record) == 0) {
        numbers.push_back(TextOr(record.number, u"-"));
        FreeTexts(record);
    }
    PhoneCloseCallLog(log);
    return numbers;
}

// However the calls were written (oldest first as a dialler writes them, newest first, or mixed),
// they come latest first, and of calls with the same start the one written later comes first.
TEST_F(PhoneLibrary, CallsComeLatestFirstWhateverTheOrderTheyWereWritten) {
    const std::vector<std::u16string> expected = {u"5", u"4b", u"4a", u"3", u"2", u"1"};
    const auto call = [](int hour, const char16_t* number) { return Call(Utc(2026, 12, 9, hour, 0), number); };
    const std::vector<std::vector<CallRecordData>> orders = {
        {call(1, u"1"), call(2, u"2"), call(3, u"3"), call(4, u"4a"), call(4, u"4b"), call(5, u"5")},
        {call(5, u"5"), call(4, u"4a"), call(4, u"4b"), call(3, u"3"), call(2, u"2"), call(1, u"1")},
        {call(3, u"3"), call(1, u"1"), call(4, u"4a"), call(5, u"5"), call(2, u"2"), call(4, u"4b")}};
    for (const std::vector<CallRecordData>& written : orders) {
        std::string error;
        ASSERT_EQ(AddCallRecords(written, true, &error), 0) << error;
        EXPECT_EQ(ReadNumbers(), expected);
    }
    // A log that is not read to its end keeps no texts alive once closed.
    const size_t live = LocalLiveCount();
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0);
    PhoneCloseCallLog(log);
    EXPECT_EQ(LocalLiveCount(), live);
}

std::vector<PlacedCall> handled;
void RecordHandler(const PlacedCall& call) {
    handled.push_back(call);
}

// A load releases the texts of the load before only after opening the log: the log's texts become
// local texts as each record is delivered, so the two loads' texts are never held at once, and
// records left undelivered cost no local text at all.
TEST_F(PhoneLibrary, TextsBecomeLocalTextsOnlyAsTheirRecordIsDelivered) {
    AddCalls({Call(Utc(2026, 12, 1, 8, 0), u"2065550001", u"Ada"), Call(Utc(2026, 12, 2, 8, 0), u"2065550002"),
              Call(Utc(2026, 12, 3, 8, 0), u"\xE9t\xE9 \u20AC", u"Zo\xEB")});
    const size_t live = LocalLiveCount();
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0) << PhoneLastError();
    EXPECT_EQ(LocalLiveCount(), live);

    CallLogRecord record{};
    record.recordSize = 48;
    ASSERT_EQ(PhoneGetNextCallLogRecord(log, &record), 0);
    EXPECT_EQ(LocalLiveCount(), live + 2);
    EXPECT_EQ(TextOr(record.number, u"-"), u"\xE9t\xE9 \u20AC");
    EXPECT_EQ(TextOr(record.name, u"-"), u"Zo\xEB");
    FreeTexts(record);

    ASSERT_EQ(PhoneGetNextCallLogRecord(log, &record), 0);
    EXPECT_EQ(TextOr(record.number, u"-"), u"2065550002");
    EXPECT_EQ(record.name, 0u);
    FreeTexts(record);
    // The last call is never delivered: closing the log leaves nothing behind.
    EXPECT_EQ(PhoneCloseCallLog(log), 0);
    EXPECT_EQ(LocalLiveCount(), live);
}

TEST(PlaceCall, RequestGoesToTheHandlerWithCopiesOfItsTexts) {
    handled.clear();
    const LocalHandle number = LocalAllocText(u"(425) 555-1212");
    const LocalHandle name = LocalAllocText(u"Ada");
    const MakeCallRequest request{24, 1, number, 0, name, 0};

    SetPlaceCallHandler(nullptr);
    EXPECT_EQ(PhoneMakeCall(&request), 0); // no handler: nothing is dialled
    EXPECT_EQ(SetPlaceCallHandler(RecordHandler), nullptr);
    EXPECT_EQ(PhoneMakeCall(&request), 0);
    // The texts were copied: the handles may go while the call is handled on.
    LocalFree(number);
    LocalFree(name);

    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0].request.size, 24u);
    EXPECT_EQ(handled[0].request.flags, 1u);
    EXPECT_EQ(handled[0].destination, u"(425) 555-1212");
    EXPECT_EQ(handled[0].calledParty, u"Ada");

    const MakeCallRequest wrongSize{20, 1, 0, 0, 0, 0};
    EXPECT_EQ(PhoneMakeCall(&wrongSize), -1);
    EXPECT_EQ(handled.size(), 1u);
    EXPECT_EQ(SetPlaceCallHandler(nullptr), RecordHandler);
}

TEST(PlaceCall, TelUriKeepsWhatADiallerTakes) {
    EXPECT_EQ(TelUri(u"(425) 555-1212"), "tel:4255551212");
    EXPECT_EQ(TelUri(u"+44 20 7946 0958"), "tel:+442079460958");
    EXPECT_EQ(TelUri(u"*21#"), "tel:*21%23");
    EXPECT_EQ(TelUri(u""), "tel:");
    EXPECT_EQ(TelUri(nullptr), "tel:");
}

// Reads the log to its end, or only its first record, and closes it.
void ReadLog(bool toTheEnd) {
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0) << PhoneLastError();
    CallLogRecord record{};
    record.recordSize = 48;
    while (PhoneGetNextCallLogRecord(log, &record) == 0) {
        FreeTexts(record);
        if (!toTheEnd) {
            break;
        }
    }
    PhoneCloseCallLog(log);
}

TEST_F(PhoneLibrary, OnlyTheFirstLogReadToItsEndIsKnownUnchangedAndOnlyOnce) {
    AddCalls({Call(Utc(2026, 12, 9, 8, 0), u"1"), Call(Utc(2026, 12, 9, 9, 0), u"2")});
    EXPECT_EQ(PhoneCallLogUnchanged(), 0) << "nothing read yet";
    ReadLog(true);
    EXPECT_EQ(PhoneCallLogUnchanged(), 1);
    EXPECT_EQ(PhoneCallLogUnchanged(), 0) << "answered once";
    ReadLog(true);
    EXPECT_EQ(PhoneCallLogUnchanged(), 0) << "only the first read is watched";

    PhoneRestartCallLogWatch();
    ReadLog(false);
    EXPECT_EQ(PhoneCallLogUnchanged(), 0) << "a log not read to its end";

    PhoneRestartCallLogWatch();
    CallLogHandle open = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&open), 0);
    EXPECT_EQ(PhoneCallLogUnchanged(), 0) << "a log still open";
    PhoneCloseCallLog(open);
}

} // namespace
