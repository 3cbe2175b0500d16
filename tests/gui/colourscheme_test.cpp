// The colour schemes on the phone: every text of every screen readable in both, the dark one dark,
// a change followed while the program runs, and the light one drawn as before the dark one existed.
#include "schemescreens.h"

#include "platform/ui/colourscheme.h"

namespace {

using namespace schemescreens;

class ColourSchemes : public SchemeScreens {
protected:
    void TearDown() override {
        ColourScheme::Apply(ColourScheme::kLight);
        SchemeScreens::TearDown();
    }

    void ExpectReadableTexts(const std::vector<Shot>& shots) {
        const std::vector<std::string> expected = {"list", "menu",  "call info",  "reverse lookup",
                                                   "find", "about", "message box"};
        std::vector<std::string> names;
        for (const Shot& shot : shots) {
            names.push_back(shot.name);
        }
        ASSERT_EQ(names, expected);
        for (const Shot& shot : shots) {
            EXPECT_GE(shot.texts.size(), 2u) << shot.name;
            for (const auto& [text, area] : shot.texts) {
                EXPECT_GE(TextContrast(shot.picture, area), 4.5) << shot.name << ": " << text;
            }
        }
    }

    // The background of the second row, away from its texts, in the list's picture.
    QRgb ListBackground() {
        const QImage picture = Settle();
        CRect row;
        Rows().GetSubItemRect(1, 1, LVIR_BOUNDS, row);
        return picture.pixel(row.right - 3, row.top + 2);
    }
};

TEST_F(ColourSchemes, EveryTextOfEveryScreenReadsAtLeastFourAndAHalfToOneWhenDark) {
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    const std::vector<Shot> shots = TakeEveryScreen();
    ExpectReadableTexts(shots);
    // Light text on dark everywhere: no white box or field is left in the dark scheme.
    for (const Shot& shot : shots) {
        for (const auto& [text, area] : shot.texts) {
            EXPECT_LT(Luminance(Background(shot.picture, area)), 0.2) << shot.name << ": " << text;
        }
    }
}

TEST_F(ColourSchemes, DarkListIsDarkBelowItsLastRow) {
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    std::vector<CallRecordData> twoCalls = NineCalls();
    twoCalls.resize(2);
    Start(twoCalls);
    const QImage list = Settle();
    EXPECT_LT(Luminance(list.pixel(list.width() / 2, list.height() - 4)), 0.05);
}

TEST_F(ColourSchemes, DarkEmptyListShowsItsMessageLightOnDark) {
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    Start({});
    const QImage list = Settle();
    EXPECT_LT(Luminance(Background(list, list.rect())), 0.05);
    EXPECT_GE(TextContrast(list, list.rect()), 4.5);
}

// The selected row included: its white on the window system's blue read 3.7:1.
TEST_F(ColourSchemes, EveryTextOfEveryScreenReadsAtLeastFourAndAHalfToOneWhenLight) {
    ExpectReadableTexts(TakeEveryScreen());
}

TEST_F(ColourSchemes, DarkSchemeDarkensTheListAndTheScreenButKeepsTheBitmaps) {
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    Start(NineCalls());
    EXPECT_LT(Luminance(ListBackground()), 0.05);
    Key(Qt::Key_Down);
    const QImage screen = ScreenShot("list").picture;
    EXPECT_LT(Luminance(screen.pixel(screen.width() / 2, screen.height() / 2)), 0.3);
    // The navigation bar's blue deepens with it.
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kLight), 0);
    const QRgb lightBar = ScreenShot("list").picture.pixel(screen.width() / 2, 2);
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    const QRgb darkBar = ScreenShot("list").picture.pixel(screen.width() / 2, 2);
    EXPECT_LT(Luminance(darkBar), Luminance(lightBar) * 0.7);
    EXPECT_GT(qBlue(darkBar), qRed(darkBar) + 40) << "still blue";
    // The icon column keeps its blue.
    const QImage list = Settle();
    EXPECT_EQ(list.pixel(1, 1) & 0xFFFFFFu, qRgb(74, 121, 173) & 0xFFFFFFu);
}

TEST_F(ColourSchemes, ChangeWhileRunningRepaintsTheOpenListBothWays) {
    Start(NineCalls());
    EXPECT_EQ(ListBackground() & 0xFFFFFFu, 0xFFFFFFu);
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    EXPECT_EQ(ColourScheme::Current(), ColourScheme::kDark);
    EXPECT_LT(Luminance(ListBackground()), 0.05);
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kLight), 0);
    EXPECT_EQ(ListBackground() & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(ColourSchemes, BackToLightDrawsEveryScreenAsBeforeTheDarkOne) {
    const std::vector<Shot> before = TakeEveryScreen();
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kDark), 0);
    ASSERT_EQ(ColourScheme::Apply(ColourScheme::kLight), 0);
    const std::vector<Shot> after = TakeEveryScreenAgain();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_TRUE(before[i].picture == after[i].picture) << before[i].name;
    }
}

TEST(DesktopPreference, OnlyPreferDarkGivesTheDarkScheme) {
    struct Row {
        unsigned preference;
        ColourScheme::Scheme scheme;
    };
    // 0 is no preference, 1 prefers dark, 2 prefers light; a later value is unknown to us.
    const Row rows[] = {{0, ColourScheme::kLight},
                        {1, ColourScheme::kDark},
                        {2, ColourScheme::kLight},
                        {3, ColourScheme::kLight},
                        {0xFFFFFFFFu, ColourScheme::kLight}};
    for (const Row& row : rows) {
        EXPECT_EQ(ColourScheme::FromDesktopPreference(row.preference), row.scheme) << row.preference;
    }
}

} // namespace
