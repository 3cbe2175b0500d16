# cmake -DINPUT=file.res -DOUTPUT=file.cpp -P embedres.cmake
# Writes the bytes of INPUT as the array kEmbeddedRes of a C++ source file.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Lines of 16 bytes keep the generated file readable in a debugger.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
"// Generated from ringlog.res by embedres.cmake; do not edit.
#include <cstddef>
#include <cstdint>

extern const uint8_t kEmbeddedRes[];
extern const size_t kEmbeddedResSize;

alignas(4) const uint8_t kEmbeddedRes[] = {
    ${bytes}
};
const size_t kEmbeddedResSize = ${size};
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
