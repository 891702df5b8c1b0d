// The packed device-independent bitmap exchanged through the clipboard: a 40-byte information
// header, a 1024-byte colour table and the pixel rows from the bottom up.
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

// Decodes a packed DIB (8 bits, 1 plane, uncompressed). Never reads outside `block`.
std::optional<LoadedBitmap> DecodePackedDib(std::span<const uint8_t> block);

// Width and signed height of a packed DIB with 8 bits per pixel, 1 plane and no compression;
// 0 x 0 for anything else, including a block too short for its header.
struct DibSize {
    int32_t width = 0;
    int32_t height = 0;
};
DibSize PackedDibSize(std::span<const uint8_t> block);

}  // namespace tarkemo
