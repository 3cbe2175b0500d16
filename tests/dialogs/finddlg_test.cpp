// The Find dialog over the real main frame: its title and field, the focus and the keyboard it asks
// for in both shapes, Done and Enter giving the typed text, the kind it records, and the End key.
#include "tests/dialogs/dialogtest.h"

#include "dialogs/finddlg.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellservices.h"
#include "resources/resource.h"

#include <QGuiApplication>
#include <QInputMethodQueryEvent>

namespace {

using namespace dialogtest;

class FindDlg : public DialogTest {
protected:
    void TearDown() override {
        if (ShellServices::GetScreenSize().width != kDefaultScreenSize.width) {
            TheShell().SetScreenSize(kDefaultScreenSize);
        }
        DialogTest::TearDown();
    }

    QLineEdit* Field(const CDialog& dialog) { return Control<QLineEdit>(dialog, IDC_FIND_TEXT); }
};

// What an on-screen keyboard asks of the focused field.
Qt::InputMethodHints HintsOfTheFocusedField(bool* enabled) {
    QObject* focused = QGuiApplication::focusObject();
    *enabled = false;
    if (focused == nullptr) {
        return Qt::ImhNone;
    }
    QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImHints);
    QCoreApplication::sendEvent(focused, &query);
    *enabled = query.value(Qt::ImEnabled).toBool();
    return Qt::InputMethodHints(query.value(Qt::ImHints).toInt());
}

TEST_F(FindDlg, OpensTitledFindWithTheFocusInItsEmptyTextFieldInBothShapes) {
    for (bool landscape : {false, true}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        if (landscape) {
            TurnScreen();
        }
        CFindDlg dialog;
        RunWhileOpen(dialog, [&] {
            EXPECT_EQ(TheShell().NavTitleText(), QStringLiteral("Find"));
            EXPECT_EQ(LastDialogKind, kDialogFind);
            EXPECT_TRUE(TheShell().DoneShown());
            ASSERT_NE(Field(dialog), nullptr);
            EXPECT_TRUE(IsShown(dialog, IDC_FIND_TEXT));
            EXPECT_EQ(QApplication::focusWidget(), Field(dialog));
            EXPECT_EQ(TextOf(dialog, IDC_FIND_TEXT), QString());
            // The whole field is on the screen, whatever its shape.
            const QRect field = Field(dialog)->geometry();
            EXPECT_LE(field.right(), dialog.GetSafeHwnd()->width());
            EXPECT_GT(field.width(), 100);
            // Letters, not the number pad.
            bool enabled = false;
            const Qt::InputMethodHints hints = HintsOfTheFocusedField(&enabled);
            EXPECT_TRUE(enabled);
            EXPECT_FALSE(hints.testFlag(Qt::ImhDigitsOnly));
            EXPECT_FALSE(hints.testFlag(Qt::ImhDialableCharactersOnly));
            TheShell().PressDone();
        });
    }
}

TEST_F(FindDlg, DoneAndEnterGiveTheTypedTextAndRecordTheFindKind) {
    {
        CFindDlg dialog;
        const int result = RunWhileOpen(dialog, [&] {
            // The test's keyboard types ASCII only; the rest comes as an input method gives it.
            QTest::keyClicks(Field(dialog), QStringLiteral("M"));
            Field(dialog)->insert(QStringLiteral("üller"));
            TheShell().PressDone();
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(std::u16string(dialog.text.Data()), u"Müller");
        EXPECT_EQ(LastDialogKind, kDialogFind);
    }
    LastDialogKind = kDialogNone;
    {
        CFindDlg dialog;
        const int result = RunWhileOpen(dialog, [&] {
            QTest::keyClicks(Field(dialog), QStringLiteral("2063"));
            QTest::keyClick(Field(dialog), Qt::Key_Return);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(std::u16string(dialog.text.Data()), u"2063");
        EXPECT_EQ(LastDialogKind, kDialogFind);
    }
}

TEST_F(FindDlg, OpensWithTheSearchThatIsOnAndTakesAnEmptyFieldToEndIt) {
    CFindDlg dialog;
    dialog.text.Assign(u"seattle");
    const int result = RunWhileOpen(dialog, [&] {
        EXPECT_EQ(TextOf(dialog, IDC_FIND_TEXT), QStringLiteral("seattle"));
        Field(dialog)->clear();
        TheShell().PressDone();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(dialog.text.IsEmpty());
}

TEST_F(FindDlg, TakesNoMoreThanTheSearchKeeps) {
    CFindDlg dialog;
    RunWhileOpen(dialog, [&] {
        QTest::keyClicks(Field(dialog), QString(80, QLatin1Char('x')));
        EXPECT_EQ(TextOf(dialog, IDC_FIND_TEXT).size(), static_cast<qsizetype>(CallSearch::kMaxTyped));
        TheShell().PressDone();
    });
    EXPECT_EQ(dialog.text.Length(), CallSearch::kMaxTyped);
}

TEST_F(FindDlg, TurningTheScreenKeepsTheTextAndTheFocusInTheField) {
    CFindDlg dialog;
    RunWhileOpen(dialog, [&] {
        QTest::keyClicks(Field(dialog), QStringLiteral("seat"));
        TurnScreen();
        EXPECT_EQ(QApplication::focusWidget(), Field(dialog));
        EXPECT_EQ(TextOf(dialog, IDC_FIND_TEXT), QStringLiteral("seat"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("tle"));
        TheShell().PressDone();
    });
    EXPECT_EQ(std::u16string(dialog.text.Data()), u"seattle");
}

TEST_F(FindDlg, EndKeyEndsTheProgramWithCodeZeroAndTalkDoesNothing) {
    CFindDlg dialog;
    RunWhileOpen(dialog, [&] {
        QTest::keyClicks(Field(dialog), QStringLiteral("ab"));
        TheShell().PressTalkKey();
        EXPECT_FALSE(RecordedExit().has_value());
        PressEndKey();
        ASSERT_TRUE(RecordedExit().has_value());
        EXPECT_EQ(*RecordedExit(), 0);
        dialog.EndDialog(IDCANCEL);
    });
}

} // namespace
