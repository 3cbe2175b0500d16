// Find on the main screen, as a person uses it: the menu item, the dialog, the calls found by name,
// digits, place and accents within the filter, the title while a search is on, the empty text, and
// the ways a search ends.
#include "viewtestenv.h"

#include "dialogs/dialogstate.h"
#include "platform/shell/phonescreen.h"
#include "resources/resource.h"

#include <QAccessible>
#include <QLineEdit>

#include <algorithm>

using namespace viewtest;

namespace {

// Newest first: positions 0 to 5.
std::vector<CallRecordData> SixCalls() {
    return {Call(Utc(2026, 12, 9, 14, 50), u"2063861234", u"Anna Müller", kIncoming),
            Call(Utc(2026, 12, 9, 14, 45), u"+1 (425) 882-0100", nullptr, kMissed),
            Call(Utc(2026, 12, 9, 14, 40), u"2125550100", u"Zoë O'Brien", kOutgoing),
            Call(Utc(2026, 12, 9, 14, 35), u"2063860000", u"Grace Hopper", kMissed),
            Call(Utc(2026, 12, 9, 14, 30), u"4256410000", u"MÜLLER GmbH", kOutgoing),
            Call(Utc(2026, 12, 9, 14, 25), u"9995550100", u"Nowhere Known", kIncoming)};
}

class Find : public ViewTest {
protected:
    void TearDown() override {
        Phone()->SetScreenSize(QSize(PhoneScreen::kDefaultScreenWidth, PhoneScreen::kDefaultScreenHeight));
        ViewTest::TearDown();
    }

    // Chooses Find, types the text into the field and presses Done (or Enter).
    void FindText(const QString& text, bool withEnter = false) {
        bool typed = false;
        WhenDialogUp([&](CDialog&) {
            auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            ASSERT_NE(field, nullptr) << "the field has no focus";
            field->clear();
            // The test's keyboard types ASCII only; other letters come as an input method gives them.
            for (const QChar c : text) {
                if (c.unicode() < 0x80) {
                    QTest::keyClicks(field, QString(c));
                } else {
                    field->insert(QString(c));
                }
            }
            typed = true;
            if (withEnter) {
                QTest::keyClick(field, Qt::Key_Return);
            } else {
                Phone()->PressDone();
            }
        });
        ChooseFromMenu(QStringLiteral("Find"));
        EXPECT_TRUE(typed);
        Settle();
    }
};

TEST_F(Find, FindsByNameDigitsPlaceAndAccentsWithTheTitleShowingTheSearch) {
    Start(SixCalls());
    const struct {
        const char16_t* text;
        std::vector<int> positions;
    } cases[] = {
        {u"muller", {0, 4}},                      // accents and case folded, in either direction
        {u"Müller", {0, 4}},   {u"2063", {0, 3}}, // digits whatever the punctuation of "(206) 386-1234"
        {u"882-01", {1}},      {u"1 425", {1}},   // the number as the log holds it, with its country code
        {u"seattle", {0, 3}},                     // the place the city database gives
        {u"redmond, wa", {1}}, {u"zoe", {2}},     {u"0100", {1, 2, 5}},
    };
    for (const auto& each : cases) {
        const QString text = QString::fromStdU16String(each.text);
        SCOPED_TRACE(text.toStdString());
        FindText(text);
        EXPECT_EQ(ItemData(), each.positions);
        EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Find: ") + text);
        EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    }
}

TEST_F(Find, EnterConfirmsAndTheFieldOpensWithTheSearchThatIsOn) {
    Start(SixCalls());
    FindText(QStringLiteral("hopper"), true);
    EXPECT_EQ(ItemData(), std::vector<int>{3});
    QString shown;
    WhenDialogUp([&](CDialog&) {
        shown = qobject_cast<QLineEdit*>(QApplication::focusWidget())->text();
        Phone()->PressDone();
    });
    ChooseFromMenu(QStringLiteral("Find"));
    EXPECT_EQ(shown, QStringLiteral("hopper"));
    EXPECT_EQ(ItemData(), std::vector<int>{3});
}

TEST_F(Find, SearchesWithinTheFilterAndKeepsToTheCallsHeldWithoutReading) {
    Start(SixCalls());
    ChooseFromMenu(QStringLiteral("Missed Calls"), QStringLiteral("Filter"));
    Settle();
    // A call added behind the program's back is not read for the search.
    AddCalls({Call(Utc(2026, 12, 9, 14, 55), u"2063869999", u"Late Seattle", kMissed)});
    FindText(QStringLiteral("2063"));
    EXPECT_EQ(ItemData(), std::vector<int>{3});
    EXPECT_EQ(LastDialogKind, kDialogNone);
    // Another filter keeps the search.
    ChooseFromMenu(QStringLiteral("Outgoing Calls"), QStringLiteral("Filter"));
    Settle();
    FindText(QStringLiteral("muller"));
    EXPECT_EQ(ItemData(), std::vector<int>{4});
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Find: muller"));
}

TEST_F(Find, NoMatchShowsNoMatchingCallsAndDisablesDelete) {
    Start(SixCalls());
    FindText(QStringLiteral("nobody here"));
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_EQ(List()->EmptyText(), u"No Matching Calls");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(List())->text(QAccessible::Description),
              QStringLiteral("No Matching Calls"));
    EXPECT_FALSE(MenuItemEnabled(QStringLiteral("Delete")));
}

TEST_F(Find, AnEmptyFindOrAllCallsEndsTheSearchEvenWhenAllCallsIsChecked) {
    Start(SixCalls());
    FindText(QStringLiteral("seattle"));
    ASSERT_EQ(ItemData(), (std::vector<int>{0, 3}));
    FindText(QString());
    EXPECT_EQ(Rows().GetItemCount(), 6);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));

    FindText(QStringLiteral("seattle"));
    ASSERT_EQ(Rows().GetItemCount(), 2);
    ChooseFromMenu(QStringLiteral("All Calls"), QStringLiteral("Filter"));
    Settle();
    EXPECT_EQ(Rows().GetItemCount(), 6);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
    // Blanks alone are no search either.
    FindText(QStringLiteral("   "));
    EXPECT_EQ(Rows().GetItemCount(), 6);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Zonrik Ringlog"));
}

TEST_F(Find, TheTitleStaysAfterAnotherDialogAndAReload) {
    Start(SixCalls());
    FindText(QStringLiteral("seattle"));
    WhenDialogUp([](CDialog&) { Phone()->PressDone(); });
    ChooseFromMenu(QStringLiteral("About"));
    Settle();
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Find: seattle"));
    // The phone's window carries the title too: it is what a screen reader reads of the screen.
    EXPECT_EQ(Phone()->windowTitle(), QStringLiteral("Find: seattle"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Phone())->text(QAccessible::Name), QStringLiteral("Find: seattle"));
    // Coming back from another program reads the log again; the search applies to what it reads.
    AddCalls({Call(Utc(2026, 12, 9, 14, 55), u"2063869999", u"Late Caller", kMissed)});
    LeaveAndComeBack();
    Settle();
    EXPECT_EQ(Rows().GetItemCount(), 3);
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Find: seattle"));
}

TEST_F(Find, ALongSearchIsCutToFitTheTitleInBothShapes) {
    Start(SixCalls());
    const QString text = QStringLiteral("a search far too long for the bar");
    for (const QSize shape : {QSize(240, 320), QSize(320, 240)}) {
        SCOPED_TRACE(shape.width());
        Phone()->SetScreenSize(shape);
        Settle();
        FindText(text);
        const QString title = Phone()->NavTitleText();
        EXPECT_TRUE(title.startsWith(QStringLiteral("Find: a"))) << title.toStdString();
        EXPECT_TRUE(title.endsWith(QChar(0x2026))) << title.toStdString();
        EXPECT_LT(title.size(), QString(QStringLiteral("Find: ") + text).size());
        // What is left fits the width the bar keeps for it.
        EXPECT_LE(QFontMetrics(QFont()).horizontalAdvance(title), shape.width() - 100);
    }
}

TEST_F(Find, DeleteUnderASearchRemovesTheSelectedFoundCallAndKeepsTheSearch) {
    Start(SixCalls());
    FindText(QStringLiteral("muller"));
    ASSERT_EQ(ItemData(), (std::vector<int>{0, 4}));
    Key(Qt::Key_Down);
    ChooseFromMenu(QStringLiteral("Delete"));
    Settle();
    // "MÜLLER GmbH" went from the phone; the search still shows the other Müller alone.
    std::vector<std::u16string> names;
    for (const CallRecordData& call : StoredCalls()) {
        names.push_back(call.name.value_or(u""));
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), u"MÜLLER GmbH"), 0);
    EXPECT_EQ(names.size(), 5u);
    EXPECT_EQ(ItemData(), std::vector<int>{0});
    EXPECT_EQ(Phone()->NavTitleText(), QStringLiteral("Find: muller"));
    // Deleting the last one found leaves the search on, with nothing to show.
    ChooseFromMenu(QStringLiteral("Delete"));
    Settle();
    EXPECT_EQ(Rows().GetItemCount(), 0);
    EXPECT_EQ(List()->EmptyText(), u"No Matching Calls");
    EXPECT_EQ(StoredCalls().size(), 4u);
}

} // namespace
