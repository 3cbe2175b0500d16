// The call details at the edges of their rules: a name just as wide as its line and one letter
// wider, a location line of exactly four and five characters, calls from 1900 and from before it;
// and the re-layout from a template whose item of a class other than a static has no control.
#include "tests/dialogs/dialogtest.h"

#include "dialogs/aboutdlg.h"
#include "dialogs/callinfodlg.h"
#include "dialogs/relayoutfromtemplate.h"
#include "platform/msgbox/messagebox.h"
#include "platform/time/filetime.h"
#include "platform/ui/dc.h"
#include "resources/resource.h"
#include "tests/resources/bytewriter.h"

namespace {

using namespace dialogtest;

class DialogRules : public DialogTest {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        DialogTest::SetUp();
    }

    // Opens the details of an incoming call from Seattle, WA with the given name and start; whileOpen
    // sees the dialog up, and the dialog is closed with Done after it.
    void Open(const char16_t* name, const FileTime& start, const std::function<void(CCallInfoDlg&)>& whileOpen) {
        CCallInfoDlg dialog;
        dialog.entry.callType = CallTypeIncoming;
        dialog.entry.callerIdType = CallerIdAvailable;
        dialog.entry.startTime = start;
        dialog.entry.endTime = MakeFileTime(FileTimeValue(start) + 420000000ULL); // 42 seconds
        dialog.entry.nameText.Assign(name);
        dialog.entry.numberText.Assign(u"(206) 386-1234");
        dialog.entry.dialNumber.Assign(u"2063861234");
        dialog.entry.cityText.Assign(u"Seattle");
        dialog.entry.stateText.Assign(u"WA");
        RunWhileOpen(dialog, [&] {
            whileOpen(dialog);
            TheShell().PressDone();
        });
    }

    static QString Shown(const CCallInfoDlg& dialog, unsigned id) { return TextOf(dialog, id); }

    // How wide the dialog measures a text when it fits its lines.
    static int Measured(CCallInfoDlg& dialog, const QString& text) {
        CDC* dc = dialog.GetDC();
        EXPECT_NE(dc, nullptr);
        if (dc == nullptr) {
            return 0;
        }
        const std::u16string wide = text.toStdU16String();
        const int width = dc->GetTextExtent(wide.c_str()).cx;
        dialog.ReleaseDC(dc);
        return width;
    }
};

TEST_F(DialogRules, ANameJustAsWideAsItsLineStaysWholeAndOneLetterMoreIsCutToTheSameLength) {
    Open(u"Ann", UtcTime(2026, 12, 9, 9, 0, 0), [&](CCallInfoDlg& dialog) {
        const int line = Control<QLabel>(dialog, IDC_NAME)->width();
        // The most W's the line holds.
        int fitting = 0;
        while (Measured(dialog, QString(fitting + 1, QLatin1Char('W'))) <= line) {
            ++fitting;
        }
        ASSERT_GT(fitting, 3);

        const std::u16string whole(static_cast<size_t>(fitting), u'W');
        dialog.entry.nameText.Assign(whole.c_str());
        dialog.ComposeNameLine();
        EXPECT_EQ(Shown(dialog, IDC_NAME), QString::fromStdU16String(whole));

        // One more: the ellipsis takes the place of the last letter that still fitted.
        const std::u16string longer(static_cast<size_t>(fitting + 1), u'W');
        dialog.entry.nameText.Assign(longer.c_str());
        dialog.ComposeNameLine();
        EXPECT_EQ(Shown(dialog, IDC_NAME), QString(fitting - 1, QLatin1Char('W')) + QChar(0x2026));
    });
}

TEST_F(DialogRules, ALocationLineOfFourCharactersShowsOnlyTheStateAndOfFiveKeepsTheCityMark) {
    Open(u"Ann", UtcTime(2026, 12, 9, 9, 0, 0), [&](CCallInfoDlg& dialog) {
        ASSERT_EQ(Shown(dialog, IDC_LOCATION), QStringLiteral("Seattle, WA"));
        const QString full = QStringLiteral("Seattle, WA");
        const int fullWidth = Measured(dialog, full);
        const QLabel* label = Control<QLabel>(dialog, IDC_LOCATION);
        // The narrowest line that holds the given number of characters at the line's average width.
        auto widthFor = [&](int characters) {
            return (characters * fullWidth + static_cast<int>(full.size()) - 1) / static_cast<int>(full.size());
        };
        auto locationAt = [&](int width) {
            dialog.GetDlgItem(IDC_LOCATION)->MoveWindow(label->x(), label->y(), width, label->height());
            dialog.ComposeLocationLine();
            return QString::fromStdU16String(dialog.locationLine.Data());
        };

        EXPECT_EQ(locationAt(widthFor(4)), QStringLiteral("WA"));
        const QString five = locationAt(widthFor(5));
        EXPECT_NE(five, QStringLiteral("WA"));
        EXPECT_TRUE(five.endsWith(QString(QChar(0x2026)) + QStringLiteral(", WA"))) << five.toStdString();
    });
}

TEST_F(DialogRules, ACallFrom1900ShowsItsOwnDateAndOneFromBeforeShowsTheStartOfTheClock) {
    Open(u"Ann", UtcTime(1900, 1, 1, 8, 30, 15), [&](CCallInfoDlg& dialog) {
        EXPECT_EQ(Shown(dialog, IDC_DATE), QStringLiteral("01/01/1900"));
        EXPECT_EQ(Shown(dialog, IDC_TIME), QStringLiteral("08:30:15"));
        EXPECT_EQ(Shown(dialog, IDC_DURATION), QStringLiteral("00:00:42"));
    });
    Open(u"Ann", UtcTime(1899, 12, 31, 23, 59, 59), [&](CCallInfoDlg& dialog) {
        EXPECT_EQ(Shown(dialog, IDC_DATE), QStringLiteral("01/01/1970"));
        EXPECT_EQ(Shown(dialog, IDC_TIME), QStringLiteral("00:00:00"));
    });
}

// A dialog template of the platform's format with one edit field, id 4000, that the About dialog
// does not have, and the About dialog's version line.
ResourceModule ModuleWithAMissingEdit() {
    constexpr uint32_t kChildVisible = 0x50000000;
    ByteWriter out;
    out.U32(0x80C00040).U32(0).U16(2);
    out.U16(0).U16(0).U16(221).U16(138);
    out.U16(0).U16(0).Str(u"Test").U16(8).Str(u"MS Shell Dlg");
    out.Align4().U32(kChildVisible).U32(0).U16(0).U16(0).U16(60).U16(12).U16(4000);
    out.Ordinal(0x81).Str(u"").U16(0);
    out.Align4().U32(kChildVisible).U32(0).U16(10).U16(90).U16(60).U16(8).U16(IDC_ABOUT_VERSION_PORT);
    out.Ordinal(0x82).Str(u"Placed").U16(0);
    ResWriter res;
    res.Add(ResourceId::Number(RT_DIALOG), ResourceId::Number(300), out.bytes);
    ResourceModule module;
    EXPECT_EQ(module.LoadFromBytes(res.Bytes()), 0);
    return module;
}

TEST_F(DialogRules, AnEditFieldWithoutItsControlFailsTheRelayoutAndTheOtherItemsAreStillPlaced) {
    CAboutDlg dialog;
    RunWhileOpen(dialog, [&] {
        EXPECT_EQ(RelayoutFromTemplate(ModuleWithAMissingEdit(), &dialog, 300), -1);
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION_PORT), QStringLiteral("Placed"));
        // 10, 90, 60 x 8 dialog units at 1.5 by 1.625 pixels each.
        EXPECT_EQ(dialog.GetDlgItem(IDC_ABOUT_VERSION_PORT)->GetSafeHwnd()->geometry(), QRect(15, 146, 90, 13));
        TheShell().PressDone();
    });
}

} // namespace
