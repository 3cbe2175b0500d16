#pragma once

// The state of one command as an update handler decides it: enabled, checked. Asked each time the
// soft-key bar is refreshed or a menu opens.
class CCmdUI {
public:
    explicit CCmdUI(unsigned commandId, bool isEnabled = true, bool isChecked = false)
        : id(commandId), enabled(isEnabled), checked(isChecked) {}

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(int check = 1) { checked = check != 0; }

    unsigned id;
    bool enabled;
    bool checked;
};
