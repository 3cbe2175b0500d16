#pragma once

#include <cstdint>

class CWnd;

// The bar that holds a frame's menu bar. On the phone it is the shell's soft-key bar of the frame.
class CCommandBar {
public:
    // Bar styles.
    static constexpr uint32_t CBRS_SIZE_FIXED = 0x0002;

    bool Create(CWnd* parent, uint32_t style, unsigned id);
    // Makes the menu resource the frame's soft-key bar. False when the shell cannot.
    bool InsertMenuBar(uint16_t menuId, int buttonPosition = 0xFFFF);
    bool AddAdornments(uint32_t flags = 0);
    uint32_t GetBarStyle() const { return barStyle; }
    void SetBarStyle(uint32_t style) { barStyle = style; }

private:
    CWnd* owner = nullptr;
    uint32_t windowStyle = 0;
    uint32_t barStyle = 0;
    unsigned barId = 0;
};
