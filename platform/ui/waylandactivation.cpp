#include "platform/ui/waylandactivation.h"

#include "platform/ui/waylandnative.h"

#include "gtk-shell-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"

#include <QApplication>
#include <QWidget>
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

namespace {

// What the token request of a later start collects from its own connection.
struct TokenRequest {
    xdg_activation_v1* activation = nullptr;
    std::string token;
    bool done = false;
};

void HandleRequestGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* request = static_cast<TokenRequest*>(data);
    if (request->activation == nullptr && std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
        request->activation =
            static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    }
}

void HandleGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    static_cast<WaylandActivation*>(data)->OnGlobal(registry, name, interface, version);
}

void HandleGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRequestRegistryListener = {HandleRequestGlobal, HandleGlobalRemove};
const wl_registry_listener kRegistryListener = {HandleGlobal, HandleGlobalRemove};

void HandleTokenDone(void* data, xdg_activation_token_v1*, const char* token) {
    auto* request = static_cast<TokenRequest*>(data);
    request->token = token != nullptr ? token : "";
    request->done = true;
}

const xdg_activation_token_v1_listener kTokenListener = {HandleTokenDone};

// The compositor's token for a start without a window: the app id alone, no surface or serial
// (a phone's compositor grants it; one that refuses gives a token it will not honour).
std::string TokenFromCompositor(const std::string& appId) {
    wl_display* connection = wl_display_connect(nullptr);
    if (connection == nullptr) {
        return {};
    }
    TokenRequest request;
    wl_registry* globals = wl_display_get_registry(connection);
    wl_registry_add_listener(globals, &kRequestRegistryListener, &request);
    if (wl_display_roundtrip(connection) >= 0 && request.activation != nullptr) {
        xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(request.activation);
        xdg_activation_token_v1_add_listener(token, &kTokenListener, &request);
        xdg_activation_token_v1_set_app_id(token, appId.c_str());
        xdg_activation_token_v1_commit(token);
        // The token comes with the answer to the commit; a second round allows for a slow compositor.
        for (int round = 0; round < 2 && !request.done; ++round) {
            if (wl_display_roundtrip(connection) < 0) {
                break;
            }
        }
        xdg_activation_token_v1_destroy(token);
        xdg_activation_v1_destroy(request.activation);
    }
    wl_registry_destroy(globals);
    wl_display_disconnect(connection);
    return request.token;
}

} // namespace

WaylandActivation::~WaylandActivation() {
    if (gtkSurface != nullptr) {
        gtk_surface1_destroy(gtkSurface);
    }
    if (gtkShell != nullptr) {
        gtk_shell1_destroy(gtkShell);
    }
    if (activation != nullptr) {
        xdg_activation_v1_destroy(activation);
    }
    if (registry != nullptr) {
        wl_registry_destroy(registry);
    }
    if (display != nullptr) {
        wl_display_flush(display);
    }
}

std::string WaylandActivation::TokenForRunningProgram(const std::string& appId) {
    const char* given = std::getenv("XDG_ACTIVATION_TOKEN");
    if (given != nullptr && *given != '\0') {
        std::string token = given;
        unsetenv("XDG_ACTIVATION_TOKEN");
        return token;
    }
    const char* waylandDisplay = std::getenv("WAYLAND_DISPLAY");
    if (waylandDisplay == nullptr || *waylandDisplay == '\0') {
        return {};
    }
    return TokenFromCompositor(appId);
}

void WaylandActivation::Start() {
    if (display != nullptr || QGuiApplication::platformName() != QLatin1String("wayland")) {
        return;
    }
    display = static_cast<wl_display*>(WaylandNative::IntegrationResource("wl_display"));
    if (display == nullptr) {
        return;
    }
    // On Qt's default queue: Qt dispatches the globals on this thread.
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, this);
    wl_display_flush(display);
}

void WaylandActivation::OnGlobal(wl_registry*, uint32_t name, const char* interface, uint32_t version) {
    if (activation == nullptr && std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
        activation = static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    }
    // Its focus request came with version 3.
    if (gtkShell == nullptr && version >= 3 && std::strcmp(interface, gtk_shell1_interface.name) == 0) {
        gtkShell = static_cast<gtk_shell1*>(wl_registry_bind(registry, name, &gtk_shell1_interface, 3));
    }
}

int WaylandActivation::Activate(const std::string& token) {
    if (activation == nullptr || token.empty()) {
        return -1;
    }
    QWidget* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (window == nullptr && widget->isVisible() && widget->windowType() != Qt::Popup) {
            window = widget;
        }
    }
    wl_surface* surface = WaylandNative::SurfaceOf(window);
    if (surface == nullptr) {
        return -1;
    }
    xdg_activation_v1_activate(activation, token.c_str(), surface);
    if (gtkShell != nullptr) {
        if (gtkSurface == nullptr || gtkSurfaceOf != surface) {
            if (gtkSurface != nullptr) {
                gtk_surface1_destroy(gtkSurface);
            }
            gtkSurface = gtk_shell1_get_gtk_surface(gtkShell, surface);
            gtkSurfaceOf = surface;
        }
        gtk_surface1_request_focus(gtkSurface, token.c_str());
    }
    wl_display_flush(display);
    return 0;
}
