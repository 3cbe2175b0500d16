#include "citydb/reverselookup.h"

#include "citydb/citydatabase.h"
#include "platform/files/programfiles.h"
#include "platform/msgbox/messagebox.h"
#include "platform/text/textops.h"
#include "tests/citydb/cityimage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int Quiet(const void*, const char16_t*, const char16_t*, unsigned) {
    return IDOK;
}

std::u16string Reverse(const char16_t* digits) {
    FixedText<64> result;
    result.Assign(u"stale");
    EXPECT_EQ(ReverseLookupText(digits, result.Data(), result.capacity), 0);
    return result.Data();
}

constexpr char16_t kNotAvailable[] = u"City and State information not available";

class ReverseLookupTest : public testing::Test {
protected:
    void SetUp() override {
        ImageSpec spec;
        spec.states[206] = "WA";
        spec.blocks[206] = CityBlock({{"Seattle", {386}}, {"Tacoma", {253}}});
        file = std::make_unique<TempFile>(BuildImage(spec));
        SetCityDatabaseOverride(file->path);
        ASSERT_EQ(CityDatabase::Load(), 0);
    }
    void TearDown() override {
        CityDatabase::Unload();
        SetCityDatabaseOverride("");
    }
    std::unique_ptr<TempFile> file;
};

} // namespace

TEST_F(ReverseLookupTest, AnswersSixDigitsOnly) {
    struct Row {
        const char16_t* digits;
        const char16_t* expected;
    };
    const Row rows[] = {
        {u"206386", u"Seattle, WA"},
        {u"206253", u"Tacoma, WA"},
        {u"206999", kNotAvailable}, // area code known, exchange not
        {u"000386", kNotAvailable},
        {u"206000", kNotAvailable},
        {u"999386", kNotAvailable},
        {u"20638", u""},
        {u"", u""},
        {u"2063861234", u"Seattle, WA"}, // only the first six characters are read
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Reverse(row.digits), row.expected) << std::u16string(row.digits).size();
    }
}

TEST_F(ReverseLookupTest, CutsTheAnswerToTheResultBuffer) {
    char16_t result[8] = {};
    EXPECT_EQ(ReverseLookupText(u"206386", result, 8), 0);
    EXPECT_TRUE(TextEquals(result, u"Seattle"));
}

TEST(ReverseLookupWithoutDatabase, EverySixDigitsAreNotAvailable) {
    const MessageBoxHandler previous = SetMessageBoxHandler(Quiet);
    SetCityDatabaseOverride("/nonexistent/Zonrik.dll");
    EXPECT_EQ(CityDatabase::Load(), -1);
    EXPECT_EQ(Reverse(u"206386"), kNotAvailable);
    EXPECT_EQ(Reverse(u"20638"), u"");
    SetCityDatabaseOverride("");
    SetMessageBoxHandler(previous);
}
