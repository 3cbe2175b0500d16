// The program's own resources, read back from the module embedded in this binary.
#include "platform/resources/resourcemodule.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ResourceModule& Program() {
    return ResourceModule::Program();
}

struct ExpectedItem {
    std::u16string text;
    uint16_t id;
    bool popup;
};

void ExpectItems(const std::vector<MenuItem>& items, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].text, expected[i].text);
        EXPECT_EQ(items[i].isPopup, expected[i].popup);
        EXPECT_FALSE(items[i].isSeparator);
        if (!expected[i].popup) {
            EXPECT_EQ(items[i].id, expected[i].id);
        }
    }
}

} // namespace

TEST(ProgramMenus, MainMenuHasCallKeyAndMenuWithFilterInOrder) {
    MenuTemplate menu;
    ASSERT_EQ(Program().LoadMenu(IDR_MAIN_MENU, menu), 0);
    ExpectItems(menu.items, {{u"Call", 32773, false}, {u"Menu", 0, true}});
    const std::vector<MenuItem>& popup = menu.items[1].children;
    ExpectItems(popup, {{u"Delete", 32776, false},
                        {u"Delete All", 32777, false},
                        {u"Undo Delete", 32786, false},
                        {u"Filter", 0, true},
                        {u"Reverse Lookup", 32783, false},
                        {u"About", 32784, false},
                        {u"Quit", 32785, false}});
    ExpectItems(popup[3].children, {{u"All Calls", 32779, false},
                                    {u"Missed Calls", 32780, false},
                                    {u"Incoming Calls", 32781, false},
                                    {u"Outgoing Calls", 32782, false}});
    EXPECT_TRUE(menu.items.back().flags & MF_END);
    EXPECT_TRUE(popup.back().flags & MF_END);
}

TEST(ProgramMenus, CallDetailsBarsHaveCallOrBlankKeyAndDelete) {
    MenuTemplate callInfo;
    ASSERT_EQ(Program().LoadMenu(IDR_CALLINFO_MENU, callInfo), 0);
    ExpectItems(callInfo.items, {{u"Call", 32773, false}, {u"Delete", 32772, false}});

    MenuTemplate blank;
    ASSERT_EQ(Program().LoadMenu(IDR_BLANK_MENU, blank), 0);
    ExpectItems(blank.items, {{u"   ", 32790, false}, {u"Delete", 32772, false}});
}

TEST(ProgramStrings, ApplicationNameAndDocumentString) {
    std::u16string text;
    ASSERT_EQ(Program().LoadString(57344, text), 0);
    EXPECT_EQ(text, u"Zonrik Ringlog");
    ASSERT_EQ(Program().LoadString(128, text), 0);
    EXPECT_EQ(text, u"Ringlog\n\nRinglog\n\n\nRinglogApp.Document\nRinglog.Document");
    // Neighbours in the same blocks of sixteen do not exist.
    EXPECT_EQ(Program().LoadString(57345, text), -1);
    EXPECT_EQ(Program().LoadString(129, text), -1);
    EXPECT_EQ(Program().LoadString(1, text), -1);
}

TEST(ProgramAccelerators, FiveControlKeysInOrder) {
    std::vector<Accelerator> table;
    ASSERT_EQ(Program().LoadAccelerators(IDR_MAINFRAME, table), 0);
    const std::vector<std::pair<char, uint16_t>> expected = {
        {'N', 57600}, {'Z', 57643}, {'X', 57635}, {'C', 57634}, {'V', 57637}};
    ASSERT_EQ(table.size(), expected.size());
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].key, expected[i].first);
        EXPECT_EQ(table[i].command, expected[i].second);
        EXPECT_EQ(table[i].flags & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | FCONTROL);
    }
}

TEST(ProgramResources, HighResolutionMarkerHoldsOne) {
    std::span<const uint8_t> data;
    ASSERT_EQ(Program().Find(ResourceId::Name(u"CEUX"), ResourceId::Name(u"HI_RES_AWARE"), data), 0);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[1], 0);
    // Names compare without regard to case, as the platform's do.
    EXPECT_EQ(Program().Find(ResourceId::Name(u"ceux"), ResourceId::Name(u"hi_res_aware"), data), 0);
}

TEST(ProgramResources, MissingOrWrongKindIsAFailure) {
    DialogTemplate dialog;
    MenuTemplate menu;
    Bitmap bitmap;
    std::vector<Accelerator> table;
    std::span<const uint8_t> data;
    EXPECT_EQ(Program().LoadDialog(999, dialog), -1);
    EXPECT_EQ(Program().LoadDialog(IDR_MAIN_MENU, dialog), -1);
    EXPECT_EQ(Program().LoadMenu(IDD_CALLINFO, menu), -1);
    EXPECT_EQ(Program().LoadBitmap(IDR_MAINFRAME, bitmap), -1);
    EXPECT_EQ(Program().LoadIcon(IDB_LOGO, bitmap), -1);
    EXPECT_EQ(Program().LoadAccelerators(IDR_MAIN_MENU, table), -1);
    EXPECT_EQ(Program().Find(ResourceId::Name(u"CEUX"), ResourceId::Number(1), data), -1);
}

TEST(ProgramBitmaps, CallTypeStripSizeDepthAndWhiteMark) {
    Bitmap strip;
    ASSERT_EQ(Program().LoadBitmap(IDB_CALLTYPES, strip), 0);
    EXPECT_EQ(strip.width, 122);
    EXPECT_EQ(strip.height, 28);
    EXPECT_EQ(strip.bitsPerPixel, 24);
    int whiteInImage0 = 0;
    int whiteElsewhere = 0;
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < strip.width; ++x) {
            if (strip.PixelAt(x, y) == 0xFFFFFFFFu) {
                (x < 40 ? whiteInImage0 : whiteElsewhere)++;
            }
        }
    }
    EXPECT_EQ(whiteInImage0, 32);
    EXPECT_EQ(whiteElsewhere, 0);
}

TEST(ProgramBitmaps, CallTypeImagesShowButtonAndTheirColours) {
    Bitmap strip;
    ASSERT_EQ(Program().LoadBitmap(IDB_CALLTYPES, strip), 0);
    // Per image: pixels of the button ground, of a strong green (outgoing arrow) and of a strong
    // red (missed-call badge), so that swapped or missing images show.
    for (int image = 0; image < 3; ++image) {
        SCOPED_TRACE(image);
        int ground = 0, green = 0, red = 0, orange = 0;
        for (int y = 0; y < strip.height; ++y) {
            for (int x = image * 40; x < image * 40 + 40; ++x) {
                uint32_t p = strip.PixelAt(x, y);
                int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                ground += (p & 0xFFFFFF) == 0x4A79ADu;
                green += g > r + 60 && g > b + 60;
                red += r > 170 && g < 90 && b < 90;
                orange += r > 200 && g > 90 && g < 190 && b < 80;
            }
        }
        EXPECT_GT(ground, 120);
        EXPECT_GT(orange, 20); // the handset
        EXPECT_EQ(green > 10, image == 1);
        EXPECT_EQ(red > 30, image == 0);
    }
    // The two last columns belong to no image: they carry the column colour only.
    for (int y = 0; y < strip.height; ++y) {
        EXPECT_EQ(strip.PixelAt(120, y) & 0xFFFFFF, 0x4A79ADu);
        EXPECT_EQ(strip.PixelAt(121, y) & 0xFFFFFF, 0x4A79ADu);
    }
}

TEST(ProgramBitmaps, LogoIsPalettisedAtItsSize) {
    Bitmap logo;
    ASSERT_EQ(Program().LoadBitmap(IDB_LOGO, logo), 0);
    EXPECT_EQ(logo.width, 91);
    EXPECT_EQ(logo.height, 79);
    EXPECT_EQ(logo.bitsPerPixel, 8);
    ASSERT_EQ(logo.indices.size(), 91u * 79u);
    ASSERT_FALSE(logo.palette.empty());
    EXPECT_LE(logo.palette.size(), 256u);
    for (size_t i = 0; i < logo.indices.size(); i += 97) {
        EXPECT_EQ(logo.pixels[i], logo.palette[logo.indices[i]]);
    }
}

TEST(ProgramBitmaps, IconIsOne32By32ImageWithTransparentCorners) {
    Bitmap icon;
    ASSERT_EQ(Program().LoadIcon(IDR_MAINFRAME, icon), 0);
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    EXPECT_EQ(icon.PixelAt(0, 0) >> 24, 0u);
    EXPECT_EQ(icon.PixelAt(31, 31) >> 24, 0u);
    EXPECT_EQ(icon.PixelAt(16, 16) >> 24, 0xFFu);
}
