// Damaged resource data: every reader rejects it with -1, reads nothing outside the data
// (checked under the address sanitizer) and leaves its output as it was.
#include "bytewriter.h"
#include "platform/resources/resourcemodule.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::vector<uint8_t> CompiledResFile() {
    std::ifstream in(RINGLOG_RES_FILE, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ProgramResource(uint16_t type, uint16_t name) {
    std::span<const uint8_t> data;
    EXPECT_EQ(ResourceModule::Program().Find(ResourceId::Number(type), ResourceId::Number(name), data), 0);
    return std::vector<uint8_t>(data.begin(), data.end());
}

// A copy on the heap of exactly `size` bytes, so the sanitizer sees any read past its end.
std::unique_ptr<uint8_t[]> Exact(const std::vector<uint8_t>& bytes, size_t size) {
    auto copy = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
    std::copy(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size), copy.get());
    return copy;
}

// Every proper prefix of `bytes` is rejected and leaves `out` as it was; the whole is accepted.
template <typename Out, typename Parse>
void ExpectEveryTruncationRejected(const std::vector<uint8_t>& bytes, Parse parse) {
    ASSERT_FALSE(bytes.empty());
    for (size_t size = 0; size < bytes.size(); ++size) {
        auto copy = Exact(bytes, size);
        Out out;
        Out untouched = out;
        ASSERT_EQ(parse(std::span<const uint8_t>(copy.get(), size), out), -1) << "prefix of " << size;
        ASSERT_EQ(out, untouched) << "prefix of " << size;
    }
    Out out;
    EXPECT_EQ(parse(std::span<const uint8_t>(bytes), out), 0);
}

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint16_t v) {
    bytes[at] = static_cast<uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    PutU16(bytes, at, static_cast<uint16_t>(v & 0xFFFF));
    PutU16(bytes, at + 2, static_cast<uint16_t>(v >> 16));
}

} // namespace

// Equality of the outputs, for the "left as it was" checks; item count is enough to see a change.
bool operator==(const DialogTemplate& a, const DialogTemplate& b) {
    return a.items.size() == b.items.size() && a.caption == b.caption && a.style == b.style;
}
bool operator==(const MenuTemplate& a, const MenuTemplate& b) {
    return a.items.size() == b.items.size();
}
bool operator==(const Bitmap& a, const Bitmap& b) {
    return a.width == b.width && a.pixels == b.pixels;
}
bool operator==(const Accelerator& a, const Accelerator& b) {
    return a.flags == b.flags && a.key == b.key && a.command == b.command;
}

TEST(DamagedResources, EveryTruncatedTemplateIsRejected) {
    for (uint16_t id : {IDD_CALLINFO, IDD_ABOUTBOX, IDD_REVLOOKUP}) {
        SCOPED_TRACE(id);
        ExpectEveryTruncationRejected<DialogTemplate>(ProgramResource(RT_DIALOG, id), ParseDialogTemplate);
    }
    for (uint16_t id : {IDR_MAIN_MENU, IDR_CALLINFO_MENU, IDR_BLANK_MENU}) {
        SCOPED_TRACE(id);
        ExpectEveryTruncationRejected<MenuTemplate>(ProgramResource(RT_MENU, id), ParseMenuTemplate);
    }
    ExpectEveryTruncationRejected<std::vector<Accelerator>>(ProgramResource(RT_ACCELERATOR, IDR_MAINFRAME),
                                                            ParseAccelerators);
}

TEST(DamagedResources, EveryTruncatedBitmapIsRejected) {
    for (uint16_t id : {IDB_LOGO, IDB_CALLTYPES}) {
        SCOPED_TRACE(id);
        ExpectEveryTruncationRejected<Bitmap>(ProgramResource(RT_BITMAP, id), DecodeBitmap);
    }
}

TEST(DamagedResources, TruncatedResFileKeepsOnlyWholeEntries) {
    std::vector<uint8_t> file = CompiledResFile();
    ResourceModule full;
    ASSERT_EQ(full.LoadFromBytes(file), 0);
    ASSERT_GE(full.Count(), 12u);
    size_t accepted = 0;
    for (size_t size = 0; size < file.size(); ++size) {
        auto copy = Exact(file, size);
        ResourceModule module;
        if (module.LoadFromBytes(std::span<const uint8_t>(copy.get(), size)) == 0) {
            // Only a cut between two entries reads as a (shorter) valid file, or one in the padding
            // after the last entry, which holds every entry.
            ++accepted;
            if (size + 3 < file.size()) {
                EXPECT_LT(module.Count(), full.Count()) << size;
            } else {
                EXPECT_EQ(module.Count(), full.Count()) << size;
            }
        } else {
            EXPECT_EQ(module.Count(), 0u);
        }
    }
    // Cuts right after an entry's data, with or without its padding: at most two per entry.
    EXPECT_LE(accepted, 2 * full.Count());
    EXPECT_GE(accepted, 1u);
}

TEST(DamagedResources, ResFileWithBadSizesIsRejected) {
    ResWriter res;
    res.Add(ResourceId::Number(RT_RCDATA), ResourceId::Number(1), {1, 2, 3, 4});
    const std::vector<uint8_t> good = res.Bytes();
    const size_t entry = 32; // the second entry starts after the 32-byte leading one
    struct Corruption {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const std::vector<Corruption> corruptions = {
        {"data size past the end", entry, 5},
        {"data size near 4 GiB", entry, 0xFFFFFFF0u},
        {"header size past the end", entry + 4, 0x1000},
        {"header size below its fields", entry + 4, 4},
        {"header too short for type and name", entry + 4, 12},
        {"leading entry with data", 0, 4},
    };
    for (const Corruption& c : corruptions) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bad = good;
        PutU32(bad, c.at, c.value);
        ResourceModule module;
        EXPECT_EQ(module.LoadFromBytes(bad), -1);
        EXPECT_EQ(module.Count(), 0u);
    }
    // A name without its terminator inside the header.
    ResWriter named;
    named.Add(ResourceId::Name(u"ABCD"), ResourceId::Number(1), {});
    std::vector<uint8_t> bad = named.Bytes();
    PutU32(bad, entry + 4, 16); // the header ends inside the type's name
    ResourceModule module;
    EXPECT_EQ(module.LoadFromBytes(bad), -1);
    EXPECT_EQ(module.LoadFromBytes({}), -1);
}

TEST(DamagedResources, DialogWithAbsurdOrWrongItemCountIsRejected) {
    std::vector<uint8_t> dialog = ProgramResource(RT_DIALOG, IDD_CALLINFO);
    DialogTemplate out;
    ASSERT_EQ(ParseDialogTemplate(dialog, out), 0);
    const uint16_t count = static_cast<uint16_t>(out.items.size());
    for (uint16_t bad : {static_cast<uint16_t>(count + 1), uint16_t{0x7FFF}, uint16_t{0xFFFF}}) {
        SCOPED_TRACE(bad);
        std::vector<uint8_t> copy = dialog;
        PutU16(copy, 8, bad);
        EXPECT_EQ(ParseDialogTemplate(copy, out), -1);
    }
    // A smaller count reads fewer items: the rest is ignored, as the platform does.
    std::vector<uint8_t> fewer = dialog;
    PutU16(fewer, 8, 2);
    ASSERT_EQ(ParseDialogTemplate(fewer, out), 0);
    EXPECT_EQ(out.items.size(), 2u);
}

TEST(DamagedResources, CreationDataLongerThanTemplateIsRejected) {
    ByteWriter w;
    w.U32(0).U32(0).U16(1).U16(0).U16(0).U16(0).U16(0).U16(0).U16(0).Str(u"");
    w.Align4().U32(0).U32(0).U16(0).U16(0).U16(0).U16(0).U16(1).Ordinal(0x82).Str(u"").U16(200).U8(1);
    DialogTemplate out;
    EXPECT_EQ(ParseDialogTemplate(w.bytes, out), -1);
}

TEST(DamagedResources, MenuWithoutEndOrTooDeepIsRejected) {
    std::vector<uint8_t> menu = ProgramResource(RT_MENU, IDR_CALLINFO_MENU);
    MenuTemplate out;
    ASSERT_EQ(ParseMenuTemplate(menu, out), 0);
    // The second top-level item ("Delete") carries the end flag: take it away.
    size_t second = 4 + 2 + 2 + 2 * 5;
    ASSERT_TRUE(menu[second] & MF_END);
    menu[second] = static_cast<uint8_t>(menu[second] & ~MF_END);
    EXPECT_EQ(ParseMenuTemplate(menu, out), -1);

    ByteWriter deep;
    deep.U16(0).U16(0);
    for (int i = 0; i < 40; ++i) {
        deep.U16(MF_POPUP | MF_END).Str(u"p");
    }
    deep.U16(MF_END).U16(1).Str(u"leaf");
    EXPECT_EQ(ParseMenuTemplate(deep.bytes, out), -1);
}

TEST(DamagedResources, BitmapHeadersOutOfRangeAreRejected) {
    std::vector<uint8_t> logo = ProgramResource(RT_BITMAP, IDB_LOGO);
    struct Corruption {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide;
    };
    const std::vector<Corruption> corruptions = {
        {"unknown header size", 0, 64, true},
        {"huge width", 4, 0x7FFFFFFF, true},
        {"zero width", 4, 0, true},
        {"negative width", 4, 0xFFFFFFF0u, true},
        {"smallest height", 8, 0x80000000u, true},
        {"two planes", 12, 2, false},
        {"seven bits per pixel", 14, 7, false},
        {"compressed", 16, 1, true},
        {"palette larger than 256", 32, 300, true},
        {"palette past the end", 32, 0xFFFFFFFFu, true},
        {"palette too small for the indices", 32, 2, true},
    };
    for (const Corruption& c : corruptions) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bad = logo;
        if (c.wide) {
            PutU32(bad, c.at, c.value);
        } else {
            PutU16(bad, c.at, static_cast<uint16_t>(c.value));
        }
        Bitmap out;
        EXPECT_EQ(DecodeBitmap(bad, out), -1);
        EXPECT_EQ(out.width, 0);
    }
}

TEST(DamagedResources, IconGroupPointingNowhereIsRejected) {
    ByteWriter group;
    group.U16(0).U16(1).U16(1).U8(32).U8(32).U8(0).U8(0).U16(1).U16(32).U32(100).U16(99);
    ResWriter res;
    res.Add(ResourceId::Number(RT_GROUP_ICON), ResourceId::Number(1), group.bytes);
    ByteWriter empty;
    empty.U16(0).U16(1).U16(0);
    res.Add(ResourceId::Number(RT_GROUP_ICON), ResourceId::Number(2), empty.bytes);
    ResourceModule module;
    ASSERT_EQ(module.LoadFromBytes(res.Bytes()), 0);
    Bitmap icon;
    EXPECT_EQ(module.LoadIcon(1, icon), -1);
    EXPECT_EQ(module.LoadIcon(2, icon), -1);
    EXPECT_EQ(icon.width, 0);
}
