#include "tests/support/testshell.h"

#include "platform/msgbox/messagebox.h"
#include "platform/resources/resourcemodule.h"
#include "platform/shell/menutext.h"
#include "platform/shell/navbar.h"
#include "platform/shell/shellclient.h"
#include "platform/shell/softkeybar.h"
#include "platform/shell/workarea.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPixmap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QString Text(const char16_t* text) {
    return QString::fromUtf16(text != nullptr ? text : u"");
}

bool IsYesNo(unsigned type) {
    return (type & MB_BUTTONMASK) == MB_YESNO;
}

} // namespace

TestShell::TestShell() = default;

TestShell::~TestShell() {
    DestroyShellControls();
}

TestShell& TestShell::Current() {
    auto* shell = dynamic_cast<TestShell*>(&CurrentShell());
    if (shell == nullptr) {
        std::fprintf(stderr, "the test runs in the phone shell, not in the test shell\n");
        std::abort();
    }
    return *shell;
}

void TestShell::InitShellControls() {
    if (area != nullptr) {
        return;
    }
    // Everything as a freshly made phone has it.
    stack = std::make_unique<WindowStack>(facts);
    screenSize = kDefaultScreenSize;
    menuIds.clear();
    answers.clear();
    messageBoxes.clear();
    waitCursors = 0;
    // No other program takes this screen: it is active from the start.
    stack->ShowScreenActive();
    area = new ::WorkArea(nullptr);
    SetScreenSize(screenSize);
}

void TestShell::DestroyShellControls() {
    if (area == nullptr) {
        return;
    }
    // The program's windows belong to the framework: they are let go, not destroyed with the area.
    for (const WindowStack::Entry& entry : stack->Entries()) {
        entry.window->setParent(nullptr);
    }
    delete area;
    area = nullptr;
    stack.reset();
}

void TestShell::AddWindow(WindowHandle window, ShellClient* client, bool isMainFrame) {
    if (area == nullptr || !stack->Add(window, client, isMainFrame)) {
        return;
    }
    QObject::connect(window, &QObject::destroyed, area, [this, window] { RemoveWindow(window); });
    if (isMainFrame) {
        window->setGeometry(area->rect());
    }
}

void TestShell::RemoveWindow(WindowHandle window) {
    if (area != nullptr) {
        stack->Remove(window);
        std::erase_if(menuIds, [window](const auto& entry) { return entry.first == window; });
        stack->DeliverDataChanged();
    }
}

WindowHandle TestShell::WorkArea() const {
    return area;
}

void TestShell::ShowActive() {
    BringToFront();
}

void TestShell::BringToFront() {
    if (area != nullptr) {
        area->show();
        area->activateWindow();
    }
}

void TestShell::NotifyDataChanged() {
    if (area != nullptr) {
        stack->OweDataChanged();
        stack->DeliverDataChanged();
    }
}

void TestShell::SetNavBarTitle(WindowHandle window, const char16_t* text) {
    if (area != nullptr) {
        stack->SetNavTitle(window, Text(text).toStdU16String());
    }
}

int TestShell::CreateSoftKeyBar(WindowHandle window, uint16_t menuId) {
    if (area == nullptr || stack->Find(window) == nullptr) {
        return -1;
    }
    MenuTemplate keys;
    if (ResourceModule::Program().LoadMenu(menuId, keys) != 0 || !stack->SetSoftKeys(window, std::move(keys))) {
        return -1;
    }
    SetMenuId(window, menuId);
    return 0;
}

void TestShell::ClaimCallKeys(WindowHandle window) {
    if (area != nullptr) {
        stack->ClaimCallKeys(window);
    }
}

void TestShell::InitFullScreenDialog(WindowHandle dialog) {
    if (area == nullptr || !stack->StartFullScreenDialog(dialog)) {
        return;
    }
    area->PlaceFullScreen(dialog);
    SetMenuId(dialog, 0);
}

void TestShell::ShowDoneButton(WindowHandle window, bool show) {
    if (area == nullptr) {
        return;
    }
    if (show) {
        stack->ShowDone(window);
        return;
    }
    stack->HideDone();
    if (QWidget* frame = stack->MainFrame()) {
        frame->raise();
    }
}

ScreenSize TestShell::GetScreenSize() const {
    return screenSize;
}

// The test shell opens no menus (a test chooses their items by command); the work area stands for
// the screen all the same, so code asking where menus may lie gets a true answer.
ShellRect TestShell::MenuBounds() const {
    if (area == nullptr) {
        return {};
    }
    const QPoint origin = area->mapToGlobal(QPoint(0, 0));
    return ShellRect{origin.x(), origin.y(), area->width(), area->height()};
}

int TestShell::RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) {
    messageBoxes.push_back(MessageBoxRecord{Text(text), Text(caption), type});
    const int safe = IsYesNo(type) ? IDNO : IDOK;
    if (answers.empty()) {
        ADD_FAILURE() << "a message box nobody answered: " << Text(caption).toStdString() << ": "
                      << Text(text).toStdString();
        return safe;
    }
    const int answer = answers.front();
    answers.pop_front();
    const bool isButton = IsYesNo(type) ? answer == IDYES || answer == IDNO : answer == IDOK;
    if (!isButton) {
        ADD_FAILURE() << "the answer " << answer << " is no button of the box " << Text(text).toStdString();
        return safe;
    }
    return answer;
}

void TestShell::ShowWaitCursor(bool show) {
    waitCursors += show ? 1 : -1;
}

int TestShell::SaveScreen(const std::string& path) {
    if (area == nullptr) {
        return -1;
    }
    return area->grab().save(QString::fromStdString(path), "PNG") ? 0 : -1;
}

WindowHandle TestShell::ForegroundWindow() const {
    const WindowStack::Entry* front = area != nullptr ? stack->Front() : nullptr;
    return front != nullptr ? front->window : nullptr;
}

WindowHandle TestShell::MainFrameWindow() const {
    return area != nullptr ? stack->MainFrame() : nullptr;
}

QString TestShell::NavTitleText() const {
    const WindowStack::Entry* front = area != nullptr ? stack->Front() : nullptr;
    if (front == nullptr) {
        return {};
    }
    return front->hasNavTitle ? QString::fromStdU16String(front->navTitle) : front->window->windowTitle();
}

bool TestShell::DoneShown() const {
    return area != nullptr && stack->DoneShown();
}

WindowHandle TestShell::DoneOwner() const {
    return area != nullptr ? stack->DoneOwner() : nullptr;
}

void TestShell::PressDone() {
    if (area != nullptr) {
        stack->PressDone();
    }
}

uint16_t TestShell::SoftKeyMenuId() const {
    const WindowHandle front = ForegroundWindow();
    for (const auto& [window, menuId] : menuIds) {
        if (window == front) {
            return menuId;
        }
    }
    return 0;
}

QString TestShell::SoftKeyText(int index) const {
    const MenuItem* item = KeyItem(index);
    return item != nullptr ? MenuText(item->text) : QString();
}

bool TestShell::SoftKeyEnabled(int index) const {
    const MenuItem* item = KeyItem(index);
    return item != nullptr && WindowStack::StateOf(*item, FrontClient()).enabled;
}

bool TestShell::PressSoftKey(int index) {
    const MenuItem* item = KeyItem(index);
    if (item == nullptr || item->isPopup || !SoftKeyEnabled(index)) {
        return false;
    }
    SendCommand(ForegroundWindow(), item->id);
    return true;
}

TestShell::MenuItemState TestShell::MenuItemStateOf(int key, const std::vector<QString>& path) const {
    const MenuItem* item = FindMenuItem(key, path);
    if (item == nullptr) {
        return {};
    }
    const WindowStack::ItemState state = WindowStack::StateOf(*item, FrontClient());
    return MenuItemState{true, state.enabled, state.checked};
}

bool TestShell::ChooseMenuItem(int key, const std::vector<QString>& path) {
    const MenuItem* item = FindMenuItem(key, path);
    if (item == nullptr || item->isPopup || !MenuItemStateOf(key, path).enabled) {
        return false;
    }
    SendCommand(ForegroundWindow(), item->id);
    return true;
}

void TestShell::PressTalkKey() {
    SendPhoneKey(Qt::Key_F3);
}

void TestShell::PressEndKey() {
    SendPhoneKey(Qt::Key_F4);
}

void TestShell::SetScreenSize(ScreenSize size) {
    screenSize = size;
    if (area == nullptr) {
        return;
    }
    // The bars of the phone keep their heights; the work area has the rest of the screen.
    area->resize(size.width, std::max(0, size.height - NavBar::kHeight - SoftKeyBar::kHeight));
    for (const WindowStack::Entry& entry : stack->Entries()) {
        if (entry.fullScreen) {
            entry.window->setGeometry(area->rect());
        }
    }
}

void TestShell::TurnScreen() {
    SetScreenSize(ScreenSize{screenSize.height, screenSize.width});
}

void TestShell::AnswerNextMessageBox(int answer) {
    answers.push_back(answer);
}

const MenuItem* TestShell::KeyItem(int index) const {
    const WindowStack::Entry* front = area != nullptr ? stack->Front() : nullptr;
    if (front == nullptr || !front->hasSoftKeys || index < 0 || index > 1 ||
        static_cast<size_t>(index) >= front->softKeys.items.size()) {
        return nullptr;
    }
    return &front->softKeys.items[static_cast<size_t>(index)];
}

const MenuItem* TestShell::FindMenuItem(int key, const std::vector<QString>& path) const {
    const MenuItem* item = KeyItem(key);
    if (item == nullptr || !item->isPopup) {
        return nullptr;
    }
    for (const QString& text : path) {
        const MenuItem* found = nullptr;
        for (const MenuItem& child : item->children) {
            if (!child.isSeparator && MenuText(child.text) == text) {
                found = &child;
                break;
            }
        }
        if (found == nullptr) {
            return nullptr;
        }
        item = found;
    }
    return path.empty() ? nullptr : item;
}

ShellClient* TestShell::FrontClient() const {
    const WindowStack::Entry* front = area != nullptr ? stack->Front() : nullptr;
    return front != nullptr ? front->client : nullptr;
}

void TestShell::SendCommand(WindowHandle window, uint16_t id) {
    if (ShellClient* client = area != nullptr ? stack->ClientOf(window) : nullptr) {
        client->ShellCommand(id);
    }
}

void TestShell::SendPhoneKey(int qtKey) {
    // The press and the release each go where the keys go at that moment, as the phone's own do.
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        if (const WindowHandle target = area != nullptr ? stack->CallKeyTarget() : nullptr) {
            QKeyEvent key(type, qtKey, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &key);
        }
    }
}

void TestShell::SetMenuId(WindowHandle window, uint16_t menuId) {
    for (auto& entry : menuIds) {
        if (entry.first == window) {
            entry.second = menuId;
            return;
        }
    }
    menuIds.emplace_back(window, menuId);
}
