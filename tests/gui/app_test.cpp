// The real application object, document, main frame and view on the phone screen: start-up, the
// titles, the main soft-key bar and its menu, and every way the program ends.
#include "tests/support/guitest.h"
#include "tests/support/programstart.h"

#include "app/mainframe.h"
#include "app/ringlogapp.h"
#include "app/ringlogdoc.h"
#include "platform/msgbox/messagebox.h"
#include "platform/resources/resourcemodule.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/shellservices.h"
#include "platform/ui/dialog.h"
#include "platform/ui/singledoctemplate.h"
#include "resources/resource.h"
#include "view/ringlogview.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>
#include <string>
#include <vector>

using namespace guitest;

namespace {

// What the platform does before InitInstance: the application's name from its string resource.
struct MenuEntry {
    std::string text;
    int id;
    int depth;
};

void ReadMenu(QMenu* menu, int depth, std::vector<MenuEntry>& out) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        out.push_back({action->text().toStdString(), CommandOf(action), depth});
        if (action->menu() != nullptr) {
            ReadMenu(action->menu(), depth + 1, out);
        }
    }
}

bool operator==(const MenuEntry& a, const MenuEntry& b) {
    return a.text == b.text && a.id == b.id && a.depth == b.depth;
}

void PrintTo(const MenuEntry& entry, std::ostream* os) {
    *os << "{" << entry.text << ", " << entry.id << ", " << entry.depth << "}";
}

class Application : public testing::Test {
protected:
    void SetUp() override {
        frame = StartProgram();
        ASSERT_NE(frame, nullptr);
        QApplication::processEvents();
    }

    CMainFrame* frame = nullptr;
};

TEST(ApplicationStart, WindowTextIsRinglogUntilTheFirstActivation) {
    NameTheApplication();
    ShellServices::InitShellControls();
    CSingleDocTemplate docTemplate(IDR_MAINFRAME, RuntimeClassOf<CRinglogDoc>(), RuntimeClassOf<CMainFrame>(),
                                   RuntimeClassOf<CRinglogView>());
    CDocument* document = docTemplate.CreateNewDocument();
    ASSERT_NE(document, nullptr);
    CFrameWnd* frame = docTemplate.CreateNewFrame(document);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetWindowText(), u"Ringlog");
    EXPECT_FALSE(Phone()->DoneShown());

    docTemplate.InitialUpdateFrame(frame, document);
    EXPECT_EQ(frame->GetWindowText(), u"Zonrik Ringlog");
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
    EXPECT_TRUE(Phone()->DoneShown());
    EXPECT_EQ(Phone()->DoneOwner(), frame->GetSafeHwnd());
    // The frame and the document were made by hand, not as the application's: they go by hand too.
    frame->DestroyWindow();
    delete frame;
    delete document;
}

TEST_F(Application, StartsWithAnEmptyDocumentTheMainBarAndItsWholeMenu) {
    EXPECT_EQ(theApp.appName, u"Zonrik Ringlog");
    EXPECT_EQ(theApp.registryKey, u"Local AppWizard-Generated Applications");
    CDocument* document = theApp.FirstDocTemplate()->Document();
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(document->GetPathName().empty());
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_TRUE(Phone()->isVisible());
    EXPECT_NE(dynamic_cast<CRinglogView*>(frame->GetActiveView()), nullptr);

    EXPECT_EQ(SoftKey(0)->text(), QStringLiteral("Call"));
    EXPECT_EQ(SoftKey(1)->text(), QStringLiteral("Menu"));
    TapSoftKey(1);
    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<MenuEntry> tree;
    ReadMenu(menu, 0, tree);
    const std::vector<MenuEntry> expected = {
        {"Delete", ID_MENU_DELETE, 0},
        {"Delete All", ID_MENU_DELETEALL, 0},
        {"Undo Delete", ID_MENU_UNDODELETE, 0},
        {"Filter", -1, 0},
        {"All Calls", ID_FILTER_ALLCALLS, 1},
        {"Missed Calls", ID_FILTER_MISSEDCALLS, 1},
        {"Incoming Calls", ID_FILTER_INCOMINGCALLS, 1},
        {"Outgoing Calls", ID_FILTER_OUTGOINGCALLS, 1},
        {"Reverse Lookup", ID_MENU_REVERSELOOKUP, 0},
        {"About", ID_MENU_ABOUT, 0},
        {"Quit", ID_MENU_QUIT, 0},
    };
    EXPECT_EQ(tree, expected);
    EXPECT_TRUE(FindAction(menu, QStringLiteral("Quit"))->isEnabled());
}

// Each way of ending, in a process of its own; each ends at once with code 0.
struct EndingRoute {
    const char* name;
    std::function<void(CMainFrame*)> act;
};

void PrintTo(const EndingRoute& route, std::ostream* os) {
    *os << route.name;
}

class Ending : public Application, public testing::WithParamInterface<EndingRoute> {};

TEST_P(Ending, EndsAtOnceWithCodeZero) {
    GetParam().act(frame);
    ASSERT_TRUE(RecordedExit().has_value());
    EXPECT_EQ(*RecordedExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, Ending,
    testing::Values(EndingRoute{"QuitFromTheMenu",
                                [](CMainFrame*) {
                                    TapSoftKey(1);
                                    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
                                    TapMenuItem(menu, FindAction(menu, QStringLiteral("Quit")));
                                }},
                    EndingRoute{"CloseRequest", [](CMainFrame* frame) { frame->SendCloseRequest(); }},
                    EndingRoute{"ClosingThePhoneWindow", [](CMainFrame*) { Phone()->close(); }},
                    EndingRoute{"CloseSystemCommand", [](CMainFrame* frame) { frame->SendSysCommand(SC_CLOSE); }},
                    EndingRoute{"WindowDestruction", [](CMainFrame* frame) { frame->DestroyWindow(); }},
                    EndingRoute{"EndKeyReleased",
                                [](CMainFrame*) {
                                    QTest::keyPress(Phone(), Qt::Key_F4);
                                    QTest::keyRelease(Phone(), Qt::Key_F4);
                                }},
                    EndingRoute{"EndKeyOfThePhoneBody",
                                [](CMainFrame*) {
                                    QTest::mouseClick(Phone()->findChild<QPushButton*>(QStringLiteral("endKey")),
                                                      Qt::LeftButton);
                                }}),
    [](const testing::TestParamInfo<EndingRoute>& info) { return std::string(info.param.name); });

TEST_F(Application, OtherSystemCommandsTheTalkKeyAndDoneChangeNothing) {
    frame->SendSysCommand(SC_MINIMIZE);
    QTest::keyPress(Phone(), Qt::Key_F3);
    QTest::keyRelease(Phone(), Qt::Key_F3);
    // Done while the frame itself owns it.
    ASSERT_EQ(Phone()->DoneOwner(), frame->GetSafeHwnd());
    QTest::mouseClick(Phone()->NavigationBar()->DoneButton(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(RecordedExit().has_value());
    EXPECT_NE(frame->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
}

TEST_F(Application, TitleAndDoneComeBackAfterADialogAndAfterAnotherProgram) {
    QString titleWhileOpen;
    QTimer::singleShot(0, [&] {
        auto* dialog = static_cast<CDialog*>(CWnd::GetActiveWindow());
        ShellServices::SetNavBarTitle(dialog->GetSafeHwnd(), u"About");
        titleWhileOpen = Phone()->NavTitleText();
        dialog->EndDialog(IDOK);
    });
    CDialog about(IDD_ABOUTBOX, frame->GetActiveView());
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(titleWhileOpen, QStringLiteral("About"));
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
    EXPECT_EQ(Phone()->DoneOwner(), frame->GetSafeHwnd());

    // Another program takes the screen and gives it back.
    ShellServices::ShowDoneButton(frame->GetSafeHwnd(), false);
    frame->SetWindowText(u"elsewhere");
    guitest::LeaveAndComeBack();
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
    EXPECT_TRUE(Phone()->DoneShown());
}

// Opens the main menu's Filter submenu with the keys; the submenu once it is up, or null.
QMenu* OpenFilterSubmenu() {
    TapSoftKey(1);
    QMenu* menu = Phone()->SoftKeys()->OpenMenu();
    QAction* filter = menu != nullptr ? FindAction(menu, QStringLiteral("Filter")) : nullptr;
    if (filter == nullptr || filter->menu() == nullptr) {
        return nullptr;
    }
    menu->setActiveAction(filter);
    QTest::keyClick(menu, Qt::Key_Right);
    bool up = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { up = filter->menu()->isVisible(); });
    poll.start(10);
    ProcessUntil(up, 2000);
    return up ? filter->menu() : nullptr;
}

TEST_F(Application, MenuAndFilterSubmenuOpenInsideThePhonesScreenInBothShapes) {
    for (const QSize shape : {QSize(240, 320), QSize(320, 240)}) {
        SCOPED_TRACE(testing::Message() << shape.width() << " x " << shape.height());
        Phone()->SetScreenSize(shape);
        QApplication::processEvents();
        const ShellRect bounds = CurrentShell()->MenuBounds();
        const QRect screen(bounds.x, bounds.y, bounds.width, bounds.height);
        // The display is larger than the phone: the drawn body stands around the screen.
        ASSERT_EQ(screen.size(), shape);
        EXPECT_GT(screen.left(), Phone()->geometry().left());

        QMenu* filter = OpenFilterSubmenu();
        ASSERT_NE(filter, nullptr);
        QMenu* menu = Phone()->SoftKeys()->OpenMenu();
        EXPECT_TRUE(screen.contains(menu->geometry())) << "menu at " << menu->x() << "," << menu->y();
        EXPECT_TRUE(screen.contains(filter->geometry())) << "submenu at " << filter->x() << "," << filter->y();
        // The submenu opens beside its menu, on the left as the menu stands at the right edge; where
        // the two do not fit side by side it keeps to the screen's left edge, hiding as little of
        // the menu as it can.
        EXPECT_LT(filter->x(), menu->x());
        if (menu->width() + filter->width() <= screen.width()) {
            EXPECT_FALSE(filter->geometry().intersects(menu->geometry()));
        } else {
            EXPECT_EQ(filter->x(), screen.left());
        }
        menu->close();
        QApplication::processEvents();
    }
    Phone()->SetScreenSize(QSize(PhoneScreen::kDefaultScreenWidth, PhoneScreen::kDefaultScreenHeight));
}

TEST(ApplicationStart, MainBarThatCannotBeMadeStopsTheStartWithAMessage) {
    NameTheApplication();
    PhoneScreen::SetMenuLoader([](uint16_t, MenuTemplate&) { return -1; });
    std::vector<std::string> seen;
    Phone()->SetMessageBoxObserver([&](ShellMessageBox& box) {
        seen = {box.Caption().toStdString(), box.Text().toStdString(), std::to_string(box.IconType())};
        box.Press(IDOK);
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(seen, (std::vector<std::string>{"Zonrik Ringlog", "Failed to create empty document.",
                                              std::to_string(MB_ICONEXCLAMATION)}));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_FALSE(RecordedExit().has_value());
    Phone()->SetMessageBoxObserver(nullptr);
    PhoneScreen::SetMenuLoader(nullptr);
}

} // namespace
