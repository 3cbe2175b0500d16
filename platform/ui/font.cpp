#include "platform/ui/font.h"

#include "platform/text/textqt.h"

#include <QFont>
#include <QFontInfo>

#include <cmath>

const char16_t* CFont::MapFaceName(const char16_t* faceName) {
    // The phone's dialog and system faces are narrow: the condensed face gives dialog base units of
    // 6 by 13 pixels at 8 points, so a 156-unit dialog fits a 240-pixel screen as on the phone.
    static const char16_t* const phoneFaces[] = {u"MS Shell Dlg", u"MS Shell Dlg 2", u"MS Sans Serif",
                                                 u"Tahoma",       u"Arial",          u"System"};
    for (const char16_t* face : phoneFaces) {
        if (TextEquals(face, faceName)) {
            return u"DejaVu Sans Condensed";
        }
    }
    return faceName == nullptr || faceName[0] == u'\0' ? u"DejaVu Sans" : faceName;
}

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreateFontIndirect(const LOGFONT& description) {
    auto created = std::make_unique<QFont>(ToQString(MapFaceName(description.faceName.Data())));
    // Height 0 is the default size; a positive height is the cell, a negative one the character.
    created->setPixelSize(description.height == 0 ? 12 : std::abs(description.height));
    created->setWeight(static_cast<QFont::Weight>(std::clamp(description.weight, 100, 900)));
    created->setItalic(description.italic);
    font = std::move(created);
    return true;
}

bool CFont::CreatePointFont(int pointSize, const char16_t* faceName) {
    LOGFONT description;
    description.height = -static_cast<int>(std::lround(pointSize * 96.0 / 720.0));
    description.faceName.Assign(faceName);
    return CreateFontIndirect(description);
}

int CFont::GetLogFont(LOGFONT& description) const {
    if (font == nullptr) {
        return 0;
    }
    description = LOGFONT{};
    // A font set in points (the toolkit's default) has no pixel size of its own: take the one drawn.
    const int pixels = font->pixelSize() > 0 ? font->pixelSize() : QFontInfo(*font).pixelSize();
    description.height = -pixels;
    description.weight = font->weight();
    description.italic = font->italic();
    FromQString(description.faceName, font->family());
    return static_cast<int>(sizeof(LOGFONT));
}

void CFont::DeleteObject() {
    font.reset();
}

void CFont::Assign(const QFont& qfont) {
    font = std::make_unique<QFont>(qfont);
}
