// Window, dialog and control style bits used by ringlog.rc (the resource compiler has no
// system headers here). Plain #defines so that the resource compiler's preprocessor reads them;
// C++ code takes these bits from platform/ui instead, whose enumerators the macros would clash with.
#pragma once

#ifndef RC_INVOKED
#error "windowstyles.h is read by ringlog.rc only"
#endif

#define WS_POPUP 0x80000000
#define WS_CHILD 0x40000000
#define WS_VISIBLE 0x10000000
#define WS_CAPTION 0x00C00000
#define WS_BORDER 0x00800000
#define WS_SYSMENU 0x00080000
#define WS_GROUP 0x00020000
#define WS_TABSTOP 0x00010000

#define DS_MODALFRAME 0x0080
#define DS_SETFONT 0x0040

#define SS_LEFT 0x0000
#define SS_CENTER 0x0001
#define SS_BITMAP 0x000E
#define SS_LEFTNOWORDWRAP 0x000C

#define ES_LEFT 0x0000
#define ES_AUTOHSCROLL 0x0080
#define ES_NUMBER 0x2000

#define BS_PUSHBUTTON 0x0000
#define BS_CENTER 0x0300
