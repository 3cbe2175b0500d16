#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The navigation bar along the top of the screen: the front window's title and the Done button.
class NavBar : public QWidget {
public:
    explicit NavBar(QWidget* parent);

    void SetTitle(const QString& title);
    QString Title() const;
    void SetDoneVisible(bool visible);
    bool DoneVisible() const;
    QPushButton* DoneButton() const { return doneButton; }

    static constexpr int kHeight = 26;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* titleLabel = nullptr;
    QPushButton* doneButton = nullptr;
};
