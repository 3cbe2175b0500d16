#include "platform/phone/placecall.h"

#include <mutex>

namespace {

std::mutex lock;
PlaceCallHandler handler = nullptr;

std::u16string TextOf(LocalHandle handle) {
    const char16_t* text = LocalText(handle);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

} // namespace

int PhoneMakeCall(const MakeCallRequest* request) {
    if (request == nullptr || request->size != sizeof(MakeCallRequest)) {
        return -1;
    }
    PlacedCall call{*request, TextOf(request->destination), TextOf(request->calledParty)};
    PlaceCallHandler current = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock);
        current = handler;
    }
    if (current != nullptr) {
        current(call);
    }
    return 0;
}

PlaceCallHandler SetPlaceCallHandler(PlaceCallHandler newHandler) {
    std::lock_guard<std::mutex> guard(lock);
    PlaceCallHandler previous = handler;
    handler = newHandler;
    return previous;
}

std::string TelUri(const char16_t* number) {
    std::string uri = "tel:";
    for (const char16_t* c = number; c != nullptr && *c != u'\0'; ++c) {
        if ((*c >= u'0' && *c <= u'9') || *c == u'+' || *c == u'*' || *c == u'p' || *c == u'w') {
            uri += static_cast<char>(*c);
        } else if (*c == u'#') {
            uri += "%23"; // a bare "#" would start the URI's fragment
        }
    }
    return uri;
}
