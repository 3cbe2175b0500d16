// Shows the three dialogs over the real application with sample values, for pictures and for a
// screen reader:
//   dialogshots DIR            renders each dialog in portrait and landscape to DIR/<dialog>-<shape>.png
//   dialogshots --show lookup  opens the reverse lookup with 206386 typed and runs until ended
//   dialogshots --find STORE WxH PREFIX
//                              on the calls of STORE and a screen of W x H: the Find dialog with
//                              "seattle" typed, the list under that search and the first call's This
//                              Number list, to PREFIX-find.png, PREFIX-search.png, PREFIX-thisnumber.png
// The phone store is an empty one in a temporary folder unless given; the city database is the
// shipped one.
#include "app/mainframe.h"
#include "app/ringlogapp.h"
#include "citydb/citydatabase.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/callinfodlg.h"
#include "dialogs/revlookup.h"
#include "platform/msgbox/messagebox.h"
#include "platform/objectstore/storelocation.h"
#include "platform/shell/phonescreen.h"
#include "platform/shell/phoneshell.h"
#include "platform/time/filetime.h"
#include "platform/ui/colourscheme.h"
#include "platform/ui/process.h"
#include "resources/resource.h"
#include "view/ringlogview.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

namespace {

void KeepRunning(int) {}

// The drawn phone that main() installs.
PhoneShell* phone = nullptr;

FileTime SampleStart() {
    // Tuesday 7 March 2006, 14:05:09 UTC.
    FileTime time{};
    UtcCalendarToFileTime(2006, 3, 7, 14, 5, 9, &time);
    return time;
}

void FillSampleCall(CCallInfoDlg& dialog) {
    NVXCallEntry& entry = dialog.entry;
    entry.callType = CallTypeIncoming;
    entry.callerIdType = CallerIdAvailable;
    entry.startTime = SampleStart();
    entry.endTime = MakeFileTime(FileTimeValue(entry.startTime) + 83ULL * 10000000ULL);
    entry.nameText.Assign(u"Grace Hopper");
    entry.numberText.Assign(u"(206) 386-1234");
    entry.dialNumber.Assign(u"2063861234");
    entry.cityText.Assign(u"Seattle");
    entry.stateText.Assign(u"WA");
}

// Runs the dialog; once it is up, prepare() fills it and then it is pictured or left running.
void Run(CDialog& dialog, const std::function<void()>& prepare, const std::string& picture) {
    QTimer::singleShot(0, [&] {
        prepare();
        QApplication::processEvents();
        QApplication::processEvents();
        if (picture.empty()) {
            return;
        }
        if (!phone->Screen()->grab().save(QString::fromStdString(picture), "PNG")) {
            std::fprintf(stderr, "dialogshots: cannot write %s\n", picture.c_str());
        }
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
}

void TypeDigits(CRevLookup& dialog) {
    const unsigned field = dialog.orientation == 2 ? IDC_LOOKUP_NUMBER_LAND : IDC_LOOKUP_NUMBER_PORT;
    QTest::keyClicks(qobject_cast<QLineEdit*>(dialog.GetDlgItem(field)->GetSafeHwnd()), QStringLiteral("206386"));
}

int Render(const std::string& dir) {
    const std::pair<const char*, QSize> shapes[] = {{"portrait", QSize(240, 320)}, {"landscape", QSize(320, 240)}};
    for (const auto& [shape, size] : shapes) {
        phone->Screen()->SetScreenSize(size);
        QApplication::processEvents();
        {
            CCallInfoDlg dialog;
            FillSampleCall(dialog);
            Run(
                dialog, [] {}, dir + "/callinfo-" + shape + ".png");
        }
        {
            CRevLookup dialog;
            Run(
                dialog, [&] { TypeDigits(dialog); }, dir + "/revlookup-" + shape + ".png");
        }
        {
            CAboutDlg dialog;
            Run(
                dialog, [] {}, dir + "/about-" + shape + ".png");
        }
    }
    return 0;
}

bool SaveScreen(const std::string& picture) {
    QApplication::processEvents();
    QApplication::processEvents();
    if (!phone->Screen()->grab().save(QString::fromStdString(picture), "PNG")) {
        std::fprintf(stderr, "dialogshots: cannot write %s\n", picture.c_str());
        return false;
    }
    return true;
}

// Find as a person uses it: the dialog pictured with the text typed, Enter, then the list it leaves.
int RenderFind(QSize size, const std::string& prefix) {
    phone->Screen()->SetScreenSize(size);
    QApplication::processEvents();
    auto* frame = static_cast<CMainFrame*>(AfxGetMainWnd());
    auto* view = frame == nullptr ? nullptr : dynamic_cast<CRinglogView*>(frame->GetActiveView());
    if (view == nullptr) {
        std::fprintf(stderr, "dialogshots: the program has no call list\n");
        return 1;
    }
    bool saved = true;
    QTimer::singleShot(0, [&] {
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (field == nullptr) {
            std::fprintf(stderr, "dialogshots: the Find field has no focus\n");
            saved = false;
            return;
        }
        QTest::keyClicks(field, QStringLiteral("seattle"));
        saved = SaveScreen(prefix + "-find.png") && saved;
        QTest::keyClick(field, Qt::Key_Return);
    });
    view->OnFind();
    saved = SaveScreen(prefix + "-search.png") && saved;
    // The search ended, the first call's number chosen.
    view->ApplySearch(u"");
    view->GetListCtrl().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    view->OnThisNumber();
    saved = SaveScreen(prefix + "-thisnumber.png") && saved;
    return saved ? 0 : 1;
}

bool ParseSize(const char* text, QSize& size) {
    int width = 0;
    int height = 0;
    if (std::sscanf(text, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        return false;
    }
    size = QSize(width, height);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool show = argc == 3 && std::strcmp(argv[1], "--show") == 0;
    const bool find = argc == 5 && std::strcmp(argv[1], "--find") == 0;
    QSize findSize;
    if ((argc != 2 && !show && !find) || (find && !ParseSize(argv[3], findSize))) {
        std::fprintf(stderr,
                     "usage: dialogshots DIR | dialogshots --show lookup | dialogshots --find STORE WxH PREFIX\n");
        return 2;
    }
    if (!show) {
        // The pictures of a phone's screen at a scale factor are taken on a display of its size.
        setenv("QT_QPA_PLATFORM", "offscreen", find ? 0 : 1);
    }
    setenv("TZ", "UTC", 1);
    tzset();
    QApplication app(argc, argv);
    // The program's light palette, whose selection is darker than the window system's.
    ColourScheme::Apply(ColourScheme::kLight);
    PhoneShell shell(false, !show);
    SetCurrentShell(&shell);
    phone = &shell;

    char pattern[] = "/tmp/ringlog-dialogshots-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return 1;
    }
    SetStorePath(find ? std::string(argv[2]) : std::string(pattern) + "/phone.db");
    theApp.appName = u"Zonrik Ringlog";
    if (!theApp.InitInstance()) {
        return 1;
    }
    CityDatabase::Load();

    int result = 0;
    if (show) {
        // Ending stays with whoever started it: the End key and Quit only end the loop below.
        SetEndProcessHook(KeepRunning);
        phone->Screen()->ShowActive();
        CRevLookup dialog;
        Run(
            dialog, [&] { TypeDigits(dialog); }, "");
    } else if (find) {
        result = RenderFind(findSize, argv[4]);
    } else {
        result = Render(argv[1]);
    }
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return result;
}
