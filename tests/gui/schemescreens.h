#pragma once
// Every screen of the program as the phone shows it, taken as pictures with the places of their
// texts, so that a test can measure each text against its background: the list with a selected
// row, the main menu, Call Info, Reverse Lookup, Find, About and a message box.
#include "viewtestenv.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/ui/colourscheme.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>
#include <cmath>
#include <map>

namespace schemescreens {

using namespace viewtest;

// A picture of a screen and the rectangles in it that show a text, each named for the failure message.
struct Shot {
    std::string name;
    QImage picture;
    std::vector<std::pair<std::string, QRect>> texts;
};

inline QWidget* ScreenWidget() {
    return Phone()->findChild<QWidget*>(QStringLiteral("screen"));
}

// The texts the widgets under root show, in root's coordinates. Disabled controls are left out: an
// inactive control is greyed on purpose and carries no contrast requirement.
inline std::vector<std::pair<std::string, QRect>> WidgetTexts(QWidget* root) {
    std::vector<std::pair<std::string, QRect>> texts;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || !widget->isEnabled()) {
            continue;
        }
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            text = edit->text();
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            text = combo->currentText();
        }
        // A mark without a letter or digit (the navigation bar's logo) is a picture, not a text.
        if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); })) {
            continue;
        }
        // The inside of the control, away from its frame, whose line is no text.
        const QRect inner = widget->contentsRect().adjusted(2, 2, -2, -2);
        texts.emplace_back(widget->objectName().toStdString() + " \"" + text.toStdString() + "\"",
                           QRect(widget->mapTo(root, inner.topLeft()), inner.size()));
    }
    return texts;
}

inline Shot ScreenShot(const std::string& name) {
    QApplication::processEvents();
    QWidget* screen = ScreenWidget();
    Shot shot{name, screen->grab().toImage(), WidgetTexts(screen)};
    return shot;
}

// The screens, in the scheme the application has now; the list holds nine calls, the first selected.
class SchemeScreens : public ViewTest {
protected:
    // The program's light palette, as it has from its start.
    void SetUp() override {
        ViewTest::SetUp();
        ColourScheme::Apply(ColourScheme::kLight);
    }

    std::vector<Shot> TakeEveryScreen() {
        Start(NineCalls());
        return TakeEveryScreenAgain();
    }

    // The same pictures of the program already running; every screen is closed again without a change.
    std::vector<Shot> TakeEveryScreenAgain() {
        std::vector<Shot> shots;
        Settle();
        Shot list = ScreenShot("list");
        const QPoint listOrigin = List()->mapTo(ScreenWidget(), QPoint(0, 0));
        for (int row = 0; row < Rows().GetItemCount() && row < 6; ++row) {
            CRect bounds;
            Rows().GetSubItemRect(row, 1, LVIR_BOUNDS, bounds);
            list.texts.emplace_back(
                "row " + std::to_string(row),
                QRect(listOrigin.x() + bounds.left, listOrigin.y() + bounds.top, bounds.Width(), bounds.Height()));
        }
        shots.push_back(list);

        guitest::TapSoftKey(1);
        QMenu* menu = Phone()->SoftKeys()->OpenMenu();
        if (menu != nullptr) {
            Shot menuShot{"menu", menu->grab().toImage(), {}};
            for (QAction* action : menu->actions()) {
                if (!action->text().isEmpty() && action->isEnabled() && !action->isSeparator()) {
                    menuShot.texts.emplace_back(action->text().toStdString(),
                                                menu->actionGeometry(action).adjusted(2, 1, -2, -1));
                }
            }
            shots.push_back(menuShot);
            menu->close();
            QApplication::processEvents();
        }

        WhenDialogUp([&shots](CDialog&) {
            shots.push_back(ScreenShot("call info"));
            Phone()->PressDone();
        });
        Key(Qt::Key_Return);
        for (const auto& [item, shotName] :
             std::vector<std::pair<QString, std::string>>{{QStringLiteral("Reverse Lookup"), "reverse lookup"},
                                                          {QStringLiteral("Find"), "find"},
                                                          {QStringLiteral("About"), "about"}}) {
            const std::string named = shotName;
            WhenDialogUp([&shots, named](CDialog& dialog) {
                shots.push_back(ScreenShot(named));
                dialog.EndDialog(IDCANCEL);
            });
            ChooseFromMenu(item);
        }

        // Behind a message box the screen is shaded on purpose: only the box's own texts are read.
        Phone()->SetMessageBoxObserver([&shots](ShellMessageBox& box) {
            Shot shot = ScreenShot("message box");
            shot.texts = WidgetTexts(&box);
            for (auto& text : shot.texts) {
                text.second.translate(box.mapTo(ScreenWidget(), QPoint(0, 0)));
            }
            shots.push_back(shot);
            box.Dismiss();
        });
        ChooseFromMenu(QStringLiteral("Delete All"));
        Phone()->SetMessageBoxObserver(nullptr);
        return shots;
    }
};

// The relative luminance of a colour and the contrast of two, as the accessibility guidelines
// define them.
inline double Luminance(QRgb colour) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

inline double Contrast(QRgb first, QRgb second) {
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The colour most of a rectangle of a picture has: the background of the text in it.
inline QRgb Background(const QImage& picture, const QRect& area) {
    std::map<QRgb, int> counts;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ++counts[picture.pixel(x, y) | 0xFF000000u];
        }
    }
    QRgb background = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            background = colour;
            most = count;
        }
    }
    return background;
}

// A text's contrast in a picture: against its background, the pixel farthest from it (a glyph's
// stem is drawn in the text's full colour). 1 for a rectangle without a text.
inline double TextContrast(const QImage& picture, const QRect& area) {
    const QRgb background = Background(picture, area);
    const QRect inside = area.intersected(picture.rect());
    double best = 1.0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            best = std::max(best, Contrast(background, picture.pixel(x, y) | 0xFF000000u));
        }
    }
    return best;
}

} // namespace schemescreens
