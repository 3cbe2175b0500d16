#pragma once

// The calls the program places, recorded by the tests in place of the desktop's dialler.
#include "platform/phone/placecall.h"

#include <vector>

// Installs the recorder as the place-call handler and forgets what it recorded so far. Tests
// call it before the calls they read back.
void ClearPlacedCalls();

// Every call placed since ClearPlacedCalls, oldest first.
std::vector<PlacedCall> PlacedCalls();
