#include "platform/ui/waylandtextinput.h"

#include "platform/ui/waylandnative.h"

#include "text-input-unstable-v3-client-protocol.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QTimer>
#include <QWindow>
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

Q_LOGGING_CATEGORY(textInputLog, "ringlog.platform.ui")

namespace {

// The text-input managers Qt binds itself: where one is offered, Qt opens the keyboard.
const char* const kQtsOwnManagers[] = {"zwp_text_input_manager_v1", "zwp_text_input_manager_v2",
                                       "qt_text_input_method_manager_v1"};

void HandleGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    static_cast<WaylandTextInput*>(data)->OnGlobal(registry, name, interface, version);
}

void HandleGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {HandleGlobal, HandleGlobalRemove};

void HandleGlobalsKnown(void* data, wl_callback*, uint32_t) {
    static_cast<WaylandTextInput*>(data)->OnGlobalsKnown();
}

const wl_callback_listener kGlobalsKnownListener = {HandleGlobalsKnown};

void HandleEnter(void* data, zwp_text_input_v3*, wl_surface* surface) {
    static_cast<WaylandTextInput*>(data)->OnEnter(surface);
}

void HandleLeave(void* data, zwp_text_input_v3*, wl_surface* surface) {
    static_cast<WaylandTextInput*>(data)->OnLeave(surface);
}

// The fields take no text being composed: only what the keyboard commits.
void HandlePreedit(void*, zwp_text_input_v3*, const char*, int32_t, int32_t) {}

void HandleCommitString(void* data, zwp_text_input_v3*, const char* text) {
    static_cast<WaylandTextInput*>(data)->OnCommitString(text);
}

void HandleDeleteSurrounding(void* data, zwp_text_input_v3*, uint32_t beforeBytes, uint32_t afterBytes) {
    static_cast<WaylandTextInput*>(data)->OnDeleteSurrounding(beforeBytes, afterBytes);
}

void HandleDone(void* data, zwp_text_input_v3*, uint32_t) {
    static_cast<WaylandTextInput*>(data)->OnDone();
}

const zwp_text_input_v3_listener kTextInputListener = {
    HandleEnter, HandleLeave, HandlePreedit, HandleCommitString, HandleDeleteSurrounding, HandleDone};

} // namespace

using WaylandNative::IntegrationResource;
using WaylandNative::SurfaceOf;

WaylandTextInput::~WaylandTextInput() {
    if (textInput != nullptr) {
        zwp_text_input_v3_destroy(textInput);
    }
    if (manager != nullptr) {
        zwp_text_input_manager_v3_destroy(manager);
    }
    if (globalsKnown != nullptr) {
        wl_callback_destroy(globalsKnown);
    }
    if (registry != nullptr) {
        wl_registry_destroy(registry);
    }
    Flush();
}

bool WaylandTextInput::Wanted(const QString& platformName, const QStringList& globals, bool imModuleSet,
                              int qtVersion) {
    if (platformName != QLatin1String("wayland") || qtVersion >= 0x060700 || imModuleSet) {
        return false;
    }
    for (const char* own : kQtsOwnManagers) {
        if (globals.contains(QLatin1String(own))) {
            return false;
        }
    }
    return globals.contains(QLatin1String(zwp_text_input_manager_v3_interface.name));
}

void WaylandTextInput::Start() {
    if (display != nullptr || QGuiApplication::platformName() != QLatin1String("wayland")) {
        return;
    }
    display = static_cast<wl_display*>(IntegrationResource("wl_display"));
    if (display == nullptr) {
        return;
    }
    // On Qt's default queue: Qt dispatches the answers on this thread.
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, this);
    globalsKnown = wl_display_sync(display);
    wl_callback_add_listener(globalsKnown, &kGlobalsKnownListener, this);
    Flush();
}

void WaylandTextInput::OnGlobal(wl_registry*, uint32_t name, const char* interface, uint32_t) {
    globals.append(QString::fromUtf8(interface));
    if (std::strcmp(interface, zwp_text_input_manager_v3_interface.name) == 0) {
        managerName = name;
    }
}

void WaylandTextInput::OnGlobalsKnown() {
    wl_callback_destroy(globalsKnown);
    globalsKnown = nullptr;
    const char* imModule = std::getenv("QT_IM_MODULE");
    const bool imModuleSet = imModule != nullptr && *imModule != '\0';
    if (!Wanted(QGuiApplication::platformName(), globals, imModuleSet, QT_VERSION)) {
        return;
    }
    auto* seat = static_cast<wl_seat*>(IntegrationResource("wl_seat"));
    if (seat == nullptr) {
        qCInfo(textInputLog) << "no seat: the on-screen keyboard is not asked for";
        return;
    }
    manager = static_cast<zwp_text_input_manager_v3*>(
        wl_registry_bind(registry, managerName, &zwp_text_input_manager_v3_interface, 1));
    textInput = zwp_text_input_manager_v3_get_text_input(manager, seat);
    zwp_text_input_v3_add_listener(textInput, &kTextInputListener, this);
    QObject::connect(qApp, &QApplication::focusChanged, &connections, [this] { FocusChanged(); });
    Flush();
}

void WaylandTextInput::OnEnter(wl_surface* surface) {
    entered = surface;
    FocusChanged();
}

void WaylandTextInput::OnLeave(wl_surface* surface) {
    if (surface == entered) {
        Disable();
        entered = nullptr;
    }
}

void WaylandTextInput::OnCommitString(const char* text) {
    pendingCommit = QString::fromUtf8(text != nullptr ? text : "");
}

void WaylandTextInput::OnDeleteSurrounding(uint32_t beforeBytes, uint32_t afterBytes) {
    pendingBefore = beforeBytes;
    pendingAfter = afterBytes;
}

void WaylandTextInput::OnDone() {
    // The deletion first, then the text, as one event to the field.
    if (field != nullptr && sent.has_value() && (!pendingCommit.isEmpty() || pendingBefore != 0 || pendingAfter != 0)) {
        const SurroundingText::Range range = sent->DeletionAround(pendingBefore, pendingAfter);
        QInputMethodEvent event;
        event.setCommitString(pendingCommit, range.start, range.length);
        applying = true;
        QCoreApplication::sendEvent(field, &event);
        applying = false;
    }
    pendingCommit.clear();
    pendingBefore = 0;
    pendingAfter = 0;
}

void WaylandTextInput::FocusChanged() {
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (edit != nullptr && edit->isReadOnly()) {
        edit = nullptr;
    }
    // The surface is asked for again each time: Qt makes a new one when a window is shown anew.
    if (edit != nullptr && (entered == nullptr || SurfaceOf(edit) != entered)) {
        edit = nullptr;
    }
    if (edit == field) {
        return;
    }
    Disable();
    if (edit != nullptr) {
        Enable(edit);
    }
}

void WaylandTextInput::Enable(QLineEdit* edit) {
    field = edit;
    QObject::connect(edit, &QLineEdit::textChanged, &fieldConnections, [this] { SendState(); });
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, &fieldConnections, [this] { SendState(); });
    // A field destroyed with its dialog no longer takes the keyboard's text.
    QObject::connect(edit, &QObject::destroyed, &fieldConnections, [this] { Disable(); });
    zwp_text_input_v3_enable(textInput);
    const bool digits = (edit->inputMethodHints() & Qt::ImhDigitsOnly) != 0;
    zwp_text_input_v3_set_content_type(textInput, ZWP_TEXT_INPUT_V3_CONTENT_HINT_NONE,
                                       digits ? ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_DIGITS
                                              : ZWP_TEXT_INPUT_V3_CONTENT_PURPOSE_NORMAL);
    SendState();
    // The phone's compositor draws its keyboard under a full-screen window: while a field takes
    // text the window is maximized instead, which the compositor fits above the keyboard.
    QWidget* window = edit->window();
    if (window->isFullScreen()) {
        leftFullScreen = window;
        window->setWindowState((window->windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
    }
}

void WaylandTextInput::BackToFullScreen() {
    if (field != nullptr || leftFullScreen == nullptr) {
        return;
    }
    leftFullScreen->setWindowState((leftFullScreen->windowState() & ~Qt::WindowMaximized) | Qt::WindowFullScreen);
    leftFullScreen = nullptr;
}

void WaylandTextInput::Disable() {
    if (field != nullptr) {
        QObject::disconnect(field, nullptr, &fieldConnections, nullptr);
    }
    // Full screen again once no field takes text: not between two fields of one dialog.
    if (leftFullScreen != nullptr) {
        QTimer::singleShot(0, &connections, [this] { BackToFullScreen(); });
    }
    if (textInput == nullptr || !sent.has_value()) {
        field = nullptr;
        sent.reset();
        return;
    }
    field = nullptr;
    sent.reset();
    zwp_text_input_v3_disable(textInput);
    zwp_text_input_v3_commit(textInput);
    Flush();
}

void WaylandTextInput::SendState() {
    if (field == nullptr || textInput == nullptr) {
        return;
    }
    const int cursor = field->cursorPosition();
    const int anchor = field->hasSelectedText()
                           ? (field->selectionStart() == cursor ? field->selectionEnd() : field->selectionStart())
                           : cursor;
    sent.emplace(field->text(), cursor, anchor);
    zwp_text_input_v3_set_surrounding_text(textInput, sent->Utf8().constData(), sent->CursorByte(), sent->AnchorByte());
    zwp_text_input_v3_set_text_change_cause(textInput, applying ? ZWP_TEXT_INPUT_V3_CHANGE_CAUSE_INPUT_METHOD
                                                                : ZWP_TEXT_INPUT_V3_CHANGE_CAUSE_OTHER);
    // In the surface's logical coordinates: the window's plus its frame, never in device pixels.
    QWindow* window = field->window()->windowHandle();
    const QMargins frame = window != nullptr ? window->frameMargins() : QMargins();
    const QRect cursorRect =
        field->inputMethodQuery(Qt::ImCursorRectangle).toRect().translated(field->mapTo(field->window(), QPoint(0, 0)));
    zwp_text_input_v3_set_cursor_rectangle(textInput, cursorRect.x() + frame.left(), cursorRect.y() + frame.top(),
                                           cursorRect.width(), cursorRect.height());
    zwp_text_input_v3_commit(textInput);
    Flush();
}

void WaylandTextInput::Flush() {
    if (display != nullptr) {
        wl_display_flush(display);
    }
}
