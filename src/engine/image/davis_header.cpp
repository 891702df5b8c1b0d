#include "image/davis_header.h"

namespace tarkemo {
namespace {

// Byte offsets of the fields the reader uses; everything else in the header is metadata.
constexpr size_t kImageTypeAt = 0;
constexpr size_t kRowsAt = 10;
constexpr size_t kColumnsAt = 12;
constexpr size_t kSubtypeAt = 14;
constexpr size_t kFrameCountAt = 18;
constexpr size_t kVersionAt = 33;
constexpr size_t kLongRowsAt = 228;
constexpr size_t kLongColumnsAt = 232;
constexpr size_t kLongZDimAt = 236;

int16_t ReadI16(std::span<const uint8_t> file, size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(file[at] | file[at + 1] << 8));
}

int32_t ReadI32(std::span<const uint8_t> file, size_t at) {
    const uint32_t value = static_cast<uint32_t>(file[at]) | static_cast<uint32_t>(file[at + 1]) << 8 |
                           static_cast<uint32_t>(file[at + 2]) << 16 |
                           static_cast<uint32_t>(file[at + 3]) << 24;
    return static_cast<int32_t>(value);
}

bool IsReadableType(int type) {
    return type == kDavisRawWords || type == kDavisPackedWords || type == kDavisRawFloats;
}

// The version rules on the raw fields; counts may still be below 1 afterwards.
void ApplyVersionRules(std::span<const uint8_t> file, DavisHeader& header) {
    const int16_t rows = ReadI16(file, kRowsAt);
    const int16_t columns = ReadI16(file, kColumnsAt);
    const int32_t r = rows == -1 ? ReadI32(file, kLongRowsAt) : rows;
    const int v = header.version;
    header.nx = columns == -1 ? ReadI32(file, kLongColumnsAt) : columns;
    header.nf = (v >= 54 && v <= 99) ? ReadI16(file, kFrameCountAt) : 1;
    header.nz = (v >= 55 && v <= 99) ? ReadI32(file, kLongZDimAt) : 1;
    const bool rowsCountAllFrames = v < 55 || v >= 100;
    header.ny = (rowsCountAllFrames && header.nf > 0) ? r / header.nf : r;
    if (v >= 100 && v <= 209) {
        header.nx = 384;
        header.ny = 286;
    }
}

}  // namespace

std::optional<DavisHeader> ParseDavisHeader(std::span<const uint8_t> file, DavisError& error) {
    if (file.size() < kDavisHeaderSize) {
        error = DavisError::kShortHeader;
        return std::nullopt;
    }
    DavisHeader header;
    header.imageType = ReadI16(file, kImageTypeAt);
    header.version = file[kVersionAt];
    const int16_t subtype = ReadI16(file, kSubtypeAt);
    if (!IsReadableType(header.imageType) || subtype < 0 || subtype > 5) {
        error = DavisError::kUnsupportedType;
        return std::nullopt;
    }
    if (subtype != 0) {
        error = DavisError::kVectorField;
        return std::nullopt;
    }
    ApplyVersionRules(file, header);
    if (header.nx < 1 || header.ny < 1 || header.nz < 1 || header.nf < 1) {
        error = DavisError::kBadDimensions;
        return std::nullopt;
    }
    int64_t frameLines = 0;
    if (__builtin_mul_overflow(static_cast<int64_t>(header.ny), static_cast<int64_t>(header.nz),
                               &frameLines) ||
        __builtin_mul_overflow(frameLines, static_cast<int64_t>(header.nf), &header.lines)) {
        error = DavisError::kTooLarge;
        return std::nullopt;
    }
    error = DavisError::kNone;
    return header;
}

}  // namespace tarkemo
