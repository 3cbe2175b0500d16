// The program's dialog templates, read back control by control.
#include "platform/resources/resourcemodule.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kChildVisible = 0x50000000; // WS_CHILD | WS_VISIBLE
constexpr uint32_t kBorder = 0x00800000;
constexpr uint32_t kTabStop = 0x00010000;
constexpr uint32_t kSetFont = 0x40;
constexpr uint32_t kEditNumber = 0x2000;
constexpr uint32_t kButtonCentre = 0x0300;

// What kind of control an item must be, checked through its class and style bits.
enum class Kind { Text, CentredText, NoWrapText, Bitmap, NumberField, TextField, PushButton };

struct ExpectedControl {
    uint16_t id;
    Kind kind;
    int16_t x, y, cx, cy;
    std::u16string text;
};

void ExpectKind(const DialogItem& item, Kind kind) {
    ASSERT_TRUE(item.classIsOrdinal);
    uint32_t low = item.style & 0x1F;
    switch (kind) {
    case Kind::Text:
    case Kind::CentredText:
    case Kind::NoWrapText:
        EXPECT_EQ(item.classOrdinal, DLGCLASS_STATIC);
        EXPECT_EQ(low, kind == Kind::Text ? 0u : kind == Kind::CentredText ? 1u : 0xCu);
        EXPECT_FALSE(item.textIsOrdinal);
        break;
    case Kind::Bitmap:
        EXPECT_EQ(item.classOrdinal, DLGCLASS_STATIC);
        EXPECT_EQ(low, 0xEu);
        ASSERT_TRUE(item.textIsOrdinal);
        EXPECT_EQ(item.textOrdinal, IDB_LOGO);
        break;
    case Kind::NumberField:
        EXPECT_EQ(item.classOrdinal, DLGCLASS_EDIT);
        EXPECT_EQ(item.style & (kBorder | kTabStop | kEditNumber), kBorder | kTabStop | kEditNumber);
        break;
    case Kind::TextField:
        // Letters as well as digits: the on-screen keyboard comes up in its text mode.
        EXPECT_EQ(item.classOrdinal, DLGCLASS_EDIT);
        EXPECT_EQ(item.style & (kBorder | kTabStop | kEditNumber), kBorder | kTabStop);
        break;
    case Kind::PushButton:
        EXPECT_EQ(item.classOrdinal, DLGCLASS_BUTTON);
        EXPECT_EQ(item.style & 0xF, 0u);
        EXPECT_EQ(item.style & kButtonCentre, kButtonCentre);
        EXPECT_TRUE(item.style & kTabStop);
        break;
    }
}

void ExpectDialog(uint16_t id, const std::u16string& caption, int16_t cx, int16_t cy,
                  const std::vector<ExpectedControl>& controls) {
    DialogTemplate dialog;
    ASSERT_EQ(ResourceModule::Program().LoadDialog(id, dialog), 0);
    EXPECT_EQ(dialog.caption, caption);
    EXPECT_EQ(dialog.cx, cx);
    EXPECT_EQ(dialog.cy, cy);
    EXPECT_TRUE(dialog.style & kSetFont);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.faceName, u"MS Shell Dlg");
    EXPECT_TRUE(dialog.menu.isNumber && dialog.menu.number == 0);
    ASSERT_EQ(dialog.items.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedControl& want = controls[i];
        SCOPED_TRACE(want.id);
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.style & kChildVisible, kChildVisible);
        if (want.kind != Kind::Bitmap) {
            EXPECT_EQ(item.text, want.text);
        }
        ExpectKind(item, want.kind);
    }
}

} // namespace

TEST(ProgramDialogs, CallDetailsTemplate) {
    ExpectDialog(IDD_CALLINFO, u"Call Info", 156, 177,
                 {{1001, Kind::Text, 9, 3, 55, 14, u""},
                  {1011, Kind::Text, 9, 19, 138, 8, u""},
                  {1003, Kind::Text, 9, 30, 93, 8, u""},
                  {1010, Kind::Text, 9, 41, 138, 8, u""},
                  {1004, Kind::Text, 9, 58, 55, 8, u"Duration"},
                  {1005, Kind::Text, 9, 68, 55, 8, u""},
                  {1006, Kind::Text, 9, 78, 55, 8, u"Date"},
                  {1007, Kind::Text, 9, 87, 55, 8, u""},
                  {1008, Kind::Text, 9, 98, 55, 8, u"Time"},
                  {1009, Kind::Text, 9, 107, 55, 8, u""}});
}

TEST(ProgramDialogs, FindTemplateHasAPromptAndOneTextFieldThatFitTheNarrowestScreen) {
    ExpectDialog(IDD_FIND, u"Find", 156, 60,
                 {{IDC_FIND_PROMPT, Kind::Text, 7, 7, 142, 8, u"Name, number or place"},
                  {IDC_FIND_TEXT, Kind::TextField, 7, 18, 142, 14, u""}});
}

TEST(ProgramDialogs, ReverseLookupTemplate) {
    ExpectDialog(IDD_REVLOOKUP, u"Dialog", 222, 145,
                 {{1022, Kind::Text, 28, 46, 134, 11, u""},
                  {1041, Kind::Bitmap, 74, 62, 61, 49, u""},
                  {1021, Kind::NumberField, 62, 27, 48, 14, u""},
                  {1039, Kind::PushButton, 112, 26, 27, 14, u"&Clear"},
                  {1028, Kind::CentredText, 52, 13, 98, 8, u"Enter the Phone Number"},
                  {1027, Kind::NoWrapText, 49, 4, 100, 8, u"City and State Reverse Lookup"},
                  {1023, Kind::Text, 15, 49, 134, 15, u""},
                  {1014, Kind::Bitmap, 45, 67, 61, 49, u""},
                  {1024, Kind::NumberField, 42, 27, 48, 14, u""},
                  {1040, Kind::PushButton, 94, 27, 27, 14, u"&Clear"},
                  {1030, Kind::Text, 42, 13, 85, 8, u"Enter the Phone Number"},
                  {1029, Kind::NoWrapText, 30, 3, 100, 8, u"City and State Reverse Lookup"}});
}

TEST(ProgramDialogs, AboutTemplateHasTwoSetsOfSeven) {
    DialogTemplate dialog;
    ASSERT_EQ(ResourceModule::Program().LoadDialog(IDD_ABOUTBOX, dialog), 0);
    // The maker's lines are free text; they are read back from the template and checked for
    // presence and position, the version line and the logos exactly.
    ASSERT_EQ(dialog.items.size(), 14u);
    auto textOf = [&](size_t i) { return dialog.items[i].text; };
    std::vector<ExpectedControl> expected = {{1013, Kind::Bitmap, 76, 0, 61, 49, u""},
                                             {1027, Kind::CentredText, 72, 52, 60, 8, u"Version 1.6.0"},
                                             {1028, Kind::CentredText, 74, 61, 60, 8, textOf(2)},
                                             {1029, Kind::CentredText, 60, 70, 99, 8, textOf(3)},
                                             {1030, Kind::CentredText, 64, 80, 86, 8, textOf(4)},
                                             {1031, Kind::CentredText, 64, 91, 86, 8, textOf(5)},
                                             {1032, Kind::CentredText, 56, 101, 99, 8, textOf(6)},
                                             {1014, Kind::Bitmap, 48, 0, 61, 49, u""},
                                             {1033, Kind::CentredText, 43, 52, 60, 8, u"Version 1.6.0"},
                                             {1034, Kind::CentredText, 45, 62, 60, 8, textOf(2)},
                                             {1035, Kind::CentredText, 30, 72, 99, 8, textOf(3)},
                                             {1036, Kind::CentredText, 35, 82, 86, 8, textOf(4)},
                                             {1037, Kind::CentredText, 35, 92, 86, 8, textOf(5)},
                                             {1038, Kind::CentredText, 33, 102, 99, 8, textOf(6)}};
    ExpectDialog(IDD_ABOUTBOX, u"About", 221, 138, expected);
    for (size_t i = 2; i <= 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(textOf(i).empty());
        // About four dialog units per character at 8 points: the line fits its control.
        EXPECT_LE(static_cast<int>(textOf(i).size()) * 4, dialog.items[i].cx + 4);
    }
}
