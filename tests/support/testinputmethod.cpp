// A phone's on-screen keyboard in its simplest form, for the tests: the seat's input method over
// zwp_input_method_v2. Each time a field asks for text it commits the text it was given once, and
// it prints what the field tells it, one line each, as the compositor's state is done:
//   purpose N        the field's content purpose, when it is enabled
//   surrounding T    the field's text around the cursor, whenever it changed
//   deactivated      the field gave the text input up
// With a correction, once the field holds TEXT it deletes BYTES before the cursor and commits
// REPLACEMENT, both in one commit, as a keyboard's word completion does.
//   testinputmethod TEXT [BYTES REPLACEMENT]
#include "input-method-unstable-v2-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct InputMethod {
    wl_seat* seat = nullptr;
    zwp_input_method_manager_v2* manager = nullptr;
    zwp_input_method_v2* method = nullptr;
    std::string text;
    uint32_t correctionBytes = 0;
    std::string replacement;
    bool corrected = false;
    uint32_t doneCount = 0;
    // The state being sent, applied at done.
    bool pendingActive = false;
    uint32_t pendingPurpose = 0;
    std::string pendingSurrounding;
    // The state done.
    bool active = false;
    std::string surrounding;
};

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* im = static_cast<InputMethod*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && im->seat == nullptr) {
        im->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwp_input_method_manager_v2_interface.name) == 0) {
        im->manager = static_cast<zwp_input_method_manager_v2*>(
            wl_registry_bind(registry, name, &zwp_input_method_manager_v2_interface, 1));
    }
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void OnActivate(void* data, zwp_input_method_v2*) {
    auto* im = static_cast<InputMethod*>(data);
    im->pendingActive = true;
    im->pendingSurrounding.clear();
}

void OnDeactivate(void* data, zwp_input_method_v2*) {
    static_cast<InputMethod*>(data)->pendingActive = false;
}

void OnSurroundingText(void* data, zwp_input_method_v2*, const char* text, uint32_t, uint32_t) {
    static_cast<InputMethod*>(data)->pendingSurrounding = text != nullptr ? text : "";
}

void OnTextChangeCause(void*, zwp_input_method_v2*, uint32_t) {}

void OnContentType(void* data, zwp_input_method_v2*, uint32_t, uint32_t purpose) {
    static_cast<InputMethod*>(data)->pendingPurpose = purpose;
}

void OnDone(void* data, zwp_input_method_v2* method) {
    auto* im = static_cast<InputMethod*>(data);
    ++im->doneCount;
    const bool activated = im->pendingActive && !im->active;
    if (!im->pendingActive && im->active) {
        Print("deactivated");
    }
    im->active = im->pendingActive;
    if (activated) {
        Print("purpose " + std::to_string(im->pendingPurpose));
    }
    if (im->active && im->pendingSurrounding != im->surrounding) {
        im->surrounding = im->pendingSurrounding;
        Print("surrounding " + im->surrounding);
        if (!im->replacement.empty() && !im->corrected && im->surrounding == im->text) {
            im->corrected = true;
            zwp_input_method_v2_delete_surrounding_text(method, im->correctionBytes, 0);
            zwp_input_method_v2_commit_string(method, im->replacement.c_str());
            zwp_input_method_v2_commit(method, im->doneCount);
        }
    }
    if (activated) {
        zwp_input_method_v2_commit_string(method, im->text.c_str());
        zwp_input_method_v2_commit(method, im->doneCount);
    }
}

void OnUnavailable(void*, zwp_input_method_v2*) {
    Print("unavailable");
}

const zwp_input_method_v2_listener kMethodListener = {OnActivate,    OnDeactivate, OnSurroundingText, OnTextChangeCause,
                                                      OnContentType, OnDone,       OnUnavailable};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: testinputmethod TEXT [BYTES REPLACEMENT]\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "testinputmethod: no Wayland display\n");
        return 1;
    }
    InputMethod im;
    im.text = argv[1];
    if (argc == 4) {
        im.correctionBytes = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
        im.replacement = argv[3];
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &im);
    wl_display_roundtrip(display);
    if (im.seat == nullptr || im.manager == nullptr) {
        std::fprintf(stderr, "testinputmethod: the compositor offers no seat or no input methods\n");
        return 1;
    }
    im.method = zwp_input_method_manager_v2_get_input_method(im.manager, im.seat);
    zwp_input_method_v2_add_listener(im.method, &kMethodListener, &im);
    wl_display_roundtrip(display);
    Print("ready");
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
