#include "image/dib_format.h"

#include <algorithm>
#include <cstring>

namespace tarkemo {

namespace {

bool IsKnownInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The 12-byte core header of OS/2 and early Windows: 16-bit unsigned sides, no compression
// field, no colour count and 3-byte table entries.
DibHeader ParseCoreHeader(std::span<const uint8_t> info) {
    DibHeader header;
    header.headerSize = static_cast<uint32_t>(kCoreHeaderSize);
    header.width = ReadLe16(info, 4);
    header.height = ReadLe16(info, 6);
    header.planes = ReadLe16(info, 8);
    header.bitCount = ReadLe16(info, 10);
    header.entrySize = 3;
    return header;
}

// The 40-byte header and its longer descendants share the first 40 bytes.
DibHeader ParseInfoHeader(std::span<const uint8_t> info, uint32_t size) {
    DibHeader header;
    header.headerSize = size;
    header.width = static_cast<int32_t>(ReadLe32(info, 4));
    header.height = static_cast<int32_t>(ReadLe32(info, 8));
    header.planes = ReadLe16(info, 12);
    header.bitCount = ReadLe16(info, 14);
    header.compression = ReadLe32(info, 16);
    header.xPelsPerMeter = static_cast<int32_t>(ReadLe32(info, 24));
    header.yPelsPerMeter = static_cast<int32_t>(ReadLe32(info, 28));
    header.coloursUsed = ReadLe32(info, 32);
    header.entrySize = 4;
    return header;
}

ColourTable ReadTable(const DibLayout& layout, std::span<const uint8_t> info) {
    ColourTable table = GrayRampTable();
    const uint8_t* entry = info.data() + layout.tableOffset;
    for (size_t i = 0; i < layout.entryCount; ++i, entry += layout.entrySize) {
        table[i] = ColourEntry{entry[0], entry[1], entry[2], 0};
    }
    return table;
}

}  // namespace

std::optional<DibHeader> ParseDibHeader(std::span<const uint8_t> info) {
    if (info.size() < 4) return std::nullopt;
    const uint32_t size = ReadLe32(info, 0);
    if (size > info.size()) return std::nullopt;
    if (size == kCoreHeaderSize) return ParseCoreHeader(info);
    if (IsKnownInfoHeaderSize(size)) return ParseInfoHeader(info, size);
    return std::nullopt;
}

bool IsPlain8Bit(const DibHeader& header) {
    return header.planes == 1 && header.bitCount == 8 && header.compression == 0;
}

std::optional<DibLayout> ValidateDibHeader(const DibHeader& header) {
    if (!IsPlain8Bit(header) || header.coloursUsed > 256) return std::nullopt;
    // -2^31 has no positive counterpart in 32 bits; BitmapSizeAllowed refuses it with the other
    // absurd heights because its absolute value exceeds the largest buffer.
    const int64_t height = header.height < 0 ? -header.height : header.height;
    if (!BitmapSizeAllowed(header.width, height)) return std::nullopt;
    DibLayout layout;
    layout.width = static_cast<int32_t>(header.width);
    layout.height = static_cast<int32_t>(height);
    layout.stride = static_cast<int32_t>(StrideFor(header.width));
    layout.topDown = header.height < 0;
    layout.xPelsPerMeter = header.xPelsPerMeter;
    layout.yPelsPerMeter = header.yPelsPerMeter;
    layout.tableOffset = header.headerSize;
    layout.entryCount = header.coloursUsed == 0 ? 256 : header.coloursUsed;
    layout.entrySize = header.entrySize;
    layout.tableEnd = layout.tableOffset + layout.entryCount * layout.entrySize;
    layout.pixelBytes = static_cast<size_t>(layout.stride) * static_cast<size_t>(layout.height);
    return layout;
}

std::optional<LoadedBitmap> CreateDibBitmap(const DibLayout& layout, std::span<const uint8_t> info) {
    if (info.size() < layout.tableEnd) return std::nullopt;
    const ColourTable table = ReadTable(layout, info);
    auto bitmap = CreateGrayBitmapForOverwrite(layout.width, layout.height, &table);
    if (!bitmap || bitmap->ByteCount() != layout.pixelBytes) return std::nullopt;
    bitmap->xPelsPerMeter = layout.xPelsPerMeter;
    bitmap->yPelsPerMeter = layout.yPelsPerMeter;
    const bool grayRamp = IsIdentityGrayRamp(bitmap->colours);
    return LoadedBitmap{std::move(*bitmap), grayRamp};
}

void TurnRowsUpright(const DibLayout& layout, GrayBitmap& bitmap) {
    if (!layout.topDown) return;
    for (int32_t low = 0, high = bitmap.height - 1; low < high; ++low, --high) {
        std::swap_ranges(bitmap.Row(low), bitmap.Row(low) + bitmap.stride, bitmap.Row(high));
    }
}

std::optional<LoadedBitmap> DecodeDib(const DibLayout& layout, std::span<const uint8_t> info,
                                      std::span<const uint8_t> pixels) {
    if (pixels.size() < layout.pixelBytes) return std::nullopt;
    auto loaded = CreateDibBitmap(layout, info);
    if (!loaded) return std::nullopt;
    GrayBitmap& bitmap = loaded->bitmap;
    if (!layout.topDown) {
        std::memcpy(bitmap.pixels.data(), pixels.data(), layout.pixelBytes);
        return loaded;
    }
    const auto stride = static_cast<size_t>(layout.stride);
    for (int32_t y = 0; y < layout.height; ++y) {
        std::memcpy(bitmap.Row(y), pixels.data() + static_cast<size_t>(layout.height - 1 - y) * stride,
                    stride);
    }
    return loaded;
}

void WriteInfoHeaderAndTable(uint8_t* out, int32_t width, int32_t height, int32_t xPelsPerMeter,
                             int32_t yPelsPerMeter, const ColourTable& table) {
    const auto imageSize = static_cast<uint32_t>(StrideFor(width) * height);
    WriteLe32(out + 0, static_cast<uint32_t>(kInfoHeaderSize));
    WriteLe32(out + 4, static_cast<uint32_t>(width));
    WriteLe32(out + 8, static_cast<uint32_t>(height));
    WriteLe16(out + 12, 1);
    WriteLe16(out + 14, 8);
    WriteLe32(out + 16, 0);
    WriteLe32(out + 20, imageSize);
    WriteLe32(out + 24, static_cast<uint32_t>(xPelsPerMeter));
    WriteLe32(out + 28, static_cast<uint32_t>(yPelsPerMeter));
    WriteLe32(out + 32, 256);
    WriteLe32(out + 36, 0);
    uint8_t* entry = out + kInfoHeaderSize;
    for (const ColourEntry& colour : table) {
        *entry++ = colour.blue;
        *entry++ = colour.green;
        *entry++ = colour.red;
        *entry++ = 0;
    }
}

}  // namespace tarkemo
