// The one image type of the program: 8 bits per pixel, a 256-entry colour table, rows
// padded to 4 bytes and stored bottom-up exactly like a Windows device-independent bitmap.
// Every operation works on the pixel values; the colour table only decides how they look.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "image/pixel_buffer.h"

namespace tarkemo {

struct ColourEntry {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    friend bool operator==(const ColourEntry&, const ColourEntry&) = default;
};

using ColourTable = std::array<ColourEntry, 256>;

// Largest pixel buffer we accept: linear indices of the label map are 32-bit.
inline constexpr int64_t kMaxPixelBytes = 2147483647;

struct GrayBitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // bytes per stored row, width rounded up to a multiple of 4
    PixelBuffer pixels;  // stride * height bytes; row 0 is the bottom row of the image
    ColourTable colours{};
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;

    uint8_t* Row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(stride); }
    const uint8_t* Row(int32_t y) const {
        return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
    }
    uint8_t& At(int32_t x, int32_t y) { return Row(y)[x]; }
    uint8_t At(int32_t x, int32_t y) const { return Row(y)[x]; }
    size_t ByteCount() const { return static_cast<size_t>(stride) * static_cast<size_t>(height); }
};

// ((width * 8 + 31) / 32) * 4, computed without overflow for any positive int32 width.
int64_t StrideFor(int64_t width);

// True when a width x height bitmap is positive in both sides and its buffer stays within kMaxPixelBytes.
bool BitmapSizeAllowed(int64_t width, int64_t height);

// The identity gray ramp: entry i is (i, i, i, 0).
ColourTable GrayRampTable();

// A new bitmap with zeroed pixels, resolution 0 and the given table (reserved bytes cleared) or the gray
// ramp. None for sides below 1, a buffer above kMaxPixelBytes or lack of memory.
std::optional<GrayBitmap> CreateGrayBitmap(int32_t width, int32_t height, const ColourTable* table = nullptr);

// As CreateGrayBitmap, but the pixels are left unset for callers that write every byte themselves.
std::optional<GrayBitmap> CreateGrayBitmapForOverwrite(int32_t width, int32_t height,
                                                       const ColourTable* table = nullptr);

// A new bitmap of the given size whose colour table and resolution are taken from `model`.
std::optional<GrayBitmap> CreateLike(const GrayBitmap& model, int32_t width, int32_t height,
                                     bool zeroed = true);

void ReadColourTable(const GrayBitmap& bitmap, ColourTable& table);
void WriteColourTable(GrayBitmap& bitmap, const ColourTable& table);

// Replaces entry (index mod 256); colour is 0x00BBGGRR, so 255 is pure red.
void SetColourEntry(GrayBitmap& bitmap, int index, uint32_t colour);

void SetGrayRamp(GrayBitmap& bitmap);

// Entry i becomes blue = green = red = levels[i].
void SetGrayMapping(GrayBitmap& bitmap, const std::array<uint8_t, 256>& levels);

// True when every entry's blue, green and red equal its index (the reserved byte is ignored).
bool IsIdentityGrayRamp(const ColourTable& table);

}  // namespace tarkemo
