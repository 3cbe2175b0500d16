#pragma once

#include "platform/resources/resourcemodule.h"

#include <cstdint>
#include <span>

// An icon image (RT_ICON): a DIB whose header height counts the colour image and the 1-bit
// transparency mask below it. Pixels under a set mask bit get alpha 0; 32-bit images keep their
// own alpha. 0, or -1 for damaged data.
int DecodeIconImage(std::span<const uint8_t> dib, Bitmap& out);
