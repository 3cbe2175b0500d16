#pragma once

#include <cstddef>
#include <cstdint>

// The program's compiled resource file, embedded at build time (resources/CMakeLists.txt).
extern const uint8_t kEmbeddedRes[];
extern const size_t kEmbeddedResSize;
