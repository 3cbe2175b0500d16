#include "tools/ringlogtool/androidcalls.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMillisecond = 10000ULL;
// 2026-12-09 10:15:00 UTC: milliseconds since 1970, and the same moment as a file time.
constexpr const char* kDate = "1796811300000";
constexpr uint64_t kFileTime = (1796811300000ULL + 11644473600000ULL) * kMillisecond;

std::string Backup(const std::string& calls) {
    return "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<calls>\n" + calls + "</calls>\n";
}

std::string Call(const std::string& attributes) {
    return std::string("  <call date=\"") + kDate + "\" " + attributes + " />\n";
}

TEST(AndroidCalls, TypesMapToTheCallTypes) {
    struct Case {
        const char* type;
        int32_t callType;
    };
    for (const Case& c : {Case{"1", 1}, Case{"2", 2}, Case{"3", 0}, Case{"5", 0}, Case{"6", 0}}) {
        std::vector<CallRecordData> calls;
        std::vector<std::string> errors;
        ASSERT_TRUE(
            CallsFromAndroidXml(Backup(Call(std::string("number=\"1\" type=\"") + c.type + "\"")), &calls, &errors))
            << c.type << (errors.empty() ? "" : errors[0]);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].callType, c.callType) << c.type;
    }
}

TEST(AndroidCalls, NumbersNamesTimesAndWithheldCallers) {
    std::vector<CallRecordData> calls;
    std::vector<std::string> errors;
    const std::string text =
        Backup(Call("number=\"+12063864545\" duration=\"75\" type=\"2\" contact_name=\"Ada\"") +
               Call("number=\"2125550199\" type=\"1\" presentation=\"3\" contact_name=\"Bob\"") +
               Call("number=\"-2\" type=\"3\" presentation=\"2\"") + Call("number=\"\" type=\"3\"") +
               Call("number=\"5550100\" type=\"1\" presentation=\"1\" contact_name=\"(Unknown)\"") +
               "  <call date=\"1796811299999\" number=\"1\" type=\"1\" contact_name=\"null\"/>\n");
    ASSERT_TRUE(CallsFromAndroidXml(text, &calls, &errors)) << errors[0];
    ASSERT_EQ(calls.size(), 6u);
    // Oldest first, the file's order kept between calls of the same time.
    EXPECT_EQ(calls[0].startTime, kFileTime - kMillisecond);
    EXPECT_FALSE(calls[0].name.has_value());
    EXPECT_EQ(calls[1].startTime, kFileTime);
    EXPECT_EQ(calls[1].endTime, kFileTime + 75 * 1000 * kMillisecond);
    EXPECT_EQ(calls[1].number, u"+12063864545");
    EXPECT_EQ(calls[1].name, u"Ada");
    EXPECT_EQ(calls[1].callerIdType, 2);
    EXPECT_EQ(calls[1].endTime - calls[1].startTime, 750000000u);
    // Withheld: no number, no name.
    EXPECT_EQ(calls[2].callerIdType, 1);
    EXPECT_FALSE(calls[2].number.has_value());
    EXPECT_FALSE(calls[2].name.has_value());
    EXPECT_EQ(calls[3].callerIdType, 1);
    // No number and nothing said: unavailable.
    EXPECT_EQ(calls[4].callerIdType, 0);
    EXPECT_FALSE(calls[4].number.has_value());
    EXPECT_EQ(calls[4].endTime, calls[4].startTime);
    EXPECT_EQ(calls[5].number, u"5550100");
    EXPECT_FALSE(calls[5].name.has_value());
}

TEST(AndroidCalls, BadFilesGiveTheLineAndNoCalls) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {Backup(Call("number=\"1\" type=\"4\"")), "line 3: unknown call type 4"},
        {Backup(Call("number=\"1\"")), "line 3: the call has no type"},
        {Backup("<call number=\"1\" type=\"1\" date=\"yesterday\"/>\n"), "line 3: the call has no date"},
        {Backup("<call number=\"1\" type=\"1\" date=\"-5\"/>\n"), "line 3: the call has no date"},
        {Backup(Call("number=\"1\" type=\"1\" duration=\"-1\"")), "line 3: the call's duration"},
        {Backup(Call("number=\"1\" type=\"1\" presentation=\"x\"")), "line 3: the call's presentation"},
        {Backup(Call("number=\"1\" type=\"1\"") + "<sms/>\n"), "line 4: <sms> where a <call> belongs"},
        {"<smses><sms/></smses>", "line 1: not an Android call log"},
        {"<calls count=\"2\">\n" + Call("number=\"1\" type=\"1\"") + "</calls>", "line 3: the file says it holds 2"},
        {"<calls>\n" + Call("number=\"1\" type=\"1\""), "line 3: "},
        {"<calls>\n<call number=\"1\" type=\"1\" date=\"1\" date=\"2\"/></calls>", "line 2: "},
        {"<?xml version='1.0'?>", "line 1: Premature end"},
        {"<!-- nothing -->", "line 1: Premature end"},
    };
    for (const Case& c : cases) {
        std::vector<CallRecordData> calls;
        std::vector<std::string> errors;
        EXPECT_FALSE(CallsFromAndroidXml(c.text, &calls, &errors)) << c.text;
        ASSERT_FALSE(errors.empty()) << c.text;
        EXPECT_NE(errors[0].find(c.error), std::string::npos) << errors[0] << " / " << c.error;
        EXPECT_TRUE(calls.empty());
    }
}

TEST(AndroidCalls, XmlIsToldFromCsvByItsFirstCharacter) {
    EXPECT_TRUE(LooksLikeXml("<calls/>"));
    EXPECT_TRUE(LooksLikeXml("\xEF\xBB\xBF\n  <?xml version='1.0'?>"));
    EXPECT_FALSE(LooksLikeXml("type,start,end,number,name,name_type,note,caller_id,flags\n"));
    EXPECT_FALSE(LooksLikeXml(""));
    EXPECT_FALSE(LooksLikeXml("  \n"));
}

} // namespace
