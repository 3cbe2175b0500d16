#include "citydb/citydatabase.h"

#include "platform/files/programfiles.h"
#include "platform/msgbox/messagebox.h"
#include "platform/text/textops.h"
#include "tests/citydb/cityimage.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ShownBox {
    int count = 0;
    const void* owner = reinterpret_cast<const void*>(1);
    std::u16string text;
    std::u16string caption;
    unsigned type = 0;
};

ShownBox shown;

int RecordBox(const void* owner, const char16_t* text, const char16_t* caption, unsigned type) {
    ++shown.count;
    shown.owner = owner;
    shown.text = text;
    shown.caption = caption;
    shown.type = type;
    return IDOK;
}

struct Answer {
    int result = 0;
    std::u16string city;
    std::u16string state;
};

// Both buffers start as "untouched" so that a lookup that must not write can be told apart.
Answer Look(const char16_t* number) {
    FixedText<50> city;
    FixedText<3> state;
    city.Assign(u"untouched");
    state.Assign(u"un");
    Answer answer;
    answer.result = CityDatabase::Lookup(number, city.Data(), city.capacity, state.Data(), state.capacity);
    answer.city = city.Data();
    answer.state = state.Data();
    return answer;
}

class CityDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        shown = ShownBox{};
        previousHandler = SetMessageBoxHandler(RecordBox);
    }
    void TearDown() override {
        CityDatabase::Unload();
        SetCityDatabaseOverride("");
        SetMessageBoxHandler(previousHandler);
    }

    // Loads bytes as the database; the file stays until the test ends.
    int LoadImage(const std::string& bytes) {
        file = std::make_unique<TempFile>(bytes);
        SetCityDatabaseOverride(file->path);
        return CityDatabase::Load();
    }

    std::unique_ptr<TempFile> file;
    MessageBoxHandler previousHandler = nullptr;
};

// A small image with the awkward blocks of the lookup rules.
ImageSpec RulesImage() {
    ImageSpec spec;
    spec.states[201] = "AA";
    spec.blocks[201] = CityBlock({{"First", {300}}});
    spec.states[511] = "ZY";
    spec.blocks[511] = CityBlock({{"Last", {400}}});
    spec.states[206] = "WA";
    spec.blocks[206] = CityBlock({{"Seattle", {386, 387}}, {"Tacoma", {383, 253}}, {"Everett", {258}}});
    spec.states[300] = "NV";
    spec.blocks[300] = CityBlock({{"Nowhere", {}}, {"Reno", {555}}});
    spec.states[301] = "QC";
    spec.blocks[301] = CityBlock({{"L\xE9vis", {833}}});
    spec.states[302] = "OH";
    spec.blocks[302] = CityBlock({{"Ohio", {}}});
    spec.blocks[303] = CityBlock({{std::string(49, 'N'), {249}}, {"After", {250}}});
    return spec;
}

} // namespace

TEST(CityDatabaseParse, TakesTheLastTenCharacters) {
    struct Row {
        const char16_t* number;
        int result;
        int16_t areaCode;
        int16_t exchange;
    };
    const Row rows[] = {
        {u"4255551212", 0, 425, 555}, {u"14255551212", 0, 425, 555},
        {u"4255550000", 0, 425, 555}, {u"+1 (800) 4255551212", 0, 425, 555},
        {u"425555121", -1, 0, 0},     {u"", -1, 0, 0},
        {u"0005551212", 0, 0, 555},   {u"x 42abc1234", 0, 42, 0}, // leading blank skipped; no digits give 0
        {u"-12+451234", 0, -12, 45}, // a sign is accepted; the piece ends after three characters
        {u"4x5555-121", 0, 4, 555},  // digits stop at the first other character
    };
    for (const Row& row : rows) {
        int16_t areaCode = 7;
        int16_t exchange = 7;
        EXPECT_EQ(CityDatabase::ParseNumber(row.number, areaCode, exchange), row.result);
        EXPECT_EQ(areaCode, row.areaCode) << std::u16string(row.number).size();
        EXPECT_EQ(exchange, row.exchange);
    }
}

TEST_F(CityDatabaseTest, FindsCitiesByTheLookupRules) {
    ASSERT_EQ(LoadImage(BuildImage(RulesImage())), 0);
    const std::u16string longName(49, u'N');
    struct Row {
        const char16_t* number;
        const char16_t* city;
        const char16_t* state;
    };
    const Row rows[] = {
        {u"2013001234", u"First", u"AA"}, // first index entry
        {u"5114001234", u"Last", u"ZY"},  // last index entry
        {u"2063861212", u"Seattle", u"WA"},
        {u"12063871212", u"Seattle", u"WA"},
        {u"2062530000", u"Tacoma", u"WA"},     // second city, its last code
        {u"2062581212", u"Everett", u"WA"},    // last city of the block
        {u"3005551212", u"Reno", u"NV"},       // behind a city without codes
        {u"3018331212", u"L\u00E9vis", u"QC"}, // ISO 8859-1 widened
        {u"3032491212", longName.c_str(), u"ZZ"},
        {u"3032501212", u"After", u"ZZ"}, // a 49-byte name keeps the scan in step
        {u"2069991212", u"", u"WA"},      // exchange missing from its block
        {u"3009991212", u"", u"NV"},
        {u"3025551212", u"", u"OH"}, // a state-only block
        {u"2045551212", u"City204", u"ZZ"},
    };
    for (const Row& row : rows) {
        const Answer answer = Look(row.number);
        EXPECT_EQ(answer.result, 0);
        EXPECT_EQ(answer.city, row.city) << std::u16string(row.number).size();
        EXPECT_EQ(answer.state, row.state);
    }
}

TEST_F(CityDatabaseTest, LeavesBothBuffersUntouchedWhenNothingIsFound) {
    ASSERT_EQ(LoadImage(BuildImage(RulesImage())), 0);
    struct Row {
        const char16_t* number;
        int result;
    };
    const Row rows[] = {
        {u"206386121", -1}, // fewer than 10 characters
        {u"0003861212", 0}, // area code 0
        {u"2060001212", 0}, // exchange 0
        {u"abc3861212", 0}, // area code reads as 0
        {u"2001234567", 0}, // below the first entry
        {u"5121234567", 0}, // above the last entry
        {u"-203861212", 0}, // negative area code
    };
    for (const Row& row : rows) {
        const Answer answer = Look(row.number);
        EXPECT_EQ(answer.result, row.result) << std::u16string(row.number).size();
        EXPECT_EQ(answer.city, u"untouched");
        EXPECT_EQ(answer.state, u"un");
    }
}

TEST_F(CityDatabaseTest, CutsTheCityToASmallBuffer) {
    ASSERT_EQ(LoadImage(BuildImage(RulesImage())), 0);
    char16_t city[5] = {};
    char16_t state[3] = {};
    EXPECT_EQ(CityDatabase::Lookup(u"2062530000", city, 5, state, 3), 0);
    EXPECT_TRUE(TextEquals(city, u"Taco"));
    EXPECT_TRUE(TextEquals(state, u"WA"));
}

TEST_F(CityDatabaseTest, FindAreaCodeSearchesAll311Entries) {
    ASSERT_EQ(LoadImage(BuildImage(ImageSpec{})), 0);
    for (int area = kFirstTestArea; area <= kLastTestArea; ++area) {
        ASSERT_EQ(CityDatabase::FindAreaCode(static_cast<int16_t>(area)), area - kFirstTestArea);
    }
    EXPECT_EQ(CityDatabase::FindAreaCode(200), -1);
    EXPECT_EQ(CityDatabase::FindAreaCode(512), -1);
    EXPECT_EQ(CityDatabase::FindAreaCode(0), -1);
}

TEST_F(CityDatabaseTest, MissingFileShowsTheStopBoxOnceAndLoadsNothing) {
    SetCityDatabaseOverride("/nonexistent/folder/Zonrik.dll");
    EXPECT_EQ(CityDatabase::Load(), -1);
    EXPECT_FALSE(CityDatabase::IsLoaded());
    EXPECT_EQ(shown.count, 1);
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_EQ(shown.text, u"DB file not found");
    EXPECT_EQ(shown.caption, u"Zonrik");
    EXPECT_EQ(shown.type, MB_OK | MB_ICONSTOP);
    const Answer answer = Look(u"2063861212");
    EXPECT_EQ(answer.result, 0);
    EXPECT_EQ(answer.city, u"untouched");
    EXPECT_EQ(answer.state, u"un");
}

TEST_F(CityDatabaseTest, AFolderIsAnUnopenableFile) {
    SetCityDatabaseOverride("/tmp");
    EXPECT_EQ(CityDatabase::Load(), -1);
    EXPECT_EQ(shown.count, 1);
    EXPECT_FALSE(CityDatabase::IsLoaded());
}

TEST_F(CityDatabaseTest, RejectsAFileShorterThanTheIndexSilently) {
    const std::string whole = BuildImage(RulesImage());
    for (size_t size : {size_t{0}, size_t{8}, size_t{2487}}) {
        EXPECT_EQ(LoadImage(whole.substr(0, size)), -1) << size;
        EXPECT_FALSE(CityDatabase::IsLoaded());
        EXPECT_EQ(Look(u"2013001234").city, u"untouched");
    }
    EXPECT_EQ(shown.count, 0);
    // The index alone is a database in which every block lies beyond the end.
    ASSERT_EQ(LoadImage(whole.substr(0, 2488)), 0);
    const Answer answer = Look(u"2013001234");
    EXPECT_EQ(answer.city, u"");
    EXPECT_EQ(answer.state, u"AA");
}

TEST_F(CityDatabaseTest, LoadKeepsTheFirstImageAndUnloadReleasesIt) {
    ASSERT_EQ(LoadImage(BuildImage(RulesImage())), 0);
    EXPECT_TRUE(CityDatabase::IsLoaded());
    ImageSpec other = RulesImage();
    other.blocks[206] = CityBlock({{"Elsewhere", {386}}});
    TempFile second(BuildImage(other));
    SetCityDatabaseOverride(second.path);
    EXPECT_EQ(CityDatabase::Load(), 0);
    EXPECT_EQ(Look(u"2063861212").city, u"Seattle");

    CityDatabase::Unload();
    EXPECT_FALSE(CityDatabase::IsLoaded());
    EXPECT_EQ(Look(u"2063861212").city, u"untouched");
    ASSERT_EQ(CityDatabase::Load(), 0);
    EXPECT_EQ(Look(u"2063861212").city, u"Elsewhere");
}

// Every kind of damage ends as "not found": the state of the index entry, an empty city, and no
// read outside the image (the sanitizer build checks the last part).
TEST_F(CityDatabaseTest, DamagedBlocksEndAsNotFound) {
    struct Case {
        const char* what;
        ImageSpec spec;
        const char16_t* number;
    };
    std::vector<Case> cases;
    {
        ImageSpec spec;
        spec.offsets[511] = 0xFFFFFFF0u;
        cases.push_back({"offset far beyond the end", spec, u"5115551212"});
    }
    {
        ImageSpec spec;
        spec.offsets[511] = static_cast<uint32_t>(BuildImage(ImageSpec{}).size());
        cases.push_back({"offset exactly at the end", spec, u"5115551212"});
    }
    {
        ImageSpec spec;
        spec.blocks[511] = CityBlock({{"Open", {386}}}, false);
        cases.push_back({"block without its end marker", spec, u"5119991212"});
    }
    {
        ImageSpec spec;
        spec.blocks[511] = CityBlock({{"Open", {386}}}, false) + "\x01";
        cases.push_back({"block ending in half a code", spec, u"5119991212"});
    }
    {
        ImageSpec spec;
        spec.blocks[511] = CityBlock({{"Open", {386}}}, false) + "Next";
        cases.push_back({"second name without its terminator", spec, u"5119991212"});
    }
    {
        ImageSpec spec;
        spec.blocks[511] = "Unterminated";
        cases.push_back({"first name without its terminator", spec, u"5115551212"});
    }
    {
        ImageSpec spec;
        spec.blocks[511] = "Cut";
        spec.blocks[511] += '\0';
        cases.push_back({"name with no codes behind it", spec, u"5115551212"});
    }
    {
        ImageSpec spec;
        spec.blocks[300] = CityBlock({{std::string(50, 'L'), {555}}});
        cases.push_back({"name of 50 bytes", spec, u"3005551212"});
    }
    {
        ImageSpec spec;
        spec.blocks[300] = CityBlock({{"Fine", {386}}, {std::string(200, 'L'), {555}}});
        cases.push_back({"long name inside a block", spec, u"3005551212"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(LoadImage(BuildImage(c.spec)), 0);
        const Answer answer = Look(c.number);
        EXPECT_EQ(answer.result, 0);
        EXPECT_EQ(answer.city, u"");
        EXPECT_EQ(answer.state, u"ZZ");
        CityDatabase::Unload();
    }
}

TEST_F(CityDatabaseTest, CodesBeforeTheDamageAreStillFound) {
    ImageSpec spec;
    spec.blocks[511] = CityBlock({{"Open", {386}}}, false);
    ASSERT_EQ(LoadImage(BuildImage(spec)), 0);
    EXPECT_EQ(Look(u"5113861212").city, u"Open");
}

TEST_F(CityDatabaseTest, ReadCityNameReportsTheStoredLength) {
    ImageSpec spec;
    spec.blocks[201] = CityBlock({{"Bellevue", {425}}});
    ASSERT_EQ(LoadImage(BuildImage(spec)), 0);
    char16_t city[50] = {};
    EXPECT_EQ(CityDatabase::ReadCityName(311 * 8, city, 50), 8);
    EXPECT_TRUE(TextEquals(city, u"Bellevue"));
    EXPECT_EQ(CityDatabase::ReadCityName(311 * 8 + 8, city, 50), 0) << "the terminator is an empty name";
    EXPECT_EQ(CityDatabase::ReadCityName(0xFFFFFFFFu, city, 50), -1);
    EXPECT_TRUE(TextEquals(city, u""));
}

// Cities of every name length from 1 to 49 bytes, with runs of 0 to 12 codes, so that names and
// runs start at every alignment: each exchange must give its own city, every other one none.
TEST_F(CityDatabaseTest, EveryExchangeOfALargeBlockFindsItsOwnCity) {
    std::vector<TestCity> cities;
    std::map<int, std::string> owner;
    int next = 200;
    for (size_t length = 1; length <= 49; ++length) {
        TestCity city{std::string(length, static_cast<char>('a' + length % 26)), {}};
        const size_t codes = length % 13;
        for (size_t k = 0; k < codes; ++k) {
            owner[next] = city.name;
            city.exchanges.push_back(static_cast<uint16_t>(next++));
        }
        next += 1; // one exchange in between belongs to no city
        cities.push_back(city);
    }
    ImageSpec spec;
    spec.states[450] = "LG";
    spec.blocks[450] = CityBlock(cities);
    ASSERT_EQ(LoadImage(BuildImage(spec)), 0);
    for (int exchange = 200; exchange <= 999; ++exchange) {
        const std::u16string number = u"450" + std::u16string(1, static_cast<char16_t>(u'0' + exchange / 100)) +
                                      static_cast<char16_t>(u'0' + exchange / 10 % 10) +
                                      static_cast<char16_t>(u'0' + exchange % 10) + u"1234";
        const Answer answer = Look(number.c_str());
        const auto expected = owner.find(exchange);
        const std::string name = expected != owner.end() ? expected->second : "";
        ASSERT_EQ(answer.city, std::u16string(name.begin(), name.end())) << exchange;
        ASSERT_EQ(answer.state, u"LG");
    }
}
