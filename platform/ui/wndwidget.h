#pragma once

#include <QWidget>

class CWnd;

// The toolkit window behind a CWnd: turns the toolkit's events into the window's handlers.
class WndWidget : public QWidget {
public:
    WndWidget(CWnd* owner, QWidget* parent);
    ~WndWidget() override;

    CWnd* Owner() const { return owner; }
    // The part of the window its owner draws in (a list leaves out its scroll bar).
    virtual QRect ClientRect() const { return rect(); }
    void Detach() { owner = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    CWnd* owner;
};
