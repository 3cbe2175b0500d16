// The call details dialog over the real main frame: its lines, the duration, date and time in
// several zones, its soft keys and their outcome, the screen turn, the End key.
#include "tests/dialogs/dialogtest.h"

#include "calllog/calllist.h"
#include "dialogs/callinfodlg.h"
#include "dialogs/islandscape.h"
#include "platform/msgbox/messagebox.h"
#include "platform/phone/callstore.h"
#include "platform/time/filetime.h"
#include "resources/resource.h"

#include <QFontMetrics>

#include <algorithm>
#include <ctime>

namespace {

using namespace dialogtest;

FileTime Later(const FileTime& time, long long seconds) {
    return MakeFileTime(static_cast<uint64_t>(static_cast<long long>(FileTimeValue(time)) + seconds * 10000000LL));
}

NVXCallEntry MakeEntry() {
    NVXCallEntry entry;
    entry.callType = CallTypeIncoming;
    entry.callerIdType = CallerIdAvailable;
    entry.startTime = UtcTime(2006, 3, 7, 14, 5, 9);
    entry.endTime = Later(entry.startTime, 83);
    entry.nameText.Assign(u"Grace Hopper");
    entry.numberText.Assign(u"(206) 386-1234");
    entry.dialNumber.Assign(u"2063861234");
    entry.cityText.Assign(u"Seattle");
    entry.stateText.Assign(u"WA");
    return entry;
}

class CallInfo : public DialogTest {
protected:
    void TearDown() override {
        setenv("TZ", "UTC", 1);
        tzset();
        DialogTest::TearDown();
    }

    // Opens the details of the entry; whileOpen sees the dialog up and closes it.
    int Open(const NVXCallEntry& entry, const std::function<void(CCallInfoDlg&)>& whileOpen) {
        CCallInfoDlg dialog;
        CopyEntryInto(dialog, entry);
        return RunWhileOpen(dialog, [&] { whileOpen(dialog); });
    }

    static void CopyEntryInto(CCallInfoDlg& dialog, const NVXCallEntry& entry) {
        static_cast<CallLogRecord&>(dialog.entry) = entry;
        dialog.entry.nameText = entry.nameText;
        dialog.entry.numberText = entry.numberText;
        dialog.entry.cityText = entry.cityText;
        dialog.entry.stateText = entry.stateText;
        dialog.entry.dialNumber = entry.dialNumber;
    }

    // The first line of each value control, top to bottom.
    static std::vector<QString> Values(const CCallInfoDlg& dialog) {
        std::vector<QString> values;
        for (unsigned id : {IDC_CALLTYPE, IDC_NAME, IDC_NUMBER, IDC_LOCATION, IDC_DURATION, IDC_DATE, IDC_TIME}) {
            values.push_back(TextOf(dialog, id));
        }
        return values;
    }
};

TEST_F(CallInfo, ShowsEveryValueUnderItsTitleWithCallAndDeleteKeys) {
    std::vector<QString> values;
    QString title;
    QString left;
    QString right;
    QString labels;
    const int result = Open(MakeEntry(), [&](CCallInfoDlg& dialog) {
        values = Values(dialog);
        title = TheShell().NavTitleText();
        left = TheShell().SoftKeyText(0);
        right = TheShell().SoftKeyText(1);
        labels = TextOf(dialog, IDC_DURATION_LABEL) + "," + TextOf(dialog, IDC_DATE_LABEL) + "," +
                 TextOf(dialog, IDC_TIME_LABEL);
        EXPECT_EQ(TheShell().DoneOwner(), dialog.GetSafeHwnd());
        EXPECT_EQ(LastDialogKind, kDialogCallInfo) << "written while it opens";
        TheShell().PressDone();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(values, (std::vector<QString>{"Incoming Call", "Grace Hopper", "(206) 386-1234", "Seattle, WA",
                                            "00:01:23", "03/07/2006", "14:05:09"}));
    EXPECT_EQ(title, QStringLiteral("Call Info"));
    EXPECT_EQ(left, QStringLiteral("Call"));
    EXPECT_EQ(right, QStringLiteral("Delete"));
    EXPECT_EQ(labels, QStringLiteral("Duration,Date,Time"));
    // Done: the kind is recorded, no action.
    EXPECT_EQ(LastDialogKind, kDialogCallInfo);
    EXPECT_EQ(InfoAction, kInfoActionNone);
    EXPECT_EQ(TheShell().NavTitleText(), QStringLiteral("Zonrik Ringlog"));
}

TEST_F(CallInfo, WithoutACopyItShowsAnEmptyMissedCallWithTheBlankKey) {
    CCallInfoDlg dialog;
    RunWhileOpen(dialog, [&] {
        EXPECT_EQ(Values(dialog),
                  (std::vector<QString>{"Missed Call", "", "", "", "00:00:00", "01/01/1970", "00:00:00"}));
        EXPECT_EQ(TheShell().SoftKeyText(0), QStringLiteral("   "));
        TheShell().PressDone();
    });
}

TEST_F(CallInfo, CallTypeLineNamesTheTypeInABoldTransparentFont) {
    const std::pair<int32_t, const char*> rows[] = {{CallTypeMissed, "Missed Call"},
                                                    {CallTypeIncoming, "Incoming Call"},
                                                    {CallTypeOutgoing, "Outgoing Call"},
                                                    {7, "Outgoing Call"}};
    for (const auto& [type, text] : rows) {
        SCOPED_TRACE(text);
        NVXCallEntry entry = MakeEntry();
        entry.callType = type;
        Open(entry, [&](CCallInfoDlg& dialog) {
            EXPECT_EQ(TextOf(dialog, IDC_CALLTYPE), QString::fromLatin1(text));
            dialog.GetSafeHwnd()->grab(); // paints every control
            const QLabel* callType = Control<QLabel>(dialog, IDC_CALLTYPE);
            const QLabel* name = Control<QLabel>(dialog, IDC_NAME);
            ASSERT_NE(callType, nullptr);
            EXPECT_EQ(callType->font().weight(), QFont::Bold);
            EXPECT_FALSE(callType->autoFillBackground());
            EXPECT_EQ(name->font().weight(), QFont::Normal);
            TheShell().PressDone();
        });
    }
}

TEST_F(CallInfo, NameLineIsEmptyForNoNameAndForUnNamedExactly) {
    const std::pair<const char16_t*, QString> rows[] = {
        {u"", ""},      {u"UnNamed", ""}, {u"unnamed", "unnamed"}, {u"UNNAMED", "UNNAMED"}, {u"UnNamed ", "UnNamed "},
        {u"Ann", "Ann"}};
    for (const auto& [name, shown] : rows) {
        SCOPED_TRACE(shown.toStdString());
        NVXCallEntry entry = MakeEntry();
        entry.nameText.Assign(name);
        Open(entry, [&](CCallInfoDlg& dialog) {
            EXPECT_EQ(TextOf(dialog, IDC_NAME), shown);
            TheShell().PressDone();
        });
    }
}

TEST_F(CallInfo, LongNameIsCutWithAnEllipsisToItsLine) {
    const QString wide = QString(60, QLatin1Char('W'));
    const QString narrow = QString(100, QLatin1Char('i'));
    QString wideShown;
    QString narrowShown;
    for (const QString* name : {&wide, &narrow}) {
        NVXCallEntry entry = MakeEntry();
        entry.nameText.Assign(reinterpret_cast<const char16_t*>(name->utf16()));
        Open(entry, [&](CCallInfoDlg& dialog) {
            (name == &wide ? wideShown : narrowShown) = TextOf(dialog, IDC_NAME);
            EXPECT_EQ(QString::fromStdU16String(dialog.nameLine.Data()), TextOf(dialog, IDC_NAME));
            TheShell().PressDone();
        });
    }
    ASSERT_TRUE(wideShown.endsWith(QChar(0x2026))) << wideShown.toStdString();
    ASSERT_TRUE(narrowShown.endsWith(QChar(0x2026))) << narrowShown.toStdString();
    EXPECT_TRUE(wide.startsWith(wideShown.chopped(1)));
    EXPECT_TRUE(narrow.startsWith(narrowShown.chopped(1)));
    // Fewer wide letters than narrow ones fit the same line.
    EXPECT_LT(wideShown.size(), narrowShown.size());
    EXPECT_GT(wideShown.size(), 5);

    // A name that fits stays whole.
    NVXCallEntry entry = MakeEntry();
    entry.nameText.Assign(u"Margaret Hamilton");
    Open(entry, [&](CCallInfoDlg& dialog) {
        EXPECT_EQ(TextOf(dialog, IDC_NAME), QStringLiteral("Margaret Hamilton"));
        TheShell().PressDone();
    });
}

TEST_F(CallInfo, LocationLineNeedsCityAndStateAndCutsTheCityToFit) {
    struct Row {
        const char16_t* city;
        const char16_t* state;
        QString shown;
    };
    const Row rows[] = {{u"Seattle", u"", ""}, {u"", u"WA", ""}, {u"", u"", ""}, {u"Redmond", u"WA", "Redmond, WA"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown.toStdString());
        NVXCallEntry entry = MakeEntry();
        entry.cityText.Assign(row.city);
        entry.stateText.Assign(row.state);
        Open(entry, [&](CCallInfoDlg& dialog) {
            EXPECT_EQ(TextOf(dialog, IDC_LOCATION), row.shown);
            TheShell().PressDone();
        });
    }

    NVXCallEntry entry = MakeEntry();
    entry.cityText.Assign(u"Llanfairpwllgwyngyllgogerychwyrndrobwllllantysiliogogogoch");
    Open(entry, [&](CCallInfoDlg& dialog) {
        const QString shown = TextOf(dialog, IDC_LOCATION);
        EXPECT_TRUE(shown.endsWith(QString(QChar(0x2026)) + QStringLiteral(", WA"))) << shown.toStdString();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("Llanfair")));
        const QLabel* line = Control<QLabel>(dialog, IDC_LOCATION);
        EXPECT_LE(QFontMetrics(dialog.GetSafeHwnd()->font()).horizontalAdvance(shown), line->width());

        // On a line that holds four characters or fewer only the state is shown.
        dialog.GetDlgItem(IDC_LOCATION)->MoveWindow(line->x(), line->y(), 20, line->height());
        dialog.ComposeLocationLine();
        EXPECT_EQ(QString::fromStdU16String(dialog.locationLine.Data()), QStringLiteral("WA"));
        TheShell().PressDone();
    });
}

struct TimeRow {
    const char* name;
    const char* zone;
    FileTime start;
    long long seconds;
    QString duration;
    QString date;
    QString time;
};

void PrintTo(const TimeRow& row, std::ostream* os) {
    *os << row.name;
}

class CallInfoTimes : public CallInfo, public testing::WithParamInterface<TimeRow> {};

TEST_P(CallInfoTimes, DurationDateAndTimeAreLocal) {
    const TimeRow& row = GetParam();
    setenv("TZ", row.zone, 1);
    tzset();
    NVXCallEntry entry = MakeEntry();
    entry.startTime = row.start;
    entry.endTime = Later(row.start, row.seconds);
    std::vector<QString> shown;
    Open(entry, [&](CCallInfoDlg& dialog) {
        shown = {TextOf(dialog, IDC_DURATION), TextOf(dialog, IDC_DATE), TextOf(dialog, IDC_TIME)};
        TheShell().PressDone();
    });
    EXPECT_EQ(shown, (std::vector<QString>{row.duration, row.date, row.time}));
}

// US Eastern and Central European time with the 2006 rules, as POSIX zone strings.
constexpr const char* kEastern = "EST5EDT,M4.1.0,M10.5.0";
constexpr const char* kCentral = "CET-1CEST,M3.5.0,M10.5.0/3";

INSTANTIATE_TEST_SUITE_P(Zones, CallInfoTimes,
                         testing::Values(TimeRow{"AfternoonInUtc", "UTC", UtcTime(2006, 3, 7, 14, 5, 9), 83, "00:01:23",
                                                 "03/07/2006", "14:05:09"},
                                         TimeRow{"WholeHoursIncludeDays", "UTC", UtcTime(2006, 3, 7, 14, 5, 9), 93784,
                                                 "26:03:04", "03/07/2006", "14:05:09"},
                                         TimeRow{"EndBeforeStartLastedNothing", "UTC", UtcTime(2006, 3, 7, 14, 5, 9),
                                                 -75, "00:00:00", "03/07/2006", "14:05:09"},
                                         TimeRow{"SpringForwardInEastern", kEastern, UtcTime(2006, 4, 2, 6, 30, 0),
                                                 3605, "01:00:05", "04/02/2006", "01:30:00"},
                                         TimeRow{"SpringForwardInCentral", kCentral, UtcTime(2006, 3, 26, 0, 30, 0),
                                                 3605, "01:00:05", "03/26/2006", "01:30:00"},
                                         TimeRow{"CentralChangeSeenFromEastern", kEastern,
                                                 UtcTime(2006, 3, 26, 0, 30, 0), 3605, "01:00:05", "03/25/2006",
                                                 "19:30:00"},
                                         TimeRow{"FallBackHourCountsOnce", kEastern, UtcTime(2006, 10, 29, 5, 30, 0),
                                                 3600, "01:00:00", "10/29/2006", "01:30:00"},
                                         TimeRow{"NewYearsEveInCentral", kCentral, UtcTime(2006, 12, 31, 23, 59, 30),
                                                 45, "00:00:45", "01/01/2007", "00:59:30"}),
                         [](const testing::TestParamInfo<TimeRow>& info) { return std::string(info.param.name); });

TEST_F(CallInfo, TimeThatCannotBeConvertedLeavesItsLinesEmptyAndDeleteStillWorks) {
    NVXCallEntry entry = MakeEntry();
    entry.startTime = FileTime{0xFFFFFFFFu, 0xFFFFFFFFu};
    std::vector<QString> values;
    Open(entry, [&](CCallInfoDlg& dialog) {
        values = Values(dialog);
        TheShell().PressSoftKey(1);
        EXPECT_TRUE(dialog.IsEnding());
    });
    EXPECT_EQ(values,
              (std::vector<QString>{"Incoming Call", "Grace Hopper", "(206) 386-1234", "Seattle, WA", "", "", ""}));
    EXPECT_EQ(InfoAction, kInfoActionDelete);
}

TEST_F(CallInfo, LeftKeyIsCallWhenThereIsANumberToDialElseBlank) {
    struct Row {
        int32_t callerIdType;
        const char16_t* dialNumber;
        QString left;
    };
    // A known caller without a number has nothing to dial: Call would dial an empty number.
    const Row rows[] = {{CallerIdAvailable, u"", "   "},
                        {CallerIdAvailable, u"2063861234", "Call"},
                        {CallerIdUnavailable, u"2063861234", "Call"},
                        {CallerIdBlocked, u"2063861234", "Call"},
                        {CallerIdUnavailable, u"", "   "},
                        {CallerIdBlocked, u"", "   "}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.callerIdType);
        NVXCallEntry entry = MakeEntry();
        entry.callerIdType = row.callerIdType;
        entry.dialNumber.Assign(row.dialNumber);
        Open(entry, [&](CCallInfoDlg& dialog) {
            EXPECT_EQ(TheShell().SoftKeyText(0), row.left);
            EXPECT_EQ(TheShell().SoftKeyText(1), QStringLiteral("Delete"));
            if (row.left == QStringLiteral("   ")) {
                // The blank key does nothing.
                TheShell().PressSoftKey(0);
                EXPECT_FALSE(dialog.IsEnding());
                EXPECT_EQ(InfoAction, kInfoActionNone);
            }
            TheShell().PressDone();
        });
    }
}

TEST_F(CallInfo, CallAndDeleteRecordTheChoiceAndCloseWithoutAsking) {
    const std::pair<int, int> keys[] = {{0, kInfoActionCall}, {1, kInfoActionDelete}};
    for (const auto& [key, action] : keys) {
        SCOPED_TRACE(key);
        InfoAction = kInfoActionNone;
        LastDialogKind = kDialogNone;
        const int result = Open(MakeEntry(), [&](CCallInfoDlg&) {
            LastDialogKind = kDialogNone;
            TheShell().PressSoftKey(key);
            EXPECT_TRUE(TheShell().MessageBoxes().empty());
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(InfoAction, action);
        EXPECT_EQ(LastDialogKind, kDialogCallInfo);
    }
}

TEST_F(CallInfo, BlockedCallerFromTheStoreHasNoNameNumberLabelAndBlankKey) {
    CallRecordData blocked;
    blocked.startTime = FileTimeValue(UtcTime(2026, 12, 9, 9, 0, 0));
    blocked.endTime = blocked.startTime + 600000000ULL;
    blocked.callType = CallTypeIncoming;
    blocked.callerIdType = CallerIdBlocked;
    std::string error;
    ASSERT_EQ(AddCallRecords({blocked}, false, &error), 0) << error;
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    ASSERT_EQ(list.count, 1);
    CCallInfoDlg dialog;
    CopyEntry(*list.EntryAt(0), dialog.entry);
    RunWhileOpen(dialog, [&] {
        EXPECT_EQ(TextOf(dialog, IDC_NAME), QString());
        EXPECT_EQ(TextOf(dialog, IDC_NUMBER), QStringLiteral("Caller ID Blocked"));
        EXPECT_EQ(TheShell().SoftKeyText(0), QStringLiteral("   "));
        TheShell().PressDone();
    });
}

TEST_F(CallInfo, DeleteStillReachesTheCallShownWhenAnotherProcessAddedOneMeanwhile) {
    const uint64_t noon = FileTimeValue(UtcTime(2026, 12, 9, 12, 0, 0));
    auto call = [](uint64_t start, const char16_t* number, const char16_t* name) {
        CallRecordData data;
        data.startTime = start;
        data.endTime = start + 600000000ULL;
        data.callType = CallTypeIncoming;
        data.number = number;
        data.name = name;
        return data;
    };
    std::string error;
    ASSERT_EQ(AddCallRecords({call(noon - 36000000000ULL, u"2065550001", u"Early"), call(noon, u"2065550002", u"Bob"),
                              call(noon, u"2065550003", u"Ann")},
                             false, &error),
              0);
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    // The second row, Bob, is opened.
    const int selectedRow = 1;
    CCallInfoDlg dialog;
    CopyEntry(*list.EntryAt(selectedRow), dialog.entry);
    RunWhileOpen(dialog, [&] {
        EXPECT_EQ(TextOf(dialog, IDC_NAME), QStringLiteral("Bob"));
        // The dialler logs a call with the same start time while the details are open.
        ASSERT_EQ(AddCallRecords({call(noon, u"2065550009", u"Zed")}, false, &error), 0);
        TheShell().PressSoftKey(1);
    });
    ASSERT_EQ(InfoAction, kInfoActionDelete);

    // What the list does at the dialog's closing: it reads the log again and finds the call shown.
    ASSERT_EQ(list.Load(), 0);
    const int position = list.LocateCall(selectedRow, &dialog.entry);
    ASSERT_EQ(list.DeleteAt(position), 0);
    std::vector<CallRecordData> stored;
    ASSERT_EQ(ReadCallRecords(&stored, &error), 0);
    std::vector<std::u16string> names;
    for (const CallRecordData& data : stored) {
        names.push_back(data.name.value_or(u"-"));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Ann", u"Early", u"Zed"}));
}

TEST_F(CallInfo, ScreenTurnPutsEveryValueBackAtItsTemplatePlaceAndKeepsTheCutLines) {
    NVXCallEntry entry = MakeEntry();
    entry.nameText.Assign(u"Wolfgang Amadeus Mozart Wilhelmina Wendeline Wuerttemberg");
    Open(entry, [&](CCallInfoDlg& dialog) {
        const std::vector<QString> before = Values(dialog);
        ASSERT_TRUE(before[1].endsWith(QChar(0x2026)));
        // Disturb the layout and a value: the turn must undo both.
        dialog.GetDlgItem(IDC_NAME)->MoveWindow(0, 200, 40, 10);
        dialog.GetDlgItem(IDC_TIME)->MoveWindow(100, 0, 10, 10);
        dialog.SetDlgItemText(IDC_TIME, u"wrong");

        TurnScreen();
        EXPECT_TRUE(IsLandscape());
        // 8-point DejaVu Sans Condensed: a dialog unit is 1.5 pixels across and 1.625 down.
        //   IDC_NAME 9, 19, 138 x 8; IDC_TIME 9, 107, 55 x 8
        EXPECT_EQ(Control<QLabel>(dialog, IDC_NAME)->geometry(), QRect(14, 31, 207, 13));
        EXPECT_EQ(Control<QLabel>(dialog, IDC_TIME)->geometry(), QRect(14, 174, 82, 13));
        EXPECT_EQ(Values(dialog), before);
        EXPECT_EQ(dialog.GetSafeHwnd()->size(), TheShell().WorkArea()->size());

        TurnScreen();
        EXPECT_EQ(Values(dialog), before);
        TheShell().PressDone();
    });
}

TEST_F(CallInfo, TapAndPaintSetTheValuesAgain) {
    Open(MakeEntry(), [&](CCallInfoDlg& dialog) {
        dialog.SetDlgItemText(IDC_NUMBER, u"changed");
        QTest::mouseClick(dialog.GetSafeHwnd(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 250));
        EXPECT_EQ(TextOf(dialog, IDC_NUMBER), QStringLiteral("(206) 386-1234"));
        dialog.SetDlgItemText(IDC_DATE, u"changed");
        dialog.GetSafeHwnd()->grab();
        EXPECT_EQ(TextOf(dialog, IDC_DATE), QStringLiteral("03/07/2006"));
        TheShell().PressDone();
    });
}

TEST_F(CallInfo, EndKeyEndsTheProgramWithCodeZeroAndTalkDoesNothing) {
    Open(MakeEntry(), [&](CCallInfoDlg& dialog) {
        TheShell().PressTalkKey();
        EXPECT_FALSE(RecordedExit().has_value());
        EXPECT_FALSE(dialog.IsEnding());
        PressEndKey();
        ASSERT_TRUE(RecordedExit().has_value());
        EXPECT_EQ(*RecordedExit(), 0);
        dialog.EndDialog(IDCANCEL);
    });
}

} // namespace
