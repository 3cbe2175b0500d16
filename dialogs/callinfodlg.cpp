#include "dialogs/callinfodlg.h"

#include "dialogs/dialogstate.h"
#include "dialogs/endkey.h"
#include "dialogs/relayoutfromtemplate.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellservices.h"
#include "platform/time/filetime.h"
#include "platform/ui/dc.h"
#include "resources/resource.h"

namespace {

constexpr char16_t kEllipsis[] = u"\u2026";

const char16_t* CallTypeText(int32_t callType) {
    switch (callType) {
    case CallTypeMissed:
        return u"Missed Call";
    case CallTypeIncoming:
        return u"Incoming Call";
    default:
        return u"Outgoing Call";
    }
}

// Seconds since 1970 of a file time; -1 when it cannot be converted to local time. A call whose
// local year is before 1900 counts as 0.
int ToSeconds(const FileTime& time, int64_t& seconds) {
    FileTime local{};
    SystemTime fields{};
    if (FileTimeToLocalFileTime(time, &local) != 0 || FileTimeToSystemTime(local, &fields) != 0) {
        return -1;
    }
    if (fields.year < 1900) {
        seconds = 0;
        return 0;
    }
    // Taken from the file time itself, not read back from the local calendar fields: in the hour
    // that repeats when the clocks go back, the fields alone cannot say which of the two it was.
    seconds = FileTimeToUnixSeconds(time);
    return 0;
}

int WidthOf(const CWnd* control) {
    CRect rect;
    control->GetWindowRect(rect);
    return rect.Width();
}

// How many characters of a text fit in a width, estimated at the text's average character width
// in the dialog's font; all of them when the text measures nothing.
int CharactersThatFit(int width, CDC* dc, const char16_t* text, int length) {
    const int textWidth = dc->GetTextExtent(text).cx;
    if (textWidth <= 0) {
        return length;
    }
    return static_cast<int>(static_cast<long long>(width) * length / textWidth);
}

} // namespace

CCallInfoDlg::CCallInfoDlg(CWnd* parent) : CDialog(IDD_CALLINFO, parent) {
    // Cleared to the last byte: a dialog run without a copy shows an empty missed call.
    static_cast<CallLogRecord&>(entry) = CallLogRecord{};
}

CCallInfoDlg::~CCallInfoDlg() = default;

bool CCallInfoDlg::OnInitDialog() {
    ShellServices::InitFullScreenDialog(GetSafeHwnd());
    ShellServices::SetNavBarTitle(GetSafeHwnd(), u"Call Info");
    // Without a number to dial, the left key is a blank one.
    const bool dialable = CanDial(entry);
    ShellServices::CreateSoftKeyBar(GetSafeHwnd(), dialable ? IDR_CALLINFO_MENU : IDR_BLANK_MENU);
    ComposeNameLine();
    ComposeLocationLine();
    ShellServices::ShowDoneButton(GetSafeHwnd(), true);
    ShellServices::ClaimCallKeys(GetSafeHwnd());

    LOGFONT description;
    if (GetSafeHwnd() != nullptr) {
        GetFont(description);
        description.weight = 700;
        boldFont.CreateFontIndirect(description);
    } else {
        CFont temporary;
        temporary.CreatePointFont(100, u"Arial");
        temporary.GetLogFont(description);
        description.height = -11;
        description.weight = 700;
        boldFont.CreateFontIndirect(description);
        temporary.DeleteObject();
    }

    LastDialogKind = kDialogCallInfo;
    return true;
}

void CCallInfoDlg::ComposeNameLine() {
    if (entry.nameText.IsEmpty() || entry.nameText.Equals(u"UnNamed")) {
        nameLine.Clear();
        return;
    }
    nameLine = entry.nameText;
    const int length = static_cast<int>(nameLine.Length());
    CWnd* control = GetDlgItem(IDC_NAME);
    CDC* dc = control != nullptr ? GetDC() : nullptr;
    if (dc == nullptr) {
        return;
    }
    const int fit = CharactersThatFit(WidthOf(control), dc, nameLine.Data(), length);
    if (length > fit) {
        const size_t kept = fit > 1 ? static_cast<size_t>(fit - 1) : 0;
        TextCopyN(nameLine.Data(), nameLine.capacity, entry.nameText.Data(), kept);
        nameLine.Append(kEllipsis);
    }
    RefreshTexts();
    ReleaseDC(dc);
}

void CCallInfoDlg::ComposeLocationLine() {
    locationLine.Clear();
    if (entry.cityText.IsEmpty() || entry.stateText.IsEmpty()) {
        return;
    }
    FixedText<60> line;
    line.Format(u"%s, %s", {entry.cityText.Data(), entry.stateText.Data()});
    const int length = static_cast<int>(line.Length());
    CWnd* control = GetDlgItem(IDC_LOCATION);
    CDC* dc = control != nullptr ? GetDC() : nullptr;
    if (dc == nullptr) {
        return;
    }
    const int width = WidthOf(control);
    const int fit = CharactersThatFit(width, dc, line.Data(), length);
    if (fit <= 4) {
        line.Assign(entry.stateText.Data());
    } else if (length > fit) {
        // The city gives way, one character at a time, until the line fits; the state stays whole.
        size_t kept = static_cast<size_t>(fit - 5);
        for (;;) {
            FixedText<51> city;
            TextCopyN(city.Data(), city.capacity, entry.cityText.Data(), kept);
            city.Append(kEllipsis);
            line.Format(u"%s, %s", {city.Data(), entry.stateText.Data()});
            if (dc->GetTextExtent(line.Data()).cx <= width || line.Length() <= 5 || kept == 0) {
                break;
            }
            --kept;
        }
    }
    ReleaseDC(dc);
    locationLine = line;
}

void CCallInfoDlg::RefreshTexts() {
    FixedText<32> duration;
    FixedText<16> date;
    FixedText<16> time;
    int64_t start = 0;
    int64_t end = 0;
    const bool startKnown = ToSeconds(entry.startTime, start) == 0;
    if (startKnown && ToSeconds(entry.endTime, end) == 0) {
        // A damaged record may end before it starts: that call lasted nothing.
        const long long d = end > start ? static_cast<long long>(end - start) : 0;
        // Whole hours, days included: a call of a day and two hours lasted 26 hours.
        duration.Format(u"%02d:%02d:%02d", {d / 3600, d / 60 - (d / 3600) * 60, d - (d / 60) * 60});
    }
    SystemTime fields{};
    if (startKnown && UnixSecondsToLocalTime(start, &fields) == 0) {
        date.Format(u"%02d/%02d/%d", {fields.month, fields.day, fields.year});
        time.Format(u"%02d:%02d:%02d", {fields.hour, fields.minute, fields.second});
    }

    SetDlgItemText(IDC_CALLTYPE, CallTypeText(entry.callType));
    SetDlgItemText(IDC_NAME, nameLine.Data());
    SetDlgItemText(IDC_NUMBER, entry.numberText.Data());
    SetDlgItemText(IDC_LOCATION, locationLine.Data());
    SetDlgItemText(IDC_DURATION, duration.Data());
    SetDlgItemText(IDC_DATE, date.Data());
    SetDlgItemText(IDC_TIME, time.Data());
}

void CCallInfoDlg::OnSize(unsigned, int, int) {
    // Whatever the new shape, the template's layout is put back; the re-applied template empties
    // the value controls, which get their texts again at once.
    RelayoutFromTemplate(ResourceModule::Program(), this, IDD_CALLINFO);
    RefreshTexts();
}

void CCallInfoDlg::OnPaint(CDC* dc) {
    RefreshTexts();
    CDialog::OnPaint(dc);
}

void CCallInfoDlg::OnLButtonDown(unsigned flags, CPoint point) {
    RefreshTexts();
    CDialog::OnLButtonDown(flags, point);
}

void CCallInfoDlg::OnKeyUp(unsigned virtualKey, unsigned, unsigned) {
    QuitOnEndKey(virtualKey);
}

void CCallInfoDlg::OnActivate(unsigned, CWnd*, bool) {
    // Swallowed: the dialog's activation changes nothing, not even through the default handling.
}

void CCallInfoDlg::OnCtlColor(CDC* dc, CWnd* control, unsigned ctlColor) {
    CDialog::OnCtlColor(dc, control, ctlColor);
    if (control != nullptr && control->GetDlgCtrlID() == IDC_CALLTYPE) {
        dc->SelectObject(&boldFont);
        dc->SetBkMode(TRANSPARENT);
    }
}

void CCallInfoDlg::OnOK() {
    LastDialogKind = kDialogCallInfo;
    CDialog::OnOK();
}

void CCallInfoDlg::OnCall() {
    InfoAction = kInfoActionCall;
    LastDialogKind = kDialogCallInfo;
    EndDialog(IDOK);
}

void CCallInfoDlg::OnInfoDelete() {
    InfoAction = kInfoActionDelete;
    LastDialogKind = kDialogCallInfo;
    EndDialog(IDOK);
}

bool CCallInfoDlg::DispatchCommand(unsigned id, CommandQuery query, CCmdUI* ui) {
    // The blank key has no handler: it does nothing.
    static const CommandEntry<CCallInfoDlg> commands[] = {
        {ID_INFO_DELETE, &CCallInfoDlg::OnInfoDelete},
        {ID_CALL, &CCallInfoDlg::OnCall},
    };
    return WalkCommandTable(this, commands, id, query, ui) || CDialog::DispatchCommand(id, query, ui);
}
