#include "platform/contacts/contactmap.h"

#include <gtest/gtest.h>

namespace {

ContactCard Card(const char* name, std::vector<ContactNumber> numbers) {
    return ContactCard{name, std::move(numbers)};
}

std::string NameOf(const ContactMap& map, const char16_t* number) {
    const ContactMap::Match* match = map.Find(number);
    return match != nullptr ? match->name + "/" + match->nameType : "-";
}

TEST(ContactMap, FindsEachNumberOfEachContactInAnyForm) {
    const ContactMap map({Card("Grace Hopper", {{"(206) 386-1234", "m", false}, {"+1 703 555 0142", "w", false}}),
                          Card("Ada Lovelace", {{"tel:+14255551212", "", false}})});
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(NameOf(map, u"+12063861234"), "Grace Hopper/m");
    EXPECT_EQ(NameOf(map, u"7035550142"), "Grace Hopper/w");
    EXPECT_EQ(NameOf(map, u"1-425-555-1212"), "Ada Lovelace/");
    EXPECT_EQ(NameOf(map, u"4255551213"), "-");
    EXPECT_EQ(NameOf(map, u""), "-");
}

TEST(ContactMap, NumberOfTwoContactsGoesToThePreferredOneElseTheFirstAlphabetically) {
    // Listed in either order, the same contact wins.
    const std::vector<ContactCard> cards = {
        Card("grace Hopper", {{"2063861234", "w", false}, {"2125550199", "", false}}),
        Card("Ada Lovelace", {{"+12063861234", "m", false}, {"2125550199", "h", true}}),
        Card("Zed", {{"3125550100", "", false}}),
        Card("alan Turing", {{"312-555-0100", "w", false}}),
    };
    for (bool reversed : {false, true}) {
        std::vector<ContactCard> listed = cards;
        if (reversed) {
            std::reverse(listed.begin(), listed.end());
        }
        const ContactMap map(listed);
        EXPECT_EQ(NameOf(map, u"2063861234"), "Ada Lovelace/m") << reversed;
        EXPECT_EQ(NameOf(map, u"2125550199"), "Ada Lovelace/h") << reversed;
        // Alphabetical regardless of case: "alan" before "Zed".
        EXPECT_EQ(NameOf(map, u"3125550100"), "alan Turing/w") << reversed;
    }
    // A name that is the start of another comes first.
    for (bool reversed : {false, true}) {
        std::vector<ContactCard> listed = {Card("Ada Lovelace", {{"2063861234", "m", false}}),
                                           Card("Ada", {{"2063861234", "w", false}})};
        if (reversed) {
            std::reverse(listed.begin(), listed.end());
        }
        EXPECT_EQ(NameOf(ContactMap(listed), u"2063861234"), "Ada/w") << reversed;
    }
    // Marked preferred beats the alphabet.
    const ContactMap preferred({Card("Ada", {{"2063861234", "", false}}), Card("Bob", {{"2063861234", "m", true}})});
    EXPECT_EQ(NameOf(preferred, u"2063861234"), "Bob/m");
}

TEST(ContactMap, NumberTwiceInOneContactTakesItsPreferredEntryElseTheFirst) {
    const ContactMap first({Card("Grace", {{"2063861234", "h", false}, {"(206) 386-1234", "m", false}})});
    EXPECT_EQ(NameOf(first, u"2063861234"), "Grace/h");
    const ContactMap preferred({Card("Grace", {{"2063861234", "h", false}, {"(206) 386-1234", "m", true}})});
    EXPECT_EQ(NameOf(preferred, u"2063861234"), "Grace/m");
}

TEST(ContactMap, ContactsWithoutANameOrNumbersWithoutDigitsAreLeftOut) {
    const ContactMap map({Card("", {{"2063861234", "m", false}}), Card("Ada", {{"sip:ada@example.org", "", false}})});
    EXPECT_EQ(map.size(), 0u);
    EXPECT_EQ(NameOf(map, u"2063861234"), "-");
}

} // namespace
