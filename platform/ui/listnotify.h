#pragma once

#include "platform/ui/wintypes.h"

#include <cstdint>

class CDC;
class CWnd;

using LRESULT = intptr_t;

// What a list control and its owner say to each other: the list's styles, the states of its rows,
// the codes and structures of the requests it answers, the notifications it sends and the window
// message its owner gets when it moves.

// List styles: the view (report), one selected row at most, owner-drawn rows of one fixed height,
// no column header.
enum : uint32_t {
    LVS_REPORT = 0x0001,
    LVS_SINGLESEL = 0x0004,
    LVS_OWNERDRAWFIXED = 0x0400,
    LVS_NOCOLUMNHEADER = 0x4000,
    LVS_LISTBITS = 0xFFFF,
};

// Extended list styles.
enum : uint32_t {
    LVS_EX_FULLROWSELECT = 0x00000020,
    LVS_EX_NOHSCROLL = 0x10000000,
};

// Row states.
enum : unsigned {
    LVIS_FOCUSED = 0x0001,
    LVIS_SELECTED = 0x0002,
};

// Which parts of an LVITEM a request reads or writes.
enum : unsigned {
    LVIF_TEXT = 0x0001,
    LVIF_IMAGE = 0x0002,
    LVIF_PARAM = 0x0004,
    LVIF_STATE = 0x0008,
};

// Column formats, image lists, rectangles of a row, searches.
enum : int {
    LVCFMT_LEFT = 0x0000,
    LVCFMT_IMAGE = 0x0800,
    LVSIL_SMALL = 1,
    LVIR_BOUNDS = 0,
    LVIR_ICON = 1,
    LVIR_LABEL = 2,
};
enum : unsigned {
    LVNI_ALL = 0x0000,
    LVNI_SELECTED = 0x0002,
};

// Notification codes the list sends its owner.
enum : int {
    NM_CLICK = -2,
    NM_CUSTOMDRAW = -12,
    // Asked before the list handles a press; the list itself has no gesture that the answer turns off.
    NM_LISTPRESS = -50,
};

// Custom-draw stages, results and row states.
enum : unsigned {
    CDDS_PREPAINT = 0x00000001,
    CDDS_ITEM = 0x00010000,
    CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT,
    CDRF_DODEFAULT = 0x00000000,
    CDRF_SKIPDEFAULT = 0x00000004,
    CDRF_NOTIFYITEMDRAW = 0x00000020,
    CDIS_SELECTED = 0x0001,
    CDIS_FOCUS = 0x0010,
};

// Window-position flags: no size, no move, no z-order change, no activation, frame changed, no owner
// z-order change.
enum : unsigned {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOACTIVATE = 0x0010,
    SWP_NOOWNERZORDER = 0x0200,
};

struct NMHDR {
    CWnd* from = nullptr;
    unsigned idFrom = 0;
    int code = 0;
};

struct NMCUSTOMDRAW {
    NMHDR hdr;
    unsigned drawStage = 0;
    CDC* dc = nullptr;
    CRect rc;
    uintptr_t itemSpec = 0;
    unsigned itemState = 0;
    uintptr_t itemParam = 0;
};

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    int subItem = 0;
};

struct NMITEMACTIVATE {
    NMHDR hdr;
    int item = -1;
    int subItem = 0;
    CPoint action;
};

// The owner's answer to the list's row-height request.
struct MEASUREITEMSTRUCT {
    unsigned ctlType = 0;
    unsigned ctlId = 0;
    unsigned itemId = 0;
    unsigned itemWidth = 0;
    unsigned itemHeight = 0;
};
constexpr unsigned ODT_LISTVIEW = 102;

struct WINDOWPOS {
    void* hwnd = nullptr;
    void* insertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    unsigned flags = 0;
};

struct LVITEM {
    unsigned mask = 0;
    int item = 0;
    int subItem = 0;
    unsigned state = 0;
    unsigned stateMask = 0;
    const char16_t* text = nullptr;
    int image = -1;
    uintptr_t param = 0;
};
