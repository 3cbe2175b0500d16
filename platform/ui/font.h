#pragma once

#include "platform/text/textops.h"

#include <memory>

class QFont;

// A font's description: height in pixels (negative: the character height), weight 100..900.
struct LOGFONT {
    int height = 0;
    int width = 0;
    int weight = 400;
    bool italic = false;
    FixedText<32> faceName;
};
static_assert(sizeof(FixedText<32>) == 64, "a face name holds 32 UTF-16 characters");

// A font made from a description. Faces this machine lacks are mapped to ones it has.
class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    bool CreateFontIndirect(const LOGFONT& description);
    // pointSize in tenths of a point, at the screen's 96 dots per inch.
    bool CreatePointFont(int pointSize, const char16_t* faceName);
    int GetLogFont(LOGFONT& description) const;
    void DeleteObject();
    bool IsValid() const { return font != nullptr; }

    const QFont* Font() const { return font.get(); }
    void Assign(const QFont& qfont);

    // The face this machine draws for a face a template or description asks for.
    static const char16_t* MapFaceName(const char16_t* faceName);

private:
    std::unique_ptr<QFont> font;
};
