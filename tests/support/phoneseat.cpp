// Gives the phone's compositor its seat: a headless compositor has no input devices, and it makes
// its seat only when the first device comes. A virtual pointer is such a device; it lives as long
// as this program does, its arrow in the output's bottom right corner. Prints "ready" once the seat
// is there, then waits to be ended.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>

namespace {

struct Globals {
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    bool seat = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        globals->seat = true;
    }
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "phoneseat: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if (globals.pointers == nullptr) {
        std::fprintf(stderr, "phoneseat: the compositor offers no virtual pointers\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, nullptr);
    // Its arrow goes to the bottom right corner, out of the way of the screen's content.
    constexpr uint32_t kExtent = 1000;
    zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, kExtent, kExtent, kExtent, kExtent);
    zwlr_virtual_pointer_v1_frame(pointer);
    // The seat's global is announced once the compositor has added the device.
    while (!globals.seat) {
        if (wl_display_roundtrip(display) < 0) {
            std::fprintf(stderr, "phoneseat: the compositor went away\n");
            return 1;
        }
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
