#include "platform/shell/phonescreen.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/navbar.h"
#include "platform/shell/phonebody.h"
#include "platform/shell/phonekeys.h"
#include "platform/shell/shellclient.h"
#include "platform/shell/shellmessagebox.h"
#include "platform/shell/softkeybar.h"
#include "platform/shell/virtualkey.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <cstdio>

Q_LOGGING_CATEGORY(shellLog, "ringlog.platform.shell")

namespace {

int LoadMenuFromProgram(uint16_t id, MenuTemplate& out) {
    return ResourceModule::Program().LoadMenu(id, out);
}

PhoneScreen::MenuLoader menuLoader = LoadMenuFromProgram;

// A display no larger than a phone held upright, in logical pixels.
constexpr int kPhoneWidth = 720;
constexpr int kPhoneHeight = 1440;

bool DisplayIsPhoneSized() {
    const QScreen* display = QGuiApplication::primaryScreen();
    if (display == nullptr) {
        return false;
    }
    const QSize size = display->size();
    return size.width() <= kPhoneWidth && size.height() <= kPhoneHeight;
}

} // namespace

PhoneScreen::~PhoneScreen() {
    // The program's windows belong to the framework, not to the shell: they are let go, not
    // destroyed with the screen.
    for (const WindowStack::Entry& entry : stack.Entries()) {
        entry.window->setParent(nullptr);
    }
}

PhoneScreen::MenuLoader PhoneScreen::SetMenuLoader(MenuLoader loader) {
    MenuLoader previous = menuLoader;
    menuLoader = loader != nullptr ? loader : LoadMenuFromProgram;
    return previous;
}

PhoneScreen::PhoneScreen(bool fullScreen, bool unattendedBoxes) : unattended(unattendedBoxes) {
    setObjectName(QStringLiteral("phoneScreen"));
    setAttribute(Qt::WA_TranslucentBackground);
    QFont phoneFont(QStringLiteral("DejaVu Sans"));
    phoneFont.setPixelSize(12);
    setFont(phoneFont);

    screen = new QWidget(this);
    screen->setObjectName(QStringLiteral("screen"));
    screen->setAutoFillBackground(true);
    PaintScreenInBaseColour();

    navBar = new NavBar(screen);
    workArea = new ::WorkArea(screen);
    softKeyBar = new SoftKeyBar(this, screen);

    keys = new PhoneKeys(this);
    talkButton = PhoneBody::MakeKey(this, QStringLiteral("talkKey"), QStringLiteral("Talk"), QColor(46, 160, 67));
    endButton = PhoneBody::MakeKey(this, QStringLiteral("endKey"), QStringLiteral("End"), QColor(200, 40, 40));
    QObject::connect(talkButton, &QPushButton::pressed, this, [this] { keys->SendCallKey(VK_TTALK, false); });
    QObject::connect(talkButton, &QPushButton::released, this, [this] { keys->SendCallKey(VK_TTALK, true); });
    QObject::connect(endButton, &QPushButton::pressed, this, [this] { keys->SendCallKey(VK_TEND, false); });
    QObject::connect(endButton, &QPushButton::released, this, [this] { keys->SendCallKey(VK_TEND, true); });
    QObject::connect(navBar->DoneButton(), &QPushButton::clicked, this, [this] { PressDone(); });

    // On a phone, or when asked, the window is the screen alone: no drawn body, no Talk and End
    // buttons (their keys still work), and the screen takes whatever size the window gets.
    fullScreenMode = fullScreen || DisplayIsPhoneSized();
    if (fullScreenMode) {
        // A phone's screen draws its own bars: no title bar of the window system's when the
        // window leaves full screen for a moment (to make room for the on-screen keyboard).
        setWindowFlag(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_TranslucentBackground, false);
        talkButton->hide();
        endButton->hide();
    }
    const QMargins body = BodyMargins();
    setMinimumSize(body.left() + body.right() + 120, body.top() + body.bottom() + 120);
    resize(screenSize.grownBy(body));
    LayOut();
    // Named after the program before any window of it is up (a start refused with a message box).
    setWindowTitle(QApplication::applicationDisplayName());
    qApp->installEventFilter(this);
    qApp->installEventFilter(keys);
}

void PhoneScreen::AddWindow(QWidget* window, ShellClient* client, bool isMainFrame) {
    if (!stack.Add(window, client, isMainFrame)) {
        return;
    }
    QObject::connect(window, &QObject::destroyed, this, [this, window] { RemoveWindow(window); });
    if (isMainFrame) {
        window->setGeometry(workArea->rect());
    }
    RefreshBars();
}

void PhoneScreen::RemoveWindow(QWidget* window) {
    stack.Remove(window);
    RefreshBars();
}

QWidget* PhoneScreen::ForegroundWindow() const {
    const WindowStack::Entry* entry = stack.Front();
    return entry != nullptr ? entry->window : nullptr;
}

QWidget* PhoneScreen::CallKeyTarget() const {
    return stack.CallKeyTarget();
}

QWidget* PhoneScreen::MainFrameWindow() const {
    return stack.MainFrame();
}

ShellClient* PhoneScreen::ClientOf(QWidget* window) const {
    return stack.ClientOf(window);
}

void PhoneScreen::SetNavTitle(QWidget* window, const QString& text) {
    if (stack.SetNavTitle(window, text.toStdU16String())) {
        RefreshBars();
    }
}

int PhoneScreen::SetSoftKeys(QWidget* window, uint16_t menuId) {
    if (stack.Find(window) == nullptr) {
        return -1;
    }
    MenuTemplate keys;
    if (menuLoader(menuId, keys) != 0 || !stack.SetSoftKeys(window, std::move(keys))) {
        qCInfo(shellLog, "menu %u cannot be a soft-key bar", static_cast<unsigned>(menuId));
        return -1;
    }
    RefreshBars();
    return 0;
}

void PhoneScreen::ClaimCallKeys(QWidget* window) {
    stack.ClaimCallKeys(window);
}

void PhoneScreen::StartFullScreenDialog(QWidget* dialog) {
    if (!stack.StartFullScreenDialog(dialog)) {
        return;
    }
    workArea->PlaceFullScreen(dialog);
    RefreshBars();
}

void PhoneScreen::ShowDone(QWidget* owner) {
    if (stack.ShowDone(owner)) {
        RefreshBars();
    }
}

void PhoneScreen::HideDone() {
    stack.HideDone();
    if (QWidget* frame = MainFrameWindow()) {
        frame->raise();
    }
    RefreshBars();
}

void PhoneScreen::PressDone() {
    if (stack.PressDone() == WindowStack::DoneAction::OkToOwner) {
        // The OK may have closed the dialog or changed what its keys allow.
        RefreshBars();
    }
}

void PhoneScreen::SendCommand(QWidget* window, uint16_t id) {
    ShellClient* client = ClientOf(window);
    if (client == nullptr) {
        return;
    }
    client->ShellCommand(id);
    // The command may have closed the window or changed what its keys allow.
    RefreshBars();
}

QSize PhoneScreen::ScreenSize() const {
    return screenSize;
}

QRect PhoneScreen::ScreenRect() const {
    return QRect(screen->mapToGlobal(QPoint(0, 0)), screen->size());
}

void PhoneScreen::SetScreenSize(QSize size) {
    resize(size.grownBy(BodyMargins()));
}

QMargins PhoneScreen::BodyMargins() const {
    return fullScreenMode ? QMargins() : PhoneBody::Margins();
}

void PhoneScreen::Rotate() {
    SetScreenSize(screenSize.transposed());
}

void PhoneScreen::RaiseTopLevel(QWidget* window) {
    // Windows without a window system (offscreen rendering, tests) cannot be raised.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        window->raise();
    }
    window->activateWindow();
}

void PhoneScreen::ShowActive() {
    stack.ShowScreenActive();
    if (fullScreenMode && !isVisible()) {
        // Sized to the display first: without a window manager nobody else makes it full screen.
        if (const QScreen* display = QGuiApplication::primaryScreen()) {
            setGeometry(display->geometry());
        }
        showFullScreen();
    }
    show();
    RaiseTopLevel(this);
}

void PhoneScreen::NotifyDataChanged() {
    stack.OweDataChanged();
    stack.DeliverDataChanged();
}

void PhoneScreen::RefreshBars() {
    if (stack.DataChangedOwed()) {
        // After the change that refreshed the bars has been carried out in full.
        QTimer::singleShot(0, this, [this] { stack.DeliverDataChanged(); });
    }
    const WindowStack::Entry* front = stack.Front();
    const QString title = NavTitleText();
    navBar->SetTitle(title);
    navBar->SetDoneVisible(stack.DoneShown());
    if (front != nullptr) {
        softKeyBar->SetKeys(front->window, front->client, front->hasSoftKeys ? &front->softKeys : nullptr);
    } else {
        softKeyBar->SetKeys(nullptr, nullptr, nullptr);
    }
    setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
}

QString PhoneScreen::NavTitleText() const {
    const WindowStack::Entry* front = stack.Front();
    if (front == nullptr) {
        return {};
    }
    return front->hasNavTitle ? QString::fromStdU16String(front->navTitle) : front->window->windowTitle();
}

int PhoneScreen::RunMessageBox(const QString& text, const QString& caption, unsigned type) {
    if (unattended) {
        std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return (type & MB_BUTTONMASK) == MB_YESNO ? IDNO : IDOK;
    }
    if (isHidden()) {
        show();
    }
    ShellMessageBox* previous = messageBox;
    auto* box = new ShellMessageBox(screen, text, caption, type);
    messageBox = box;
    if (messageBoxObserver) {
        QPointer<ShellMessageBox> watched = box;
        QMetaObject::invokeMethod(
            this,
            [this, watched] {
                if (watched != nullptr && messageBoxObserver) {
                    messageBoxObserver(*watched);
                }
            },
            Qt::QueuedConnection);
    }
    const int result = box->Run();
    messageBox = previous;
    box->deleteLater();
    return result;
}

void PhoneScreen::SetMessageBoxObserver(std::function<void(ShellMessageBox&)> observer) {
    messageBoxObserver = std::move(observer);
}

void PhoneScreen::ScheduleIdleUpdate() {
    if (idleUpdatePending) {
        return;
    }
    idleUpdatePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            idleUpdatePending = false;
            softKeyBar->UpdateStates();
        },
        Qt::QueuedConnection);
}

bool PhoneScreen::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowTitleChange:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched->isWidgetType() && stack.Find(static_cast<QWidget*>(watched)) != nullptr) {
            RefreshBars();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
            ScheduleIdleUpdate();
        }
        break;
    case QEvent::Paint:
        // A window may decide a key's state while it paints (the list, whether the selected call can
        // be returned): the keys are asked again once the work area has painted. The bar's own
        // repaint is outside the work area, so this does not come round again.
        if (watched->isWidgetType() && workArea->isAncestorOf(static_cast<QWidget*>(watched))) {
            ScheduleIdleUpdate();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PhoneScreen::LayOut() {
    screen->setGeometry(QRect(QPoint(BodyMargins().left(), BodyMargins().top()), screenSize));
    navBar->setGeometry(0, 0, screenSize.width(), NavBar::kHeight);
    softKeyBar->setGeometry(0, screenSize.height() - SoftKeyBar::kHeight, screenSize.width(), SoftKeyBar::kHeight);
    workArea->setGeometry(0, NavBar::kHeight, screenSize.width(),
                          std::max(0, screenSize.height() - NavBar::kHeight - SoftKeyBar::kHeight));
    for (const WindowStack::Entry& entry : stack.Entries()) {
        if (entry.fullScreen) {
            entry.window->setGeometry(workArea->rect());
        }
    }
    if (messageBox != nullptr) {
        messageBox->setGeometry(screen->rect());
    }
    talkButton->setGeometry(PhoneBody::TalkKeyRect(screenSize));
    endButton->setGeometry(PhoneBody::EndKeyRect(screenSize));
}

void PhoneScreen::resizeEvent(QResizeEvent* event) {
    const QSize inside = size().shrunkBy(BodyMargins());
    screenSize = QSize(std::max(1, inside.width()), std::max(1, inside.height()));
    LayOut();
    QWidget::resizeEvent(event);
}

void PhoneScreen::paintEvent(QPaintEvent*) {
    if (fullScreenMode) {
        return; // the screen covers the whole window
    }
    QPainter painter(this);
    PhoneBody::Paint(painter, size(), screenSize);
}

// The screen behind the windows is the colour of a list's background (white when light), in the
// colour scheme the application has now.
void PhoneScreen::PaintScreenInBaseColour() {
    QPalette palette = screen->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Base));
    screen->setPalette(palette);
}

void PhoneScreen::changeEvent(QEvent* event) {
    // A window hears of the application's new palette as a change of its own.
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) &&
        screen != nullptr) {
        PaintScreenInBaseColour();
    }
    if (event->type() == QEvent::ActivationChange) {
        const bool active = isActiveWindow();
        if (stack.SetScreenActive(active)) {
            if (ShellClient* client = ClientOf(ForegroundWindow())) {
                client->ShellActivate(active);
            }
        }
    }
    QWidget::changeEvent(event);
}

void PhoneScreen::closeEvent(QCloseEvent* event) {
    ShellClient* client = ClientOf(MainFrameWindow());
    if (client == nullptr) {
        // A box on a screen without the program behind it (a refused start) is answered, or nothing
        // would be left to end the program once its window is gone.
        if (messageBox != nullptr) {
            messageBox->Dismiss();
        }
        event->accept();
        return;
    }
    // The program decides how it ends; the phone window itself stays.
    event->ignore();
    client->ShellCloseRequest();
}
