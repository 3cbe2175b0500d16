#include "platform/ui/colourscheme.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <optional>

namespace {

ColourScheme::Scheme current = ColourScheme::kLight;
bool applied = false;

// The light palette: the application's own from before the first change, kept for as long as the
// application it belongs to runs, with a darker selection: white on the window system's blue
// (#308cc6) reads only 3.7:1, on this one 5.1:1.
std::optional<QPalette>& LightPalette() {
    static std::optional<QPalette> palette;
    return palette;
}

QPalette WithReadableSelection(QPalette palette) {
    const QColor highlight(0x28, 0x73, 0xaa);
    palette.setColor(QPalette::Active, QPalette::Highlight, highlight);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, highlight);
    return palette;
}

// Every pair of text and its background keeps at least 4.5:1; the placeholder and disabled texts
// are the dimmest and still reach it on the base colour.
QPalette DarkPalette() {
    const QColor window(0x1e, 0x20, 0x24);
    const QColor base(0x16, 0x18, 0x1c);
    const QColor button(0x2a, 0x2d, 0x33);
    const QColor text(0xec, 0xee, 0xf1);
    const QColor dimText(0x9a, 0xa0, 0xa8);
    const QColor highlight(0x3d, 0x6f, 0xb0);
    QPalette palette;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, disabled ? dimText : text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, window);
        palette.setColor(group, QPalette::Text, disabled ? dimText : text);
        palette.setColor(group, QPalette::PlaceholderText, dimText);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, disabled ? dimText : text);
        palette.setColor(group, QPalette::BrightText, QColor(0xff, 0x8a, 0x80));
        palette.setColor(group, QPalette::Highlight, disabled ? button : highlight);
        palette.setColor(group, QPalette::HighlightedText, disabled ? dimText : QColor(Qt::white));
        palette.setColor(group, QPalette::ToolTipBase, button);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        palette.setColor(group, QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
        palette.setColor(group, QPalette::Light, QColor(0x4a, 0x4e, 0x56));
        palette.setColor(group, QPalette::Midlight, QColor(0x3a, 0x3e, 0x46));
        palette.setColor(group, QPalette::Mid, QColor(0x30, 0x33, 0x3a));
        palette.setColor(group, QPalette::Dark, QColor(0x10, 0x11, 0x14));
        palette.setColor(group, QPalette::Shadow, QColor(0x00, 0x00, 0x00));
    }
    return palette;
}

} // namespace

int ColourScheme::Apply(Scheme scheme) {
    if (QCoreApplication::instance() == nullptr) {
        return -1;
    }
    if (!LightPalette().has_value()) {
        LightPalette() = WithReadableSelection(QApplication::palette());
        // A new application starts light again: the palette kept belongs to this one.
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] {
            LightPalette().reset();
            current = kLight;
            applied = false;
        });
    }
    if (applied && scheme == current) {
        return 0;
    }
    applied = true;
    current = scheme;
    QApplication::setPalette(scheme == kDark ? DarkPalette() : *LightPalette());
    return 0;
}

ColourScheme::Scheme ColourScheme::Current() {
    return current;
}

ColourScheme::Scheme ColourScheme::FromDesktopPreference(unsigned preference) {
    return preference == 1 ? kDark : kLight;
}
