// The fixed 256-byte header of DaVis IMX/IMG files and the version rules that turn its fields
// into the image's dimensions. Only the fields the reader needs are decoded, and every size is
// checked before anything is derived from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarkemo {

// Why a DaVis file was refused; kNone is success. The numbers are the results of ReadIMX.
enum class DavisError : int {
    kNone = 0,
    kCannotRead = 1,       // the file could not be opened or read
    kShortHeader = 2,      // fewer than 256 bytes
    kUnsupportedType = 3,  // an image type other than 18, 19 and 20
    kVectorField = 4,      // subtype 1..5: a vector field, not an image
    kBadDimensions = 5,    // a side, frame count or plane count below 1
    kTruncated = 6,        // the file ends before the last sample
    kTooLarge = 7,         // more samples than any file or the machine's memory can hold
    kNoMemory = 8,         // the sample array could not be allocated
    kBitmapFailed = 9,     // the 8-bit bitmap for the samples could not be created
};

inline constexpr size_t kDavisHeaderSize = 256;

// The layout codes of the first header field that the reader accepts.
inline constexpr int kDavisRawWords = 18;
inline constexpr int kDavisPackedWords = 19;
inline constexpr int kDavisRawFloats = 20;

struct DavisHeader {
    int imageType = 0;  // kDavisRawWords, kDavisPackedWords or kDavisRawFloats
    int version = 0;    // header version byte: 40..99 for DaVis 4.0..9.9, 100 and up for older ones
    int32_t nx = 0;     // samples per line
    int32_t ny = 0;     // lines of one frame
    int32_t nz = 1;     // planes
    int32_t nf = 1;     // frames
    int64_t lines = 0;  // ny * nz * nf: the lines stored in the file, frame 0 first
};

// Decodes the header at the start of `file` and applies the version rules: the long fields stand in
// for rows or columns of -1; the frame count counts from version 54 and the plane count from 55;
// below 55 (and from 100) the row field counts all frames together; versions 100..209 always hold
// 384 x 286 samples. Fails with kShortHeader, kUnsupportedType, kVectorField, kBadDimensions (any
// count below 1, so nothing is ever divided by 0) or kTooLarge (the line count overflows).
std::optional<DavisHeader> ParseDavisHeader(std::span<const uint8_t> file, DavisError& error);

}  // namespace tarkemo
