#include "image/packed_dib.h"

#include <cstring>
#include <new>

#include "image/dib_format.h"
#include "image/memory_limits.h"

namespace tarkemo {

namespace {

bool RectangleInside(const GrayBitmap& bitmap, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return 0 <= left && left <= right && right < bitmap.width && 0 <= bottom && bottom <= top &&
           top < bitmap.height && bitmap.pixels.size() == bitmap.ByteCount();
}

}  // namespace

std::vector<uint8_t> EncodePackedDib(const GrayBitmap& bitmap, int32_t left, int32_t top, int32_t right,
                                     int32_t bottom) {
    if (!RectangleInside(bitmap, left, top, right, bottom)) return {};
    const int32_t width = right - left + 1;
    const int32_t height = top - bottom + 1;
    const auto stride = static_cast<size_t>(StrideFor(width));
    const size_t pixelOffset = kInfoHeaderSize + kColourTableBytes;
    const size_t total = pixelOffset + stride * static_cast<size_t>(height);
    if (!AllocationFits(total)) return {};
    try {
        std::vector<uint8_t> block(total, 0);  // zeroed, so the row padding is 0
        WriteInfoHeaderAndTable(block.data(), width, height, bitmap.xPelsPerMeter, bitmap.yPelsPerMeter,
                                bitmap.colours);
        for (int32_t y = 0; y < height; ++y) {
            std::memcpy(block.data() + pixelOffset + static_cast<size_t>(y) * stride,
                        bitmap.Row(bottom + y) + left, static_cast<size_t>(width));
        }
        return block;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::optional<LoadedBitmap> DecodePackedDib(std::span<const uint8_t> block) {
    const std::optional<DibHeader> header = ParseDibHeader(block);
    if (!header) return std::nullopt;
    const std::optional<DibLayout> layout = ValidateDibHeader(*header);
    // The pixels follow the stored colour table directly.
    if (!layout || layout->tableEnd > block.size()) return std::nullopt;
    return DecodeDib(*layout, block, block.subspan(layout->tableEnd));
}

DibSize PackedDibSize(std::span<const uint8_t> block) {
    const std::optional<DibHeader> header = ParseDibHeader(block);
    if (!header || !IsPlain8Bit(*header)) return {};
    return DibSize{static_cast<int32_t>(header->width), static_cast<int32_t>(header->height)};
}

}  // namespace tarkemo
