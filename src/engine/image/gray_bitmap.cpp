#include "image/gray_bitmap.h"

#include <new>

#include "image/memory_limits.h"

namespace tarkemo {

int64_t StrideFor(int64_t width) { return ((width * 8 + 31) / 32) * 4; }

bool BitmapSizeAllowed(int64_t width, int64_t height) {
    if (width < 1 || height < 1 || width > kMaxPixelBytes || height > kMaxPixelBytes) return false;
    return StrideFor(width) <= kMaxPixelBytes / height;
}

ColourTable GrayRampTable() {
    ColourTable table{};
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        table[i] = ColourEntry{v, v, v, 0};
    }
    return table;
}

namespace {

std::optional<GrayBitmap> Allocate(int32_t width, int32_t height, const ColourTable* table, bool zeroed) {
    if (!BitmapSizeAllowed(width, height)) return std::nullopt;
    GrayBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.stride = static_cast<int32_t>(StrideFor(width));
    if (!AllocationFits(bitmap.ByteCount())) return std::nullopt;
    try {
        bitmap.pixels = PixelBuffer(bitmap.ByteCount(), zeroed);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (table) {
        WriteColourTable(bitmap, *table);
    } else {
        SetGrayRamp(bitmap);
    }
    return bitmap;
}

}  // namespace

std::optional<GrayBitmap> CreateGrayBitmap(int32_t width, int32_t height, const ColourTable* table) {
    return Allocate(width, height, table, true);
}

std::optional<GrayBitmap> CreateGrayBitmapForOverwrite(int32_t width, int32_t height,
                                                       const ColourTable* table) {
    return Allocate(width, height, table, false);
}

std::optional<GrayBitmap> CreateLike(const GrayBitmap& model, int32_t width, int32_t height, bool zeroed) {
    auto bitmap = Allocate(width, height, &model.colours, zeroed);
    if (bitmap) {
        bitmap->xPelsPerMeter = model.xPelsPerMeter;
        bitmap->yPelsPerMeter = model.yPelsPerMeter;
    }
    return bitmap;
}

void ReadColourTable(const GrayBitmap& bitmap, ColourTable& table) { table = bitmap.colours; }

void WriteColourTable(GrayBitmap& bitmap, const ColourTable& table) {
    for (int i = 0; i < 256; ++i) {
        bitmap.colours[i] = ColourEntry{table[i].blue, table[i].green, table[i].red, 0};
    }
}

void SetColourEntry(GrayBitmap& bitmap, int index, uint32_t colour) {
    bitmap.colours[static_cast<unsigned>(index) & 0xFFu] =
        ColourEntry{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                    static_cast<uint8_t>(colour), 0};
}

void SetGrayRamp(GrayBitmap& bitmap) { bitmap.colours = GrayRampTable(); }

void SetGrayMapping(GrayBitmap& bitmap, const std::array<uint8_t, 256>& levels) {
    for (int i = 0; i < 256; ++i) bitmap.colours[i] = ColourEntry{levels[i], levels[i], levels[i], 0};
}

bool IsIdentityGrayRamp(const ColourTable& table) {
    for (int i = 0; i < 256; ++i) {
        const ColourEntry& e = table[i];
        if (e.blue != i || e.green != i || e.red != i) return false;
    }
    return true;
}

}  // namespace tarkemo
