// The packed device-independent bitmap exchanged through the clipboard: an information header,
// the colour table and the pixel rows in one block. We write a 40-byte header, a 1024-byte table
// and the rows from the bottom up; we read what other programs put there too.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/bmp_file.h"

namespace tarkemo {

// Encodes the rectangle left..right, bottom..top (storage coordinates, corners included) of the bitmap.
// Empty when the rectangle is not inside the bitmap.
std::vector<uint8_t> EncodePackedDib(const GrayBitmap& bitmap, int32_t left, int32_t top, int32_t right,
                                     int32_t bottom);

// Decodes a packed DIB (8 bits, 1 plane, uncompressed) with a 12, 40, 52, 56, 108 or 124-byte header,
// its colour table right behind the header (colours used honoured, missing entries from the gray
// ramp) and the pixels right behind the table; top-down rows are turned upright. None for anything
// else or a block too short for its rows. Never reads outside `block`.
std::optional<LoadedBitmap> DecodePackedDib(std::span<const uint8_t> block);

// Width and signed height of a packed DIB with 8 bits per pixel, 1 plane and no compression;
// 0 x 0 for anything else, including a block too short for its header or a header size
// DecodePackedDib does not know.
struct DibSize {
    int32_t width = 0;
    int32_t height = 0;
};
DibSize PackedDibSize(std::span<const uint8_t> block);

}  // namespace tarkemo
