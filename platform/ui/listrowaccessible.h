#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class ListControl;

// One row of a list for a screen reader: a list item without children, named by the row's text.
class ListRowAccessible : public QAccessibleInterface {
public:
    ListRowAccessible(ListControl* list, int row);

    int Row() const { return row; }

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    ListControl* List() const;

    QPointer<QWidget> list;
    int row;
};
