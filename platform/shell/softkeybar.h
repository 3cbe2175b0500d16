#pragma once

#include "platform/resources/resourcemodule.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

class PhoneScreen;

class QPushButton;
class ShellClient;

// The soft-key bar along the bottom of the screen: the front window's two keys. A key that is a
// command sends it; a key that is a popup opens its menu above the key. Menus and submenus stay
// inside the shell's menu bounds. Enabled and checked states
// are asked of the window each time the bar is refreshed and each time a menu opens.
class SoftKeyBar : public QWidget {
public:
    SoftKeyBar(PhoneScreen* phone, QWidget* parent);

    // The keys of window (null or no keys: an empty bar).
    void SetKeys(QWidget* window, ShellClient* client, const MenuTemplate* keys);
    // Asks the window again for the states of the command keys.
    void UpdateStates();

    int KeyCount() const;
    QString KeyText(int index) const;
    bool KeyEnabled(int index) const;
    // A tap on the key: sends its command or opens its menu.
    void PressKey(int index);
    // The menu opened from a key, while it is open.
    QMenu* OpenMenu() const { return openMenu; }

    static constexpr int kHeight = 28;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Keeps each menu, as it is shown, inside the shell's menu bounds.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* BuildMenu(const MenuItem& popup, QWidget* parent);
    void UpdateMenu(QMenu* menu);

    PhoneScreen* phone;
    QPointer<QWidget> window;
    ShellClient* client = nullptr;
    MenuTemplate keys;
    QPushButton* buttons[2] = {};
    QPointer<QMenu> openMenu;
};
