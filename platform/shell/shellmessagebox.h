#pragma once

#include <QFrame>
#include <QString>

#include <vector>

class QEventLoop;
class QPushButton;

// A message box drawn inside the phone screen: a dimmed screen with a box holding the caption, the
// icon, the text and the buttons. Run() shows it modally and returns the button pressed.
class ShellMessageBox : public QFrame {
public:
    ShellMessageBox(QWidget* screen, const QString& text, const QString& caption, unsigned type);

    int Run();
    // Presses a button as a tap would (IDOK, IDYES or IDNO); a result the box does not offer is ignored.
    void Press(int result);
    // Answers as Escape does: No, or OK when that is the only button.
    void Dismiss();
    // Whether a button has been pressed; the box goes once its loop has ended.
    bool Answered() const { return result != 0; }

    QString Caption() const { return caption; }
    QString Text() const { return text; }
    unsigned IconType() const;    // MB_ICON... of the type
    unsigned ButtonsType() const; // MB_OK or MB_YESNO
    std::vector<int> Results() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString text;
    QString caption;
    unsigned type;
    std::vector<std::pair<QPushButton*, int>> buttons;
    QEventLoop* loop = nullptr;
    int result = 0;
};
