#pragma once

// The colour scheme the program is drawn in: the window system's palette, light as it always was or
// a dark one the user chose. The system colours (GetSysColor) and every widget follow it; the
// bitmaps stay as they are.
class ColourScheme {
public:
    enum Scheme : int {
        kLight = 0,
        kDark = 1,
    };

    // Gives the application the scheme's palette. The light one is the palette the application
    // had before the first change with a darker selection, so that a return to light draws exactly
    // as the first light. Returns 0, or -1 when no application runs.
    static int Apply(Scheme scheme);
    static Scheme Current();

    // The desktop's answer for the key "color-scheme" of "org.freedesktop.appearance": 1 prefers
    // dark; 0 (no preference), 2 (prefers light) and anything unknown draw light.
    static Scheme FromDesktopPreference(unsigned preference);
};
