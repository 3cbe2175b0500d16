#include "platform/ui/wnd.h"

#include "platform/msgbox/messagebox.h"
#include "platform/shell/shellservices.h"
#include "platform/text/textqt.h"
#include "platform/ui/dc.h"
#include "platform/ui/font.h"
#include "platform/ui/wndwidget.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include <new>

namespace {

constexpr const char* kWndProperty = "ringlogWnd";

CWnd* activeWindow = nullptr;

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (activeWindow == this) {
        activeWindow = nullptr;
    }
    if (hwnd == nullptr) {
        return;
    }
    hwnd->setProperty(kWndProperty, QVariant());
    if (ownsWidget) {
        // The window goes with its object; the object's own handlers are no longer there to call.
        static_cast<WndWidget*>(hwnd)->Detach();
        if (topLevel) {
            ShellServices::RemoveWindow(hwnd);
        }
        delete hwnd;
    }
    hwnd = nullptr;
}

CWnd* CWnd::FromHandle(WindowHandle window) {
    if (window == nullptr) {
        return nullptr;
    }
    return static_cast<CWnd*>(window->property(kWndProperty).value<void*>());
}

bool CWnd::Create(CWnd* parentWnd, uint32_t style, const CRect& rect, unsigned id, const char16_t* text) {
    CREATESTRUCT cs;
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    cs.id = id;
    cs.name = text != nullptr ? text : u"";
    if (!PreCreateWindow(cs)) {
        return false;
    }
    parent = parentWnd;
    controlId = cs.id;
    topLevel = parentWnd == nullptr;
    // A top-level window lies in the shell's work area, full-screen.
    QWidget* parentWidget = parentWnd != nullptr ? parentWnd->hwnd : ShellServices::WorkArea();
    WndWidget* widget = CreateWidget(parentWidget);
    widget->setProperty(kWndProperty, QVariant::fromValue(static_cast<void*>(this)));
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->setGeometry(cs.x, cs.y, cs.cx, cs.cy);
    widget->setWindowTitle(QString::fromStdU16String(cs.name));
    widget->setEnabled((cs.style & WS_DISABLED) == 0);
    hwnd = widget;
    ownsWidget = true;
    if (topLevel) {
        RegisterWithShell();
    }
    if (OnCreate(&cs) == -1) {
        // A window whose creation failed never existed for the program: no destruction handler runs.
        if (topLevel) {
            ShellServices::RemoveWindow(widget);
        }
        widget->Detach();
        hwnd = nullptr;
        delete widget;
        return false;
    }
    widget->setVisible((cs.style & WS_VISIBLE) != 0);
    return true;
}

void CWnd::Attach(WindowHandle window) {
    hwnd = window;
    ownsWidget = false;
    if (window != nullptr) {
        controlId = window->property("ringlogControlId").toUInt();
        window->setProperty(kWndProperty, QVariant::fromValue(static_cast<void*>(this)));
    }
}

WndWidget* CWnd::CreateWidget(QWidget* parentWidget) {
    return new WndWidget(this, parentWidget);
}

void CWnd::RegisterWithShell() {
    ShellServices::AddWindow(hwnd, this, false);
}

void CWnd::DestroyWindow() {
    if (hwnd == nullptr) {
        return;
    }
    QWidget* widget = hwnd;
    if (topLevel) {
        ShellServices::RemoveWindow(widget);
    }
    if (ownsWidget) {
        // The widget's destruction calls OnDestroy through WidgetDestroyed.
        delete widget;
    } else {
        hwnd = nullptr;
    }
}

void CWnd::ForgetActiveWindow() {
    activeWindow = nullptr;
}

void CWnd::WidgetDestroyed() {
    if (activeWindow == this) {
        activeWindow = nullptr;
    }
    hwnd = nullptr;
    OnDestroy();
    // Last: a view deletes itself here.
    PostNcDestroy();
}

void CWnd::SetWindowText(const char16_t* text) {
    if (hwnd == nullptr) {
        return;
    }
    const QString value = ToQString(text);
    if (auto* label = qobject_cast<QLabel*>(hwnd)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(hwnd)) {
        button->setText(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(hwnd)) {
        edit->setText(value);
    } else {
        hwnd->setWindowTitle(value);
    }
}

std::u16string CWnd::GetWindowText() const {
    if (hwnd == nullptr) {
        return {};
    }
    QString value;
    if (auto* label = qobject_cast<QLabel*>(hwnd)) {
        value = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(hwnd)) {
        value = button->text();
    } else if (auto* edit = qobject_cast<QLineEdit*>(hwnd)) {
        value = edit->text();
    } else {
        value = hwnd->windowTitle();
    }
    return value.toStdU16String();
}

void CWnd::GetClientRect(CRect& rect) const {
    rect = CRect{};
    if (hwnd != nullptr) {
        auto* widget = dynamic_cast<WndWidget*>(hwnd);
        const QRect client = widget != nullptr ? widget->ClientRect() : hwnd->rect();
        rect.right = client.width();
        rect.bottom = client.height();
    }
}

void CWnd::GetWindowRect(CRect& rect) const {
    rect = CRect{};
    if (hwnd == nullptr) {
        return;
    }
    QPoint origin = hwnd->pos();
    const QWidget* workArea = ShellServices::WorkArea();
    if (workArea != nullptr && hwnd->parentWidget() != nullptr) {
        origin = hwnd->parentWidget()->mapTo(hwnd->window(), origin);
        origin -= workArea->mapTo(hwnd->window(), QPoint(0, 0));
    }
    rect = CRect{origin.x(), origin.y(), origin.x() + hwnd->width(), origin.y() + hwnd->height()};
}

void CWnd::MoveWindow(int x, int y, int width, int height) {
    if (hwnd != nullptr) {
        hwnd->setGeometry(x, y, width, height);
    }
}

void CWnd::ShowWindow(int showCommand) {
    if (hwnd != nullptr) {
        hwnd->setVisible(showCommand != SW_HIDE);
    }
}

bool CWnd::IsWindowVisible() const {
    return hwnd != nullptr && !hwnd->isHidden();
}

void CWnd::EnableWindow(bool enable) {
    if (hwnd != nullptr) {
        hwnd->setEnabled(enable);
    }
}

void CWnd::UpdateWindow() {
    if (hwnd != nullptr) {
        hwnd->repaint();
    }
}

void CWnd::Invalidate() {
    if (hwnd != nullptr) {
        hwnd->update();
    }
}

void CWnd::SetFocus() {
    if (hwnd != nullptr) {
        hwnd->setFocus(Qt::OtherFocusReason);
    }
}

void CWnd::GetFont(LOGFONT& description) const {
    CFont font;
    font.Assign(hwnd != nullptr ? hwnd->font() : QFont());
    font.GetLogFont(description);
}

void CWnd::SetFont(const CFont* font, bool redraw) {
    OnSetFont(font, redraw);
}

void CWnd::OnSetFont(const CFont* font, bool redraw) {
    if (hwnd != nullptr && font != nullptr && font->Font() != nullptr) {
        hwnd->setFont(*font->Font());
        if (redraw) {
            hwnd->update();
        }
    }
}

CDC* CWnd::GetDC() {
    if (hwnd == nullptr) {
        return nullptr;
    }
    return new (std::nothrow) CDC(nullptr, nullptr);
}

void CWnd::ReleaseDC(CDC* dc) {
    delete dc;
}

int CWnd::MessageBox(const char16_t* text, const char16_t* caption, unsigned type) {
    return ShowMessageBox(hwnd, text, caption, type);
}

void CWnd::SendCommand(unsigned id) {
    OnCmdMsg(id, CommandQuery::Run, nullptr);
}

CWnd* CWnd::GetActiveWindow() {
    return activeWindow;
}

void CWnd::ActivateTopLevel(CWnd* window) {
    CWnd* previous = activeWindow;
    if (previous == window) {
        return;
    }
    activeWindow = window;
    if (previous != nullptr) {
        previous->DeliverActivation(WA_INACTIVE, window);
    }
    if (window != nullptr) {
        window->DeliverActivation(WA_ACTIVE, previous);
    }
}

void CWnd::DeliverActivation(unsigned state, CWnd* other) {
    OnActivate(state, other, false);
}

bool CWnd::PreCreateWindow(CREATESTRUCT&) {
    return true;
}

int CWnd::OnCreate(CREATESTRUCT*) {
    return 0;
}

void CWnd::OnSize(unsigned, int, int) {}
void CWnd::OnKeyDown(unsigned, unsigned, unsigned) {}
void CWnd::OnKeyUp(unsigned, unsigned, unsigned) {}

bool CWnd::OnEraseBkgnd(CDC*) {
    return false;
}

void CWnd::OnPaint(CDC*) {}
void CWnd::OnLButtonDown(unsigned, CPoint) {}
void CWnd::OnActivate(unsigned, CWnd*, bool) {}
void CWnd::OnSysCommand(unsigned, long) {}

void CWnd::OnClose() {
    DestroyWindow();
}

void CWnd::OnDestroy() {}
void CWnd::PostNcDestroy() {}

void CWnd::ShellCommand(uint16_t id) {
    SendCommand(id);
}

void CWnd::ShellQueryCommand(uint16_t id, bool& enabled, bool& checked) {
    CCmdUI ui(id, enabled, checked);
    if (OnCmdMsg(id, CommandQuery::Update, &ui)) {
        enabled = ui.enabled;
        checked = ui.checked;
        return;
    }
    // No update handler: an item is enabled exactly when some handler takes its command.
    enabled = OnCmdMsg(id, CommandQuery::Probe, nullptr);
}

void CWnd::ShellActivate(bool active) {
    // The whole phone window lost or regained activation (another program had the screen).
    if (activeWindow == this) {
        DeliverActivation(active ? WA_ACTIVE : WA_INACTIVE, nullptr);
    }
}

void CWnd::ShellCloseRequest() {
    SendSysCommand(SC_CLOSE);
}

void CWnd::ShellDestroyRequest() {
    DestroyWindow();
}

void CWnd::ShellDataChanged() {
    OnDataChanged();
}

void CWnd::OnDataChanged() {}
