#pragma once

// Virtual key codes of the phone's keys as the program sees them. F3 and F4 of the keyboard are the
// phone's Talk and End keys, as on the phone emulators.
enum VirtualKey : unsigned {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_TTALK = 0x72,
    VK_TEND = 0x73,
};

// The virtual key of a Qt key code, 0 for a key the phone does not have.
unsigned VirtualKeyFromQtKey(int qtKey);
