// The readers on hand-made data: the forms the program's own script does not use.
#include "bytewriter.h"
#include "platform/resources/resourcemodule.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> InfoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t colours) {
    ByteWriter w;
    w.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height)).U16(1).U16(bits);
    w.U32(0).U32(0).U32(2835).U32(2835).U32(colours).U32(0);
    return w.bytes;
}

} // namespace

TEST(DialogTemplateReader, ClassNamesOrdinalsAndCreationData) {
    ByteWriter w;
    // No DS_SETFONT: no point size or face follows the caption.
    w.U32(0x80C00000).U32(0).U16(3).U16(1).U16(2).U16(100).U16(50);
    w.Str(u"MYMENU").Ordinal(0x0123).Str(u"Hello");
    // Item 1: a class written as a name in odd case, text as a resource number.
    w.Align4().U32(0x5000000E).U32(0x200).U16(5).U16(6).U16(7).U16(8).U16(1001);
    w.Str(u"sTaTiC").Ordinal(130).U16(0);
    // Item 2: a class of its own and three bytes of creation data.
    w.Align4().U32(0x50000000).U32(0).U16(static_cast<uint16_t>(-4)).U16(0).U16(10).U16(10).U16(1002);
    w.Str(u"MyControl").Str(u"x").U16(3).U8(9).U8(8).U8(7);
    // Item 3: a predefined class as an ordinal.
    w.Align4().U32(0x50010000).U32(0).U16(0).U16(0).U16(1).U16(1).U16(1);
    w.Ordinal(0x80).Str(u"OK").U16(0);

    DialogTemplate dialog;
    ASSERT_EQ(ParseDialogTemplate(w.bytes, dialog), 0);
    EXPECT_EQ(dialog.caption, u"Hello");
    EXPECT_FALSE(dialog.menu.isNumber);
    EXPECT_EQ(dialog.menu.name, u"MYMENU");
    EXPECT_TRUE(dialog.windowClass.isNumber);
    EXPECT_EQ(dialog.windowClass.number, 0x0123);
    EXPECT_EQ(dialog.pointSize, 0);
    EXPECT_TRUE(dialog.faceName.empty());
    ASSERT_EQ(dialog.items.size(), 3u);

    EXPECT_TRUE(dialog.items[0].classIsOrdinal);
    EXPECT_EQ(dialog.items[0].classOrdinal, DLGCLASS_STATIC);
    EXPECT_TRUE(dialog.items[0].textIsOrdinal);
    EXPECT_EQ(dialog.items[0].textOrdinal, 130);
    EXPECT_EQ(dialog.items[0].exStyle, 0x200u);

    EXPECT_FALSE(dialog.items[1].classIsOrdinal);
    EXPECT_EQ(dialog.items[1].className, u"MyControl");
    EXPECT_EQ(dialog.items[1].x, -4);
    EXPECT_EQ(dialog.items[1].creationData, (std::vector<uint8_t>{9, 8, 7}));

    EXPECT_EQ(dialog.items[2].classOrdinal, DLGCLASS_BUTTON);
    EXPECT_EQ(dialog.items[2].text, u"OK");
}

TEST(DialogTemplateReader, EveryPredefinedClassNameMapsToItsOrdinal) {
    const std::vector<std::pair<std::u16string, uint16_t>> names = {
        {u"Button", 0x80},    {u"EDIT", 0x81},     {u"static", 0x82},    {u"ListBox", 0x83},
        {u"SCROLLBAR", 0x84}, {u"combobox", 0x85}, {u"ComboBoxEx32", 0}, {u"Buttons", 0}};
    for (const auto& [name, ordinal] : names) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        ByteWriter w;
        w.U32(0).U32(0).U16(1).U16(0).U16(0).U16(0).U16(0).U16(0).U16(0).Str(u"");
        w.Align4().U32(0).U32(0).U16(0).U16(0).U16(0).U16(0).U16(1).Str(name).Str(u"").U16(0);
        DialogTemplate dialog;
        ASSERT_EQ(ParseDialogTemplate(w.bytes, dialog), 0);
        EXPECT_EQ(dialog.items[0].classIsOrdinal, ordinal != 0);
        EXPECT_EQ(dialog.items[0].classOrdinal, ordinal);
    }
}

TEST(DialogTemplateReader, ExtendedTemplateIsRejected) {
    ByteWriter w;
    w.U16(1).U16(0xFFFF).U32(0).U32(0).U32(0x80C00040).U16(0).U16(0).U16(0).U16(10).U16(10);
    w.U16(0).U16(0).Str(u"").U16(8).U16(400).U8(0).U8(1).Str(u"MS Shell Dlg");
    DialogTemplate dialog;
    EXPECT_EQ(ParseDialogTemplate(w.bytes, dialog), -1);
}

TEST(MenuTemplateReader, SeparatorsFlagsAndNestedPopups) {
    ByteWriter w;
    w.U16(0).U16(0);
    w.U16(MF_POPUP).Str(u"&File");
    w.U16(MF_GRAYED).U16(10).Str(u"Open");
    w.U16(0).U16(0).Str(u""); // separator as the resource compiler writes it
    w.U16(MF_POPUP).Str(u"Recent");
    w.U16(MF_CHECKED | MF_END).U16(11).Str(u"a.txt");
    w.U16(MF_END).U16(12).Str(u"Exit");
    w.U16(MF_END).U16(13).Str(u"Help");

    MenuTemplate menu;
    ASSERT_EQ(ParseMenuTemplate(w.bytes, menu), 0);
    ASSERT_EQ(menu.items.size(), 2u);
    const MenuItem& file = menu.items[0];
    ASSERT_EQ(file.children.size(), 4u);
    EXPECT_TRUE(file.children[0].flags & MF_GRAYED);
    EXPECT_FALSE(file.children[0].isSeparator);
    EXPECT_TRUE(file.children[1].isSeparator);
    ASSERT_EQ(file.children[2].children.size(), 1u);
    EXPECT_EQ(file.children[2].children[0].id, 11);
    EXPECT_TRUE(file.children[2].children[0].flags & MF_CHECKED);
    EXPECT_EQ(file.children[3].text, u"Exit");
    EXPECT_EQ(menu.items[1].id, 13);
}

TEST(MenuTemplateReader, HeaderExtensionIsSkippedAndExtendedMenuRejected) {
    ByteWriter w;
    w.U16(0).U16(4).U32(0xDEADBEEF).U16(MF_END).U16(7).Str(u"Only");
    MenuTemplate menu;
    ASSERT_EQ(ParseMenuTemplate(w.bytes, menu), 0);
    ASSERT_EQ(menu.items.size(), 1u);
    EXPECT_EQ(menu.items[0].id, 7);

    ByteWriter ex;
    ex.U16(1).U16(4).U32(0).U32(0).U32(0).U32(7).U16(0x80).Str(u"Only");
    EXPECT_EQ(ParseMenuTemplate(ex.bytes, menu), -1);
}

TEST(BitmapDecoder, OneAndFourBitRowsBottomUpWithPadding) {
    // 1 bit, 3 x 2: bottom row first; rows padded to 4 bytes.
    ByteWriter one;
    one.Append(InfoHeader(3, 2, 1, 0)).U32(0x00000000).U32(0x00FF8000);
    one.U8(0b10100000).U8(0).U8(0).U8(0); // bottom row: 1 0 1
    one.U8(0b01000000).U8(0).U8(0).U8(0); // top row: 0 1 0
    Bitmap bitmap;
    ASSERT_EQ(DecodeBitmap(one.bytes, bitmap), 0);
    EXPECT_EQ(bitmap.bitsPerPixel, 1);
    EXPECT_EQ(bitmap.indices, (std::vector<uint8_t>{0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(bitmap.PixelAt(1, 0), 0xFFFF8000u);
    EXPECT_EQ(bitmap.PixelAt(1, 1), 0xFF000000u);

    // 4 bits, 3 x 1 with a palette of three colours given by its count.
    ByteWriter four;
    four.Append(InfoHeader(3, 1, 4, 3)).U32(0x000000FF).U32(0x0000FF00).U32(0x00FF0000);
    four.U8(0x21).U8(0x00).U8(0).U8(0);
    ASSERT_EQ(DecodeBitmap(four.bytes, bitmap), 0);
    EXPECT_EQ(bitmap.palette.size(), 3u);
    EXPECT_EQ(bitmap.pixels, (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
}

TEST(BitmapDecoder, TopDownTwentyFourAndThirtyTwoBits) {
    // 24 bits, 2 x 2, top-down (negative height); each row 6 bytes padded to 8.
    ByteWriter rgb;
    rgb.Append(InfoHeader(2, -2, 24, 0));
    rgb.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U16(0);
    rgb.U8(7).U8(8).U8(9).U8(10).U8(11).U8(12).U16(0);
    Bitmap bitmap;
    ASSERT_EQ(DecodeBitmap(rgb.bytes, bitmap), 0);
    EXPECT_EQ(bitmap.pixels, (std::vector<uint32_t>{0xFF030201u, 0xFF060504u, 0xFF090807u, 0xFF0C0B0Au}));
    EXPECT_TRUE(bitmap.indices.empty());

    // 32 bits: the fourth byte of a plain bitmap is not alpha.
    ByteWriter bgrx;
    bgrx.Append(InfoHeader(1, 1, 32, 0)).U32(0x00112233);
    ASSERT_EQ(DecodeBitmap(bgrx.bytes, bitmap), 0);
    EXPECT_EQ(bitmap.pixels[0], 0xFF112233u);
}

TEST(ResourceFileReader, StringsInBlocksOfSixteenAndNamedTypes) {
    // Block 3 holds strings 32..47: 33 is "two", 47 "last"; the others are empty.
    ByteWriter block;
    block.U16(0).U16(3).U16(u't').U16(u'w').U16(u'o');
    for (int i = 2; i < 15; ++i) {
        block.U16(0);
    }
    block.U16(4).U16(u'l').U16(u'a').U16(u's').U16(u't');
    ResWriter res;
    res.Add(ResourceId::Number(RT_STRING), ResourceId::Number(3), block.bytes);
    res.Add(ResourceId::Name(u"DATA"), ResourceId::Name(u"ODD"), {1, 2, 3});
    res.Add(ResourceId::Number(RT_RCDATA), ResourceId::Number(5), {4});

    ResourceModule module;
    ASSERT_EQ(module.LoadFromBytes(res.Bytes()), 0);
    EXPECT_EQ(module.Count(), 3u);
    std::u16string text;
    ASSERT_EQ(module.LoadString(33, text), 0);
    EXPECT_EQ(text, u"two");
    ASSERT_EQ(module.LoadString(47, text), 0);
    EXPECT_EQ(text, u"last");
    EXPECT_EQ(module.LoadString(32, text), -1);
    EXPECT_EQ(module.LoadString(48, text), -1);

    std::span<const uint8_t> data;
    ASSERT_EQ(module.Find(ResourceId::Name(u"data"), ResourceId::Name(u"odd"), data), 0);
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.end()), (std::vector<uint8_t>{1, 2, 3}));
    ASSERT_EQ(module.Find(ResourceId::Number(RT_RCDATA), ResourceId::Number(5), data), 0);
    EXPECT_EQ(data.size(), 1u);
    EXPECT_EQ(module.Find(ResourceId::Number(RT_RCDATA), ResourceId::Name(u"5"), data), -1);
}

TEST(ResourceFileReader, IconMaskMakesPixelsTransparent) {
    // A 2 x 1 icon at 24 bits: the mask's first bit hides the left pixel.
    ByteWriter image;
    image.Append(InfoHeader(2, 2, 24, 0)).U8(10).U8(20).U8(30).U8(40).U8(50).U8(60).U16(0);
    image.U8(0x80).U8(0).U8(0).U8(0);
    ByteWriter group;
    group.U16(0).U16(1).U16(1).U8(2).U8(1).U8(0).U8(0).U16(1).U16(24).U32(static_cast<uint32_t>(image.bytes.size()));
    group.U16(7);
    // Two 32-bit images: one with its own alpha, one whose alpha bytes are all zero and which
    // relies on the mask (right pixel hidden).
    ByteWriter alpha;
    alpha.Append(InfoHeader(2, 2, 32, 0)).U32(0x80102030).U32(0xFF405060).U8(0).U8(0).U8(0).U8(0);
    ByteWriter noAlpha;
    noAlpha.Append(InfoHeader(2, 2, 32, 0)).U32(0x00102030).U32(0x00405060).U8(0x40).U8(0).U8(0).U8(0);
    ResWriter res;
    res.Add(ResourceId::Number(RT_ICON), ResourceId::Number(7), image.bytes);
    res.Add(ResourceId::Number(RT_ICON), ResourceId::Number(8), alpha.bytes);
    res.Add(ResourceId::Number(RT_ICON), ResourceId::Number(9), noAlpha.bytes);
    res.Add(ResourceId::Number(RT_GROUP_ICON), ResourceId::Number(1), group.bytes);
    group.bytes.back() = 0;
    group.bytes[group.bytes.size() - 2] = 8;
    res.Add(ResourceId::Number(RT_GROUP_ICON), ResourceId::Number(2), group.bytes);
    group.bytes[group.bytes.size() - 2] = 9;
    res.Add(ResourceId::Number(RT_GROUP_ICON), ResourceId::Number(3), group.bytes);
    ResourceModule module;
    ASSERT_EQ(module.LoadFromBytes(res.Bytes()), 0);
    Bitmap icon;
    ASSERT_EQ(module.LoadIcon(1, icon), 0);
    EXPECT_EQ(icon.width, 2);
    EXPECT_EQ(icon.height, 1);
    EXPECT_EQ(icon.pixels, (std::vector<uint32_t>{0x001E140Au, 0xFF3C3228u}));
    ASSERT_EQ(module.LoadIcon(2, icon), 0);
    EXPECT_EQ(icon.pixels, (std::vector<uint32_t>{0x80102030u, 0xFF405060u}));
    ASSERT_EQ(module.LoadIcon(3, icon), 0);
    EXPECT_EQ(icon.pixels, (std::vector<uint32_t>{0xFF102030u, 0x00405060u}));
}
