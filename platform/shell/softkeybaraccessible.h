#pragma once

#include <QAccessibleWidget>

class SoftKeyBar;

// What a screen reader sees of the soft-key bar: its two keys and, while one is open, the menu of a
// key, so that the open menu is found under the bar as on the screen (a popup is otherwise a window
// of its own that no parent lists). The menu itself, its items and submenus are the toolkit's own.
class SoftKeyBarAccessible : public QAccessibleWidget {
public:
    explicit SoftKeyBarAccessible(SoftKeyBar* bar);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    // Installs the factory that gives every soft-key bar this interface; once per process.
    static void Install();

private:
    QAccessibleInterface* OpenMenuInterface() const;
};
