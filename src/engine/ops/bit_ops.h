// The bit operations of the "Bit-Operationen" menu: each pixel value is treated as an 8-bit
// pattern and inverted, combined with a constant, rotated, shifted or reversed.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo {

// The command ids that select the operation.
inline constexpr int32_t kBitXor = 40009;          // p XOR c
inline constexpr int32_t kBitNot = 40018;          // 255 - p
inline constexpr int32_t kBitOr = 40019;           // p OR c
inline constexpr int32_t kBitAnd = 40020;          // p AND c
inline constexpr int32_t kBitRotateRight = 40021;  // bit 0 moves to bit 7
inline constexpr int32_t kBitRotateLeft = 40022;   // bit 7 moves to bit 0
inline constexpr int32_t kBitShiftLeft = 40023;    // 2p, bit 8 dropped
inline constexpr int32_t kBitShiftRight = 40024;   // p / 2
inline constexpr int32_t kBitReverse = 40132;      // bit i moves to bit 7 - i

// Applies the operation to all W x H pixels in place (row filler bytes untouched). The constant is
// used by AND, OR and XOR only. False, changing nothing, for an id that is none of the above.
bool ApplyBitOperation(GrayBitmap& bitmap, int32_t commandId, uint8_t constant);

// The colour table that shows the pixels as AND, OR or XOR with `constant` would make them: entry i
// is entry (i op constant) of `own`. Any other id gives `own` unchanged.
ColourTable BitPreviewTable(const ColourTable& own, int32_t commandId, uint8_t constant);

}  // namespace tarkemo
