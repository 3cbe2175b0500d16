#pragma once

#include <cstdint>
#include <string>

struct wl_display;
struct gtk_shell1;
struct gtk_surface1;
struct wl_registry;
struct wl_surface;
struct xdg_activation_v1;

// Brings the running program to the front on Wayland when a later start asks for it. The compositor
// moves the focus to a window only with an activation token, which Qt before 6.7 passes on only
// from its own focused window; so the later start gets a token (the one its launcher gave it, or
// one of its own from the compositor) and hands it over, and the running program activates its
// window with it (xdg-activation). A phone's compositor that only marks the window active for that
// (phoc before 0.26) gives the focus when asked through GTK's shell protocol, so that is asked too
// where it is offered. Everywhere else it does nothing.
class WaylandActivation {
public:
    WaylandActivation() = default;
    ~WaylandActivation();
    WaylandActivation(const WaylandActivation&) = delete;
    WaylandActivation& operator=(const WaylandActivation&) = delete;

    // In a later start, before any window of its own: the token to hand to the running program.
    // XDG_ACTIVATION_TOKEN when the launcher set it (and then unset, as it is used up), else one the
    // compositor gives for appId on a connection of this call's own. Empty without Wayland or
    // without a token.
    static std::string TokenForRunningProgram(const std::string& appId);

    // Call once the first window is shown: binds the compositor's activation on Qt's connection.
    void Start();
    // Asks the compositor to give the program's window (its first shown window that is not a popup)
    // the focus with the token. Returns 0, or -1 when there is no activation, token or window.
    int Activate(const std::string& token);

    void OnGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);

private:
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    xdg_activation_v1* activation = nullptr;
    gtk_shell1* gtkShell = nullptr;
    // GTK's side of our window's surface, made at the first activation and again for a new surface.
    gtk_surface1* gtkSurface = nullptr;
    wl_surface* gtkSurfaceOf = nullptr;
};
