#pragma once

#include <QAccessibleWidget>

#include <map>

class ListControl;

// What a screen reader sees of a list: a list whose children are its rows, each a list item named
// by its text as a person reads it, with its selected state; over an empty list, the message the
// owner wrote there is the list's description. Row interfaces are made only when a screen reader
// asks, so a long list costs nothing while none listens.
class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(ListControl* list);
    ~ListAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    // The rows were rebuilt: every row interface made so far goes.
    void ForgetRows();

private:
    ListControl* List() const;
    int RowCount() const;

    mutable std::map<int, QAccessible::Id> rowInterfaces;
};

// The row a screen reader takes as the focus: the focused row, else the first selected one; -1.
int FocusRow(ListControl* list);

// Installs the factory that gives every list its interface; once per process.
void InstallListAccessibility();
// Tell a listening screen reader what changed.
void ListRowsChanged(ListControl* list);
void ListRowStateChanged(ListControl* list, int row, unsigned oldState, unsigned newState);
void ListEmptyTextChanged(ListControl* list);
// Other rows are in view: the list scrolled and came to rest.
void ListScrolled(ListControl* list);
