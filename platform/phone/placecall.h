#pragma once

#include "platform/text/localheap.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Placing a call. The request's texts are local-heap handles that stay the caller's. The request,
// with copies of its texts, goes to the handler that start-up installs, which hands a tel: URI to
// the desktop; without a handler nothing is dialled.
//
// Request layout, 24 bytes, little-endian uint32s:
//   0 size (24)  4 flags  8 destination number  12 application name  16 called party  20 comment
struct MakeCallRequest {
    uint32_t size;
    uint32_t flags;
    LocalHandle destination;
    LocalHandle applicationName;
    LocalHandle calledParty;
    LocalHandle comment;
};
static_assert(sizeof(MakeCallRequest) == 24, "a call request is 24 bytes");

// A request as it was made, with copies of its texts (the handles may be released since).
struct PlacedCall {
    MakeCallRequest request;
    std::u16string destination;
    std::u16string calledParty;
};

using PlaceCallHandler = void (*)(const PlacedCall& call);

// Passes the request to the handler. 0, or -1 for a request of the wrong size.
int PhoneMakeCall(const MakeCallRequest* request);

// Installs a handler (null: dial nothing) and returns the previous one.
PlaceCallHandler SetPlaceCallHandler(PlaceCallHandler handler);

// The tel: URI of a number: the characters a dialler takes (digits, "+", "*", "#", "p", "w")
// kept, the rest dropped.
std::string TelUri(const char16_t* number);
