#include "platform/resources/dibdecoder.h"

#include "platform/resources/bytereader.h"

// Device-independent bitmap as stored in RT_BITMAP and RT_ICON (no file header), little-endian:
//   BITMAPINFOHEADER (40 bytes; the 108- and 124-byte versions are read the same way):
//     u32 header size, i32 width, i32 height (negative: rows top-down), u16 planes (1),
//     u16 bits per pixel (1, 4, 8, 24 or 32), u32 compression (0 = uncompressed),
//     u32 image size, i32 x/y pixels per metre, u32 colours used (0: all 2^bits), u32 important
//   palette (1 to 8 bits per pixel): colours-used entries of 4 bytes, blue green red 0
//   pixel rows: bottom row first unless the height is negative, each padded to 4 bytes;
//     within a row 1/4/8-bit indices high bits first, 24-bit blue green red, 32-bit blue green red x
//   icons only: after the colour rows a 1-bit AND mask of the same size (1 = transparent)

namespace {

// Larger images are not resources of this program; the limit keeps a damaged header from
// asking for gigabytes.
constexpr int32_t kMaxSide = 4096;

struct DibHeader {
    int32_t width = 0;
    int32_t height = 0; // rows of the colour image
    bool topDown = false;
    uint16_t bits = 0;
    uint32_t paletteSize = 0;
};

size_t RowStride(int32_t width, uint16_t bits) {
    return ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
}

bool ReadHeader(ByteReader& reader, bool icon, DibHeader& header, Bitmap& out) {
    uint32_t headerSize = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    if (!reader.U32(headerSize) || (headerSize != 40 && headerSize != 108 && headerSize != 124) ||
        !reader.I32(header.width) || !reader.I32(height) || !reader.U16(planes) || !reader.U16(header.bits) ||
        !reader.U32(compression) || !reader.Skip(12) || !reader.U32(colorsUsed) || !reader.Skip(headerSize - 36)) {
        return false;
    }
    if (planes != 1 || compression != 0) {
        return false;
    }
    if (header.bits != 1 && header.bits != 4 && header.bits != 8 && header.bits != 24 && header.bits != 32) {
        return false;
    }
    header.topDown = height < 0;
    if (height == INT32_MIN) {
        return false;
    }
    header.height = height < 0 ? -height : height;
    if (icon) {
        if (header.topDown || header.height % 2 != 0) {
            return false;
        }
        header.height /= 2;
    }
    if (header.width <= 0 || header.height <= 0 || header.width > kMaxSide || header.height > kMaxSide) {
        return false;
    }
    if (header.bits <= 8) {
        uint32_t full = 1u << header.bits;
        header.paletteSize = colorsUsed == 0 ? full : colorsUsed;
        if (header.paletteSize > full) {
            return false;
        }
        if (header.paletteSize > reader.Remaining() / 4) {
            return false;
        }
        out.palette.resize(header.paletteSize);
        for (uint32_t& entry : out.palette) {
            uint8_t blue = 0, green = 0, red = 0, unused = 0;
            reader.U8(blue);
            reader.U8(green);
            reader.U8(red);
            reader.U8(unused);
            entry = 0xFF000000u | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
        }
    }
    out.width = header.width;
    out.height = header.height;
    out.bitsPerPixel = header.bits;
    return true;
}

bool ReadPixels(ByteReader& reader, const DibHeader& header, bool keepAlpha, Bitmap& out) {
    size_t stride = RowStride(header.width, header.bits);
    if (stride > reader.Remaining() / static_cast<size_t>(header.height)) {
        return false;
    }
    std::span<const uint8_t> rows = reader.Bytes(stride * header.height);
    size_t count = static_cast<size_t>(header.width) * header.height;
    out.pixels.assign(count, 0);
    if (header.bits <= 8) {
        out.indices.assign(count, 0);
    }
    for (int32_t row = 0; row < header.height; ++row) {
        int32_t y = header.topDown ? row : header.height - 1 - row;
        std::span<const uint8_t> line = rows.subspan(static_cast<size_t>(row) * stride, stride);
        for (int32_t x = 0; x < header.width; ++x) {
            size_t at = static_cast<size_t>(y) * header.width + x;
            if (header.bits <= 8) {
                size_t bitPos = static_cast<size_t>(x) * header.bits;
                unsigned shift = 8 - header.bits - (bitPos % 8);
                uint8_t index = static_cast<uint8_t>((line[bitPos / 8] >> shift) & ((1u << header.bits) - 1));
                if (index >= header.paletteSize) {
                    return false;
                }
                out.indices[at] = index;
                out.pixels[at] = out.palette[index];
            } else {
                size_t base = static_cast<size_t>(x) * (header.bits / 8);
                uint32_t alpha = 0xFF;
                if (header.bits == 32 && keepAlpha) {
                    alpha = line[base + 3];
                }
                out.pixels[at] =
                    (alpha << 24) | (uint32_t{line[base + 2]} << 16) | (uint32_t{line[base + 1]} << 8) | line[base];
            }
        }
    }
    return true;
}

} // namespace

int DecodeBitmap(std::span<const uint8_t> dib, Bitmap& out) {
    ByteReader reader(dib);
    DibHeader header;
    Bitmap bitmap;
    if (!ReadHeader(reader, false, header, bitmap) || !ReadPixels(reader, header, false, bitmap)) {
        return -1;
    }
    out = std::move(bitmap);
    return 0;
}

int DecodeIconImage(std::span<const uint8_t> dib, Bitmap& out) {
    ByteReader reader(dib);
    DibHeader header;
    Bitmap bitmap;
    if (!ReadHeader(reader, true, header, bitmap) || !ReadPixels(reader, header, header.bits == 32, bitmap)) {
        return -1;
    }
    // Older 32-bit icons leave the fourth byte zero and rely on the mask alone.
    bool noAlpha = true;
    for (uint32_t pixel : bitmap.pixels) {
        noAlpha = noAlpha && (pixel >> 24) == 0;
    }
    if (noAlpha) {
        for (uint32_t& pixel : bitmap.pixels) {
            pixel |= 0xFF000000u;
        }
    }
    size_t maskStride = RowStride(header.width, 1);
    if (maskStride > reader.Remaining() / static_cast<size_t>(header.height)) {
        return -1;
    }
    std::span<const uint8_t> mask = reader.Bytes(maskStride * header.height);
    for (int32_t row = 0; row < header.height; ++row) {
        int32_t y = header.height - 1 - row;
        for (int32_t x = 0; x < header.width; ++x) {
            bool transparent = (mask[row * maskStride + x / 8] >> (7 - x % 8)) & 1;
            if (transparent) {
                bitmap.pixels[static_cast<size_t>(y) * header.width + x] &= 0x00FFFFFFu;
            }
        }
    }
    out = std::move(bitmap);
    return 0;
}
