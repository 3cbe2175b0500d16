#include "platform/shell/windowstack.h"

#include "platform/shell/shellclient.h"

#include <algorithm>

WindowStack::WindowStack(const WindowFacts& windowFacts) : facts(windowFacts) {}

bool WindowStack::Add(WindowHandle window, ShellClient* client, bool isMainFrame) {
    if (window == nullptr || Find(window) != nullptr) {
        return false;
    }
    Entry entry;
    entry.window = window;
    entry.client = client;
    entry.isMainFrame = isMainFrame;
    // A main window takes the whole work area, as on the phone.
    entry.fullScreen = isMainFrame;
    entries.push_back(std::move(entry));
    return true;
}

void WindowStack::Remove(WindowHandle window) {
    std::erase_if(entries, [window](const Entry& entry) { return entry.window == window; });
    // The Done button goes with the window that owns it.
    if (doneShown && doneOwner != nullptr && doneOwner == window) {
        doneShown = false;
        doneOwner = nullptr;
    }
    if (keyClaimer == window) {
        keyClaimer = nullptr;
    }
}

WindowStack::Entry* WindowStack::Find(WindowHandle window) {
    for (Entry& entry : entries) {
        if (entry.window == window) {
            return &entry;
        }
    }
    return nullptr;
}

const WindowStack::Entry* WindowStack::Find(WindowHandle window) const {
    return const_cast<WindowStack*>(this)->Find(window);
}

bool WindowStack::BringToTop(WindowHandle window) {
    Entry* entry = Find(window);
    if (entry == nullptr) {
        return false;
    }
    entry->fullScreen = true;
    // The last entry is the front one among the shown windows.
    Entry moved = std::move(*entry);
    std::erase_if(entries, [window](const Entry& each) { return each.window == window; });
    entries.push_back(std::move(moved));
    return true;
}

bool WindowStack::StartFullScreenDialog(WindowHandle dialog) {
    if (!BringToTop(dialog)) {
        return false;
    }
    ClearSoftKeys(dialog);
    ShowDone(dialog);
    return true;
}

bool WindowStack::SetNavTitle(WindowHandle window, std::u16string title) {
    Entry* entry = Find(window);
    if (entry == nullptr) {
        return false;
    }
    entry->hasNavTitle = true;
    entry->navTitle = std::move(title);
    return true;
}

bool WindowStack::SetSoftKeys(WindowHandle window, MenuTemplate keys) {
    Entry* entry = Find(window);
    if (entry == nullptr || keys.items.empty()) {
        return false;
    }
    entry->hasSoftKeys = true;
    entry->softKeys = std::move(keys);
    return true;
}

bool WindowStack::ClearSoftKeys(WindowHandle window) {
    Entry* entry = Find(window);
    if (entry == nullptr) {
        return false;
    }
    entry->hasSoftKeys = true;
    entry->softKeys = MenuTemplate{};
    return true;
}

const WindowStack::Entry* WindowStack::Front() const {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (facts.IsShown(it->window)) {
            return &*it;
        }
    }
    return nullptr;
}

WindowHandle WindowStack::MainFrame() const {
    for (const Entry& entry : entries) {
        if (entry.isMainFrame) {
            return entry.window;
        }
    }
    return nullptr;
}

ShellClient* WindowStack::ClientOf(WindowHandle window) const {
    const Entry* entry = window != nullptr ? Find(window) : nullptr;
    return entry != nullptr ? entry->client : nullptr;
}

WindowHandle WindowStack::TopLevelOf(WindowHandle window) const {
    for (const Entry& entry : entries) {
        if (facts.Holds(entry.window, window)) {
            return entry.window;
        }
    }
    return nullptr;
}

bool WindowStack::IsCovered(WindowHandle window) const {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const Entry& entry) { return facts.Holds(entry.window, window); });
    if (it == entries.end()) {
        return false;
    }
    return std::any_of(it + 1, entries.end(), [&](const Entry& entry) { return facts.IsShown(entry.window); });
}

bool WindowStack::ShowDone(WindowHandle owner) {
    // The Done button belongs to the window in front: a window covered by a dialog cannot take it
    // from the dialog (else the frame, told that it lost activation, would leave the dialog without
    // a working Done).
    if (IsCovered(owner)) {
        return false;
    }
    // The button belongs to the top-level window that holds the given one.
    if (owner != nullptr) {
        owner = TopLevelOf(owner);
        if (owner == nullptr) {
            return false;
        }
    }
    doneShown = true;
    doneOwner = owner;
    return true;
}

void WindowStack::HideDone() {
    doneShown = false;
    doneOwner = nullptr;
}

WindowStack::DoneAction WindowStack::PressDone() {
    if (!doneShown) {
        return DoneAction::Nothing;
    }
    if (doneOwner == nullptr) {
        if (ShellClient* client = ClientOf(MainFrame())) {
            client->ShellDestroyRequest();
        }
        return DoneAction::DestroyFrame;
    }
    // The frame owning the button is the main screen: its Done does nothing.
    if (doneOwner == MainFrame()) {
        return DoneAction::Nothing;
    }
    if (ShellClient* client = ClientOf(doneOwner)) {
        client->ShellCommand(kDoneCommand);
    }
    return DoneAction::OkToOwner;
}

WindowStack::ItemState WindowStack::StateOf(const MenuItem& item, ShellClient* client) {
    ItemState state;
    state.enabled = (item.flags & MF_GRAYED) == 0;
    state.checked = (item.flags & MF_CHECKED) != 0;
    if (!item.isPopup && client != nullptr) {
        client->ShellQueryCommand(item.id, state.enabled, state.checked);
    }
    return state;
}

void WindowStack::ClaimCallKeys(WindowHandle window) {
    if (window != nullptr) {
        keyClaimer = window;
    }
}

WindowHandle WindowStack::CallKeyTarget() const {
    // A claim made by a window behind the front one (the list, refreshed as a dialog opens over it)
    // does not take the keys away from the front window.
    const Entry* front = Front();
    if (front == nullptr) {
        return nullptr;
    }
    if (keyClaimer != nullptr && facts.Holds(front->window, keyClaimer)) {
        return keyClaimer;
    }
    return front->window;
}

bool WindowStack::SetScreenActive(bool active) {
    if (active == screenActive) {
        return false;
    }
    screenActive = active;
    const Entry* front = Front();
    if (active && (front != nullptr ? front->window : nullptr) == MainFrame()) {
        dataChangedOwed = false;
    }
    return true;
}

bool WindowStack::DeliverDataChanged() {
    const Entry* front = Front();
    if (!dataChangedOwed || !screenActive || front == nullptr || !front->isMainFrame) {
        return false;
    }
    dataChangedOwed = false;
    if (front->client != nullptr) {
        front->client->ShellDataChanged();
    }
    return true;
}
