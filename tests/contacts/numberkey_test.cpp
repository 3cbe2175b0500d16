#include "platform/text/numberkey.h"

#include <gtest/gtest.h>

namespace {

struct Form {
    const char* written;
    const char* key;
};

// The forms the diallers and the address books write one number in meet at one key.
TEST(NumberKey, NorthAmericanFormsMeetInE164) {
    const Form forms[] = {
        {"(206) 386-1234", "+12063861234"},     {"206.386.1234", "+12063861234"},
        {"1-206-386-1234", "+12063861234"},     {"+1 206 386 1234", "+12063861234"},
        {"011 1 206 386 1234", "+12063861234"}, {"tel:+1-206-386-1234", "+12063861234"},
        {"TEL:2063861234", "+12063861234"},     {"  tel:12063861234", "+12063861234"},
        {"+44 20 7946 0958", "+442079460958"},  {"011 44 20 7946 0958", "+442079460958"},
    };
    for (const Form& form : forms) {
        EXPECT_EQ(NumberKey(std::string_view(form.written)), form.key) << form.written;
    }
}

TEST(NumberKey, OtherNumbersKeepTheirDigits) {
    const Form forms[] = {
        // Too short or too long for a national number, or an area code that cannot be one.
        {"386-1234", "3861234"},
        {"911", "911"},
        {"123-456-7890", "1234567890"},
        {"12063861234567", "12063861234567"},
        {"*86", "*86"},
        {"#31#", "#31#"},
        // A foreign number written without its "+" is no North American one.
        {"44 20 7946 0958", "442079460958"},
    };
    for (const Form& form : forms) {
        EXPECT_EQ(NumberKey(std::string_view(form.written)), form.key) << form.written;
    }
}

TEST(NumberKey, ExtensionsPausesAndParametersEndTheNumber) {
    const Form forms[] = {
        {"tel:+1-312-555-0100;ext=12", "+13125550100"},
        {"312 555 0100 x12", "+13125550100"},
        {"312-555-0100 ext. 12", "+13125550100"},
        {"3125550100,,12", "+13125550100"},
    };
    for (const Form& form : forms) {
        EXPECT_EQ(NumberKey(std::string_view(form.written)), form.key) << form.written;
    }
}

TEST(NumberKey, NothingToFindGivesNoKey) {
    for (const char* written : {"", "   ", "()-", "tel:", "sip:ada@example.org", "ada@example.org", "Unknown",
                                "2063861234@sip.example.org"}) {
        EXPECT_EQ(NumberKey(std::string_view(written)), "") << written;
    }
}

TEST(NumberKey, CallLogTextsReadAsUtf8Does) {
    EXPECT_EQ(NumberKey(std::u16string_view(u"(206) 386-1234")), "+12063861234");
    EXPECT_EQ(NumberKey(std::u16string_view(u"\u00a0+1\u2011206\u2011386\u20111234")), "+12063861234");
    EXPECT_EQ(NumberKey(std::u16string_view(u"")), "");
}

} // namespace
