#include "platform/shell/shellmessagebox.h"

#include "platform/msgbox/messagebox.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QStyle::StandardPixmap IconPixmap(unsigned icon) {
    switch (icon) {
    case MB_ICONSTOP:
        return QStyle::SP_MessageBoxCritical;
    case MB_ICONQUESTION:
        return QStyle::SP_MessageBoxQuestion;
    case MB_ICONEXCLAMATION:
        return QStyle::SP_MessageBoxWarning;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

} // namespace

ShellMessageBox::ShellMessageBox(QWidget* screen, const QString& boxText, const QString& boxCaption, unsigned boxType)
    : QFrame(screen), text(boxText), caption(boxCaption), type(boxType) {
    setObjectName(QStringLiteral("shellMessageBox"));
    setGeometry(screen->rect());
    setFocusPolicy(Qt::StrongFocus);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addStretch(1);

    auto* box = new QFrame(this);
    box->setObjectName(QStringLiteral("box"));
    box->setStyleSheet(QStringLiteral("#box { background: palette(base); border: 1px solid #1d4f91; }"));
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(0, 0, 0, 8);
    boxLayout->setSpacing(6);

    auto* captionLabel = new QLabel(caption, box);
    captionLabel->setObjectName(QStringLiteral("caption"));
    captionLabel->setStyleSheet(
        QStringLiteral("background: #1d4f91; color: white; font-weight: bold; font-size: 12px; padding: 3px;"));
    boxLayout->addWidget(captionLabel);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 2, 8, 2);
    auto* iconLabel = new QLabel(box);
    iconLabel->setPixmap(style()->standardIcon(IconPixmap(IconType())).pixmap(32, 32));
    iconLabel->setAlignment(Qt::AlignTop);
    body->addWidget(iconLabel);
    auto* textLabel = new QLabel(text, box);
    textLabel->setObjectName(QStringLiteral("text"));
    textLabel->setWordWrap(true);
    textLabel->setStyleSheet(QStringLiteral("color: palette(text); font-size: 12px;"));
    body->addWidget(textLabel, 1);
    boxLayout->addLayout(body);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    const bool yesNo = ButtonsType() == MB_YESNO;
    const std::vector<std::pair<QString, int>> choices =
        yesNo ? std::vector<std::pair<QString, int>>{{QStringLiteral("Yes"), IDYES}, {QStringLiteral("No"), IDNO}}
              : std::vector<std::pair<QString, int>>{{QStringLiteral("OK"), IDOK}};
    for (const auto& [label, value] : choices) {
        auto* button = new QPushButton(label, box);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumWidth(56);
        const int pressed = value;
        QObject::connect(button, &QPushButton::clicked, this, [this, pressed] { Press(pressed); });
        buttons.emplace_back(button, value);
        row->addWidget(button);
    }
    row->addStretch(1);
    boxLayout->addLayout(row);

    outer->addWidget(box);
    outer->addStretch(1);
}

unsigned ShellMessageBox::IconType() const {
    return type & MB_ICONMASK;
}

unsigned ShellMessageBox::ButtonsType() const {
    return (type & MB_BUTTONMASK) == MB_YESNO ? MB_YESNO : MB_OK;
}

std::vector<int> ShellMessageBox::Results() const {
    std::vector<int> results;
    for (const auto& button : buttons) {
        results.push_back(button.second);
    }
    return results;
}

int ShellMessageBox::Run() {
    show();
    raise();
    setFocus();
    if (result == 0) {
        QEventLoop nested;
        loop = &nested;
        nested.exec();
        loop = nullptr;
    }
    hide();
    return result;
}

void ShellMessageBox::Press(int pressed) {
    if (result != 0) {
        return;
    }
    for (const auto& button : buttons) {
        if (button.second == pressed) {
            result = pressed;
            if (loop != nullptr) {
                loop->quit();
            }
            return;
        }
    }
}

void ShellMessageBox::Dismiss() {
    Press(buttons.back().second);
}

void ShellMessageBox::keyPressEvent(QKeyEvent* event) {
    // Enter takes the first button, Escape the safe one (No, or OK when that is the only one).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Press(buttons.front().second);
    } else if (event->key() == Qt::Key_Escape) {
        Dismiss();
    } else {
        QFrame::keyPressEvent(event);
    }
}

void ShellMessageBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 110));
}
