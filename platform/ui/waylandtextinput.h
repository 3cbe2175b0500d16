#pragma once

#include "platform/ui/surroundingtext.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QLineEdit;
class QWidget;
struct wl_callback;
struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_surface;
struct zwp_text_input_manager_v3;
struct zwp_text_input_v3;

// Opens the phone's on-screen keyboard for the framework's edit fields where Qt cannot: on Wayland
// with a Qt before 6.7, whose text input does not speak the one protocol a phone's compositor
// offers (text-input v3). It owns that protocol's objects, on Qt's own event queue, which Qt
// dispatches on this thread; it tells the compositor about the focused field and hands the
// keyboard's text to it. Everywhere else it does nothing.
class WaylandTextInput {
public:
    WaylandTextInput() = default;
    ~WaylandTextInput();
    WaylandTextInput(const WaylandTextInput&) = delete;
    WaylandTextInput& operator=(const WaylandTextInput&) = delete;

    // Call once the first window is shown: asks the compositor what it offers, and speaks the
    // protocol only when Wanted says so.
    void Start();

    // Whether to speak text-input v3: on Wayland with a Qt older than 6.7 (qtVersion as
    // QT_VERSION), a compositor that offers its manager and none of those Qt binds itself, and no
    // input method module chosen by the user.
    static bool Wanted(const QString& platformName, const QStringList& globals, bool imModuleSet, int qtVersion);

    // The protocol's events, from the listeners.
    void OnGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void OnGlobalsKnown();
    void OnEnter(wl_surface* surface);
    void OnLeave(wl_surface* surface);
    void OnCommitString(const char* text);
    void OnDeleteSurrounding(uint32_t beforeBytes, uint32_t afterBytes);
    void OnDone();

private:
    void FocusChanged();
    void Enable(QLineEdit* edit);
    void Disable();
    void BackToFullScreen();
    void SendState();
    void Flush();

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_callback* globalsKnown = nullptr;
    zwp_text_input_manager_v3* manager = nullptr;
    zwp_text_input_v3* textInput = nullptr;
    QStringList globals;
    uint32_t managerName = 0;
    // The surface the compositor gave the keyboard focus, between enter and leave.
    wl_surface* entered = nullptr;
    QPointer<QLineEdit> field;
    // The full-screen window made room for the keyboard while a field of it takes text.
    QPointer<QWidget> leftFullScreen;
    std::optional<SurroundingText> sent;
    QString pendingCommit;
    uint32_t pendingBefore = 0;
    uint32_t pendingAfter = 0;
    // While the keyboard's text goes in: the field's change is the keyboard's own.
    bool applying = false;
    // Ends the connections to the application and the field with this object.
    QObject connections;
    QObject fieldConnections;
};
