#pragma once

#include <cstdint>
#include <string>

// The small value types and constants of the window framework.

struct CPoint {
    int x = 0;
    int y = 0;
};

struct CSize {
    int cx = 0;
    int cy = 0;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// What a window is created with; PreCreateWindow may change it.
struct CREATESTRUCT {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    unsigned id = 0;
    std::u16string name;
};

// Window styles.
enum : uint32_t {
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_BORDER = 0x00800000,
    WS_TABSTOP = 0x00010000,
};

// Static control styles.
enum : uint32_t {
    SS_LEFT = 0x00,
    SS_CENTER = 0x01,
    SS_RIGHT = 0x02,
    SS_ICON = 0x03,
    SS_LEFTNOWORDWRAP = 0x0C,
    SS_BITMAP = 0x0E,
    SS_TYPEMASK = 0x1F,
};

// Button styles.
enum : uint32_t {
    BS_DEFPUSHBUTTON = 0x01,
    BS_CHECKBOX = 0x02,
    BS_AUTOCHECKBOX = 0x03,
    BS_RADIOBUTTON = 0x04,
    BS_GROUPBOX = 0x07,
    BS_AUTORADIOBUTTON = 0x09,
    BS_TYPEMASK = 0x0F,
};

// Edit control styles.
enum : uint32_t {
    ES_CENTER = 0x0001,
    ES_RIGHT = 0x0002,
    ES_PASSWORD = 0x0020,
    ES_READONLY = 0x0800,
    ES_NUMBER = 0x2000,
};

// Notification codes a control sends to its dialog.
enum : unsigned {
    EN_CHANGE = 0x0300,
};

// What kind of control asks its dialog for its colours (OnCtlColor).
enum : unsigned {
    CTLCOLOR_EDIT = 1,
    CTLCOLOR_BTN = 3,
    CTLCOLOR_STATIC = 6,
};

// Dialog template style: the template names its font.
enum : uint32_t {
    DS_SETFONT = 0x40,
};

// Show commands.
enum : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOW = 5,
};

// Activation states of OnActivate.
enum : unsigned {
    WA_INACTIVE = 0,
    WA_ACTIVE = 1,
    WA_CLICKACTIVE = 2,
};

// System commands of OnSysCommand.
enum : unsigned {
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_CLOSE = 0xF060,
};

// Identifiers the framework itself gives: the first view pane of a frame, the command bar.
enum : unsigned {
    AFX_IDW_PANE_FIRST = 0xE900,
    ID_COMMANDBAR = 0xE800,
};
