#include "calllog/callsearch.h"

#include "platform/text/localheap.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

// A call as the list holds it after a load: the texts derived, the record's number stripped.
struct Call {
    const char16_t* name;
    const char16_t* number;
    const char16_t* place;
    const char16_t* stored;
};

NVXCallEntry EntryOf(const Call& call) {
    NVXCallEntry entry;
    entry.nameText.Assign(call.name);
    entry.numberText.Assign(call.number);
    entry.locationText.Assign(call.place);
    entry.number = call.stored == nullptr ? 0 : LocalAllocText(call.stored);
    return entry;
}

const Call kMuller{u"Anna Müller", u"(206) 386-1234", u"Seattle, WA", u"12063861234"};
const Call kNoName{u"", u"(509) 555-0199", u"Spokane, WA", u"5095550199"};
const Call kBlocked{u"", u"Caller ID Blocked", u"", nullptr};
const Call kAddressBook{u"Zoë O'Brien", u"(212) 555-0100 w", u"New York, NY", u"2125550100"};

struct Row {
    const char16_t* typed;
    const Call* call;
    bool matches;
};

TEST(CallSearch, FindsNamesNumbersAndPlacesWithCaseAccentsAndPunctuationFolded) {
    const Row rows[] = {
        // Names, folded both ways.
        {u"muller", &kMuller, true},
        {u"MÜLLER", &kMuller, true},
        {u"Mu\u0308ller", &kMuller, true},
        {u"anna m", &kMuller, true},
        {u"zoe o'b", &kAddressBook, true},
        {u"mueller", &kMuller, false},
        // Digits whatever the punctuation, in the shown and the stored number.
        {u"2063", &kMuller, true},
        {u"206-386", &kMuller, true},
        {u"(206) 386-12", &kMuller, true},
        {u"+1 206", &kMuller, true},
        {u"3861234", &kMuller, true},
        {u"1234 5", &kMuller, false},
        {u"2063", &kNoName, false},
        {u"0199", &kNoName, true},
        {u"555 0100", &kAddressBook, true},
        // Places.
        {u"seattle", &kMuller, true},
        {u"Seattle, WA", &kMuller, true},
        {u"wa", &kNoName, true},
        {u"new york", &kAddressBook, true},
        {u"spokane", &kMuller, false},
        // A number shown as words is a text like any other; digits find no call without a number.
        {u"blocked", &kBlocked, true},
        {u"0", &kBlocked, false},
        // Letters among the digits make a text: no digits-only match across the punctuation.
        {u"206x386", &kMuller, false},
        // Blanks around the text do not count.
        {u"  seattle  ", &kMuller, true},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        NVXCallEntry entry = EntryOf(*rows[i].call);
        EXPECT_EQ(CallSearch(rows[i].typed).Matches(entry), rows[i].matches);
        LocalFree(entry.number);
    }
}

TEST(CallSearch, EmptyOrBlankTextIsOffAndMatchesEveryCall) {
    for (const char16_t* typed : {static_cast<const char16_t*>(nullptr), u"", u"   ", u"\t"}) {
        const CallSearch search(typed);
        EXPECT_TRUE(search.IsEmpty());
        NVXCallEntry entry = EntryOf(kBlocked);
        EXPECT_TRUE(search.Matches(entry));
    }
    EXPECT_FALSE(CallSearch(u" a ").IsEmpty());
}

TEST(CallSearch, KeepsTheTypedTextTrimmedAndCutForTheTitle) {
    EXPECT_EQ(std::u16string(CallSearch(u"  Seattle ").Text()), u"Seattle");
    const std::u16string longText(80, u'x');
    EXPECT_EQ(std::u16string(CallSearch(longText.c_str()).Text()).size(), CallSearch::kMaxTyped);
}

TEST(CallSearch, ALigatureTypedAtTheLongestStillFoldsWhole) {
    // Fifty "ß" fold into a hundred "s": the folded text must hold them all.
    const std::u16string typed(CallSearch::kMaxTyped, u'ß');
    NVXCallEntry entry;
    entry.nameText.Assign(std::u16string(CallSearch::kMaxTyped * 2, u's').c_str());
    EXPECT_TRUE(CallSearch(typed.c_str()).Matches(entry));
    entry.nameText.Assign(std::u16string(CallSearch::kMaxTyped * 2 - 1, u's').c_str());
    EXPECT_FALSE(CallSearch(typed.c_str()).Matches(entry));
}

} // namespace
