#pragma once

#include <QObject>

class PhoneScreen;
class QWidget;

// The phone's own keys as the keyboard gives them, for every window of the phone (its popup menus
// included): F1 and F2 the soft keys, F3 Talk and F4 End, F9 the screen's turn. Talk and End go to
// the window that gets them, wherever the focus is.
class PhoneKeys : public QObject {
public:
    explicit PhoneKeys(PhoneScreen* phone);

    // The Talk or End key pressed or released (also by the drawn keys of the phone's body).
    void SendCallKey(unsigned virtualKey, bool released);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool BelongsToPhone(const QWidget* widget) const;

    PhoneScreen* phone;
    // While a Talk or End key is on its way to its window, it is not caught again.
    bool delivering = false;
};
