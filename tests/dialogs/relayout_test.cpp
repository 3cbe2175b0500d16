// The orientation rule and the re-layout of a live dialog from a template, on the About dialog
// with templates of the test's own; the deferred moves underneath.
#include "tests/dialogs/dialogtest.h"

#include "dialogs/aboutdlg.h"
#include "dialogs/islandscape.h"
#include "dialogs/relayoutfromtemplate.h"
#include "platform/msgbox/messagebox.h"
#include "platform/ui/static.h"
#include "platform/ui/windowposbatch.h"
#include "resources/resource.h"
#include "tests/resources/bytewriter.h"

#include <span>

namespace {

using namespace dialogtest;

constexpr uint16_t kTemplateId = 300;
constexpr uint16_t kMissingBitmap = 999;
constexpr uint32_t kChildVisible = 0x50000000;
constexpr uint32_t kBitmapStyle = kChildVisible | 0x0E;

struct Item {
    uint16_t id;
    uint32_t style;
    int16_t x, y, cx, cy;
    std::u16string text; // empty: the image number below
    uint16_t image = 0;
};

// A dialog template of the platform's format with static items.
std::vector<uint8_t> Template(const std::vector<Item>& items) {
    ByteWriter out;
    out.U32(0x80C00040).U32(0).U16(static_cast<uint16_t>(items.size()));
    out.U16(0).U16(0).U16(221).U16(138);
    out.U16(0).U16(0).Str(u"Test").U16(8).Str(u"MS Shell Dlg");
    for (const Item& item : items) {
        out.Align4().U32(item.style).U32(0);
        out.U16(static_cast<uint16_t>(item.x)).U16(static_cast<uint16_t>(item.y));
        out.U16(static_cast<uint16_t>(item.cx)).U16(static_cast<uint16_t>(item.cy)).U16(item.id);
        out.Ordinal(0x82);
        if (item.text.empty()) {
            out.Ordinal(item.image);
        } else {
            out.Str(item.text);
        }
        out.U16(0);
    }
    return out.bytes;
}

// A module with the template and, when asked, the program's logo as bitmap 130.
ResourceModule Module(const std::vector<Item>& items, bool withLogo) {
    ResWriter res;
    res.Add(ResourceId::Number(RT_DIALOG), ResourceId::Number(kTemplateId), Template(items));
    if (withLogo) {
        std::span<const uint8_t> logo;
        EXPECT_EQ(ResourceModule::Program().Find(ResourceId::Number(RT_BITMAP), ResourceId::Number(IDB_LOGO), logo), 0);
        res.Add(ResourceId::Number(RT_BITMAP), ResourceId::Number(IDB_LOGO),
                std::vector<uint8_t>(logo.begin(), logo.end()));
    }
    ResourceModule module;
    EXPECT_EQ(module.LoadFromBytes(res.Bytes()), 0);
    return module;
}

QRect Place(const CDialog& dialog, unsigned id) {
    return dialog.GetDlgItem(id)->GetSafeHwnd()->geometry();
}

using Relayout = DialogTest;

TEST_F(Relayout, LandscapeOnlyWhenTheScreenIsWiderThanHigh) {
    const std::pair<QSize, bool> rows[] = {{QSize(240, 320), false},
                                           {QSize(320, 240), true},
                                           {QSize(300, 300), false},
                                           {QSize(321, 320), true},
                                           {QSize(320, 321), false}};
    for (const auto& [size, landscape] : rows) {
        TheShell().SetScreenSize(ScreenSize{size.width(), size.height()});
        EXPECT_EQ(IsLandscape(), landscape) << size.width() << " x " << size.height();
    }
    TheShell().SetScreenSize(kDefaultScreenSize);
}

TEST_F(Relayout, MissingTemplateFailsAndMovesNothing) {
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        dialog.GetDlgItem(IDC_ABOUT_VERSION_PORT)->MoveWindow(1, 2, 3, 4);
        const QRect logo = Place(dialog, IDC_ABOUT_LOGO_PORT);
        EXPECT_EQ(RelayoutFromTemplate(ResourceModule::Program(), &dialog, 4242), -1);
        EXPECT_EQ(RelayoutFromTemplate(Module({}, false), &dialog, 4242), -1);
        EXPECT_EQ(RelayoutFromTemplate(ResourceModule::Program(), nullptr, IDD_ABOUTBOX), -1);
        EXPECT_EQ(Place(dialog, IDC_ABOUT_VERSION_PORT), QRect(1, 2, 3, 4));
        EXPECT_EQ(Place(dialog, IDC_ABOUT_LOGO_PORT), logo);
        // The dialog's own template puts it back.
        EXPECT_EQ(RelayoutFromTemplate(ResourceModule::Program(), &dialog, IDD_ABOUTBOX), 0);
        // 43, 52, 60 x 8 dialog units at 1.5 by 1.625 pixels each.
        EXPECT_EQ(Place(dialog, IDC_ABOUT_VERSION_PORT), QRect(65, 85, 90, 13));
        TheShell().PressDone();
    });
}

TEST_F(Relayout, TemplateSetsPlacesTextsAndImagesAndKeepsAnImageThatCannotLoad) {
    const std::vector<Item> items = {
        {IDC_ABOUT_LOGO_LAND, kBitmapStyle, 0, 0, 61, 49, u"", kMissingBitmap},
        {IDC_ABOUT_LOGO_PORT, kBitmapStyle, 100, 0, 61, 49, u"", IDB_LOGO},
        {IDC_ABOUT_VERSION_PORT, kChildVisible, 10, 90, 60, 8, u"Version again"},
    };
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        auto* land = dynamic_cast<CStatic*>(dialog.GetDlgItem(IDC_ABOUT_LOGO_LAND));
        auto* port = dynamic_cast<CStatic*>(dialog.GetDlgItem(IDC_ABOUT_LOGO_PORT));
        ASSERT_NE(land, nullptr);
        ASSERT_NE(port, nullptr);
        const HIMAGE landImage = land->GetImage();
        const HIMAGE portImage = port->GetImage();
        ASSERT_NE(landImage, nullptr);
        ASSERT_NE(portImage, nullptr);

        // Without the logo in the module neither image can load: both stay.
        EXPECT_EQ(RelayoutFromTemplate(Module(items, false), &dialog, kTemplateId), 0);
        EXPECT_EQ(land->GetImage(), landImage);
        EXPECT_EQ(port->GetImage(), portImage);
        EXPECT_EQ(Place(dialog, IDC_ABOUT_LOGO_LAND), QRect(0, 0, 92, 80));
        EXPECT_EQ(Place(dialog, IDC_ABOUT_LOGO_PORT), QRect(150, 0, 92, 80));
        EXPECT_EQ(Place(dialog, IDC_ABOUT_VERSION_PORT), QRect(15, 146, 90, 13));
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION_PORT), QStringLiteral("Version again"));
        EXPECT_FALSE(Control<QLabel>(dialog, IDC_ABOUT_LOGO_LAND)->pixmap().isNull());

        // With it, the portrait logo gets a new image; the other still cannot load.
        EXPECT_EQ(RelayoutFromTemplate(Module(items, true), &dialog, kTemplateId), 0);
        EXPECT_EQ(land->GetImage(), landImage);
        EXPECT_NE(port->GetImage(), nullptr);
        EXPECT_NE(port->GetImage(), portImage);
        EXPECT_EQ(Control<QLabel>(dialog, IDC_ABOUT_LOGO_PORT)->pixmap().size(), QSize(91, 79));
        TheShell().PressDone();
    });
}

TEST_F(Relayout, ItemWithoutItsControlFailsButTheOthersAreStillPlaced) {
    const std::vector<Item> items = {
        {4000, kChildVisible, 0, 0, 10, 10, u"nowhere"},
        {IDC_ABOUT_VERSION_PORT, kChildVisible, 10, 90, 60, 8, u"Placed"},
    };
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        EXPECT_EQ(RelayoutFromTemplate(Module(items, false), &dialog, kTemplateId), -1);
        EXPECT_EQ(Place(dialog, IDC_ABOUT_VERSION_PORT), QRect(15, 146, 90, 13));
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION_PORT), QStringLiteral("Placed"));
        TheShell().PressDone();
    });
}

TEST_F(Relayout, DeferredMovesWaitForTheEndOfTheirBatch) {
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        CWnd* version = dialog.GetDlgItem(IDC_ABOUT_VERSION_PORT);
        CWnd* line = dialog.GetDlgItem(IDC_ABOUT_LINE1_PORT);
        const QRect before = Place(dialog, IDC_ABOUT_VERSION_PORT);
        WindowPosBatch batch;
        EXPECT_FALSE(batch.Defer(version, CRect{0, 0, 10, 10})) << "no batch is open";
        EXPECT_FALSE(batch.End());
        EXPECT_FALSE(batch.Begin(-1));
        ASSERT_TRUE(batch.Begin(2));
        EXPECT_FALSE(batch.Defer(nullptr, CRect{0, 0, 10, 10}));
        EXPECT_TRUE(batch.Defer(version, CRect{5, 6, 25, 36}));
        EXPECT_TRUE(batch.Defer(line, CRect{7, 8, 17, 18}));
        EXPECT_EQ(Place(dialog, IDC_ABOUT_VERSION_PORT), before);
        EXPECT_TRUE(batch.End());
        EXPECT_EQ(Place(dialog, IDC_ABOUT_VERSION_PORT), QRect(5, 6, 20, 30));
        EXPECT_EQ(Place(dialog, IDC_ABOUT_LINE1_PORT), QRect(7, 8, 10, 10));
        EXPECT_TRUE(dialog.GetSafeHwnd()->updatesEnabled());
        EXPECT_FALSE(batch.IsOpen());
        TheShell().PressDone();
    });
}

} // namespace
