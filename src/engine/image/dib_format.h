// The device-independent bitmap description shared by BMP files and packed DIBs: little-endian
// field access, the information header in its common sizes, its checks, and the decoding of the
// colour table and pixel rows into a GrayBitmap. Both readers parse headers only through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "image/bmp_file.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

inline constexpr size_t kInfoHeaderSize = 40;
inline constexpr size_t kCoreHeaderSize = 12;
inline constexpr size_t kColourTableBytes = 256 * 4;

// Little-endian fields; the caller guarantees offset + width <= bytes.size().
inline uint16_t ReadLe16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}
inline uint32_t ReadLe32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}
inline void WriteLe16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}
inline void WriteLe32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The fields of an information header as stored, whatever its size.
struct DibHeader {
    uint32_t headerSize = 0;  // 12 (core header) or 40, 52, 56, 108, 124
    int64_t width = 0;
    int64_t height = 0;  // negative when the rows are stored top-down
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;  // 0 means the full table
    uint32_t entrySize = 4;    // bytes per colour-table entry: 3 behind the core header
};

// Where the parts of a checked 8-bit image lie, counted from the start of its header.
struct DibLayout {
    int32_t width = 0;
    int32_t height = 0;  // absolute value
    int32_t stride = 0;
    bool topDown = false;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    size_t tableOffset = 0;  // right behind the header's own size
    size_t entryCount = 0;   // 1..256 stored entries; the rest come from the gray ramp
    size_t entrySize = 4;
    size_t tableEnd = 0;    // first byte behind the stored table
    size_t pixelBytes = 0;  // stride * height
};

// Reads the header at the start of `info`. None when its size field names no known header or
// `info` is shorter than that size.
std::optional<DibHeader> ParseDibHeader(std::span<const uint8_t> info);

// True for 1 plane, 8 bits per pixel and no compression.
bool IsPlain8Bit(const DibHeader& header);

// Checks a parsed header: plain 8 bits, width >= 1, height != 0 and representable as a positive
// value, colours used <= 256, and a pixel buffer within BitmapSizeAllowed. None otherwise.
std::optional<DibLayout> ValidateDibHeader(const DibHeader& header);

// The bitmap a checked header describes, with its colour table (entries beyond the stored ones
// from the gray ramp), resolution and gray-ramp flag; its pixels are left for the caller to fill.
// `info` holds the bytes from the header start, at least layout.tableEnd of them. None when they
// are missing or memory is short.
std::optional<LoadedBitmap> CreateDibBitmap(const DibLayout& layout, std::span<const uint8_t> info);

// Turns the rows of a bitmap filled in stored order upright when they were stored top-down.
void TurnRowsUpright(const DibLayout& layout, GrayBitmap& bitmap);

// CreateDibBitmap with the pixel rows copied from `pixels` (at least layout.pixelBytes, as stored).
std::optional<LoadedBitmap> DecodeDib(const DibLayout& layout, std::span<const uint8_t> info,
                                      std::span<const uint8_t> pixels);

// Writes the 40-byte information header and the 1024-byte colour table the program always writes
// for a width x height image (positive height, image size stride * height, 256 colours used).
void WriteInfoHeaderAndTable(uint8_t* out, int32_t width, int32_t height, int32_t xPelsPerMeter,
                             int32_t yPelsPerMeter, const ColourTable& table);

}  // namespace tarkemo
