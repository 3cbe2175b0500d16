// The reverse lookup dialog over the real main frame: the lookup as the digits are typed, both
// control sets and the screen turn, Clear, Done and the End key.
#include "tests/dialogs/dialogtest.h"

#include "dialogs/revlookup.h"
#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellservices.h"
#include "resources/resource.h"

#include <QGuiApplication>
#include <QInputMethodQueryEvent>
#include <QPushButton>

namespace {

using namespace dialogtest;

constexpr const char* kNotAvailable = "City and State information not available";

class RevLookup : public DialogTest {
protected:
    void TearDown() override {
        if (ShellServices::GetScreenSize().width != kDefaultScreenSize.width) {
            TheShell().SetScreenSize(kDefaultScreenSize);
        }
        DialogTest::TearDown();
    }

    int Open(const std::function<void(CRevLookup&)>& whileOpen) {
        CRevLookup dialog;
        return RunWhileOpen(dialog, [&] { whileOpen(dialog); });
    }

    static void Type(const CDialog& dialog, unsigned field, const char* keys) {
        QTest::keyClicks(Control<QLineEdit>(dialog, field), QString::fromLatin1(keys));
    }
};

TEST_F(RevLookup, OpensInPortraitWithTheFocusInItsEmptyNumberField) {
    Open([&](CRevLookup& dialog) {
        EXPECT_EQ(TheShell().NavTitleText(), QStringLiteral("Reverse Lookup"));
        EXPECT_EQ(dialog.orientation, 1);
        EXPECT_EQ(LastDialogKind, kDialogReverseLookup);
        for (unsigned id : {IDC_LOOKUP_HEADLINE_PORT, IDC_LOOKUP_PROMPT_PORT, IDC_LOOKUP_NUMBER_PORT,
                            IDC_LOOKUP_CLEAR_PORT, IDC_LOOKUP_RESULT_PORT, IDC_LOOKUP_LOGO_PORT}) {
            EXPECT_TRUE(IsShown(dialog, id)) << id;
        }
        for (unsigned id : {IDC_LOOKUP_HEADLINE_LAND, IDC_LOOKUP_PROMPT_LAND, IDC_LOOKUP_NUMBER_LAND,
                            IDC_LOOKUP_CLEAR_LAND, IDC_LOOKUP_RESULT_LAND, IDC_LOOKUP_LOGO_LAND}) {
            EXPECT_FALSE(IsShown(dialog, id)) << id;
        }
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_PORT));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_HEADLINE_PORT), QStringLiteral("City and State Reverse Lookup"));
        // The headline stays on one line, whole.
        const QLabel* headline = Control<QLabel>(dialog, IDC_LOOKUP_HEADLINE_PORT);
        EXPECT_FALSE(headline->wordWrap());
        EXPECT_GE(headline->width(), headline->fontMetrics().horizontalAdvance(headline->text()));
        EXPECT_EQ(headline->x(), 45) << "30 dialog units at 1.5 pixels";
        EXPECT_TRUE(Control<QLabel>(dialog, IDC_LOOKUP_RESULT_PORT)->wordWrap());
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_PORT), QString());
        TheShell().PressDone();
    });
    EXPECT_EQ(LastDialogKind, kDialogReverseLookup);
}

TEST_F(RevLookup, SixthDigitShowsTheCityAtOnceAndAFifthEmptiesItAgain) {
    Open([&](CRevLookup& dialog) {
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "20638");
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QString());
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "6");
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QStringLiteral("Seattle, WA"));
        // At most six digits; letters are not taken.
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "1a");
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_PORT), QStringLiteral("206386"));
        QTest::keyClick(Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_PORT), Qt::Key_Backspace);
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QString());
        TheShell().PressDone();
    });
}

TEST_F(RevLookup, UnknownCodesAndExchangesAreNotAvailable) {
    const std::pair<const char*, const char*> rows[] = {{"425882", "Redmond, WA"}, {"425641", "Bellevue, WA"},
                                                        {"000386", kNotAvailable}, {"206000", kNotAvailable},
                                                        {"206555", kNotAvailable}, {"999999", kNotAvailable}};
    Open([&](CRevLookup& dialog) {
        for (const auto& [digits, result] : rows) {
            SCOPED_TRACE(digits);
            dialog.SetDlgItemText(IDC_LOOKUP_NUMBER_PORT, u"");
            Type(dialog, IDC_LOOKUP_NUMBER_PORT, digits);
            EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QString::fromLatin1(result));
        }
        TheShell().PressDone();
    });
}

TEST_F(RevLookup, WithoutTheDatabaseEverySixDigitsAreNotAvailable) {
    CityDatabase::Unload();
    Open([&](CRevLookup& dialog) {
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "206386");
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QString::fromLatin1(kNotAvailable));
        EXPECT_TRUE(TheShell().MessageBoxes().empty());
        TheShell().PressDone();
    });
    EXPECT_FALSE(RecordedExit().has_value());
}

TEST_F(RevLookup, TurnCarriesTheDigitsAndTheResultToTheOtherSet) {
    Open([&](CRevLookup& dialog) {
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "206386");
        TurnScreen();
        EXPECT_EQ(dialog.orientation, 2);
        EXPECT_TRUE(IsShown(dialog, IDC_LOOKUP_NUMBER_LAND));
        EXPECT_FALSE(IsShown(dialog, IDC_LOOKUP_NUMBER_PORT));
        EXPECT_TRUE(IsShown(dialog, IDC_LOOKUP_CLEAR_LAND));
        EXPECT_FALSE(IsShown(dialog, IDC_LOOKUP_CLEAR_PORT));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_LAND), QStringLiteral("206386"));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_LAND), QStringLiteral("Seattle, WA"));
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_LAND));

        // Five digits typed in landscape go back to portrait, with no result on either side.
        QTest::keyClick(Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_LAND), Qt::Key_Backspace);
        TurnScreen();
        EXPECT_EQ(dialog.orientation, 1);
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_PORT), QStringLiteral("20638"));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QString());
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_LAND), QString());
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_PORT));
        TheShell().PressDone();
    });
}

TEST_F(RevLookup, SecondResizeInTheSameShapeLeavesTheFieldAsTheUserLeftIt) {
    Open([&](CRevLookup& dialog) {
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "206386");
        TurnScreen();
        dialog.SetDlgItemText(IDC_LOOKUP_NUMBER_LAND, u"");
        Type(dialog, IDC_LOOKUP_NUMBER_LAND, "425882");
        // Wider, still landscape: the portrait digits are not copied again.
        TheShell().SetScreenSize(ScreenSize{400, 240});
        QApplication::processEvents();
        EXPECT_EQ(dialog.GetSafeHwnd()->width(), 400);
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_LAND), QStringLiteral("425882"));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_LAND), QStringLiteral("Redmond, WA"));
        TheShell().PressDone();
    });
}

TEST_F(RevLookup, OpenedOnALandscapeScreenShowsTheLandscapeSetEmpty) {
    TurnScreen();
    Open([&](CRevLookup& dialog) {
        EXPECT_EQ(dialog.orientation, 2);
        EXPECT_TRUE(IsShown(dialog, IDC_LOOKUP_NUMBER_LAND));
        EXPECT_TRUE(IsShown(dialog, IDC_LOOKUP_LOGO_LAND));
        EXPECT_FALSE(IsShown(dialog, IDC_LOOKUP_LOGO_PORT));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_LAND), QString());
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_LAND), QString());
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_LAND));
        TheShell().PressDone();
    });
}

TEST_F(RevLookup, ClearEmptiesFieldAndResultAndKeepsTheFocusInTheField) {
    Open([&](CRevLookup& dialog) {
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "206386");
        QTest::mouseClick(Control<QPushButton>(dialog, IDC_LOOKUP_CLEAR_PORT), Qt::LeftButton);
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_PORT), QString());
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QString());
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_PORT));
        // Typing goes on in the field.
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("425641"));
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_PORT), QStringLiteral("Bellevue, WA"));

        TurnScreen();
        QTest::mouseClick(Control<QPushButton>(dialog, IDC_LOOKUP_CLEAR_LAND), Qt::LeftButton);
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_LAND), QString());
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_RESULT_LAND), QString());
        EXPECT_EQ(QApplication::focusWidget(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_LAND));
        TheShell().PressDone();
    });
}

TEST_F(RevLookup, EndKeyEndsTheProgramWithCodeZeroAndTalkDoesNothing) {
    Open([&](CRevLookup& dialog) {
        Type(dialog, IDC_LOOKUP_NUMBER_PORT, "206");
        TheShell().PressTalkKey();
        EXPECT_FALSE(RecordedExit().has_value());
        EXPECT_EQ(TextOf(dialog, IDC_LOOKUP_NUMBER_PORT), QStringLiteral("206"));
        PressEndKey();
        ASSERT_TRUE(RecordedExit().has_value());
        EXPECT_EQ(*RecordedExit(), 0);
        dialog.EndDialog(IDCANCEL);
    });
}

// What an on-screen keyboard asks of the focused field, as the input method asks it.
Qt::InputMethodHints HintsOfTheFocusedField() {
    QObject* focused = QGuiApplication::focusObject();
    if (focused == nullptr) {
        return Qt::ImhNone;
    }
    QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImHints);
    QCoreApplication::sendEvent(focused, &query);
    if (!query.value(Qt::ImEnabled).toBool()) {
        return Qt::ImhNone;
    }
    return Qt::InputMethodHints(query.value(Qt::ImHints).toInt());
}

TEST_F(RevLookup, NumberFieldsAskTheOnScreenKeyboardForDigitsInBothShapes) {
    Open([&](CRevLookup& dialog) {
        ASSERT_EQ(QGuiApplication::focusObject(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_PORT));
        EXPECT_TRUE(HintsOfTheFocusedField().testFlag(Qt::ImhDigitsOnly));
        EXPECT_TRUE(HintsOfTheFocusedField().testFlag(Qt::ImhNoPredictiveText));
        TurnScreen();
        ASSERT_EQ(QGuiApplication::focusObject(), Control<QLineEdit>(dialog, IDC_LOOKUP_NUMBER_LAND));
        EXPECT_TRUE(HintsOfTheFocusedField().testFlag(Qt::ImhDigitsOnly));
        TheShell().PressDone();
    });
}

} // namespace
