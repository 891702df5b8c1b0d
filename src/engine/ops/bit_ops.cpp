#include "ops/bit_ops.h"

namespace tarkemo {
namespace {

// The loop is kept free of branches and table look-ups so that the compiler runs it on whole
// SIMD registers; every operation is a few logical instructions per register.
template <typename Operation>
void ForEachPixel(GrayBitmap& bitmap, Operation operation) {
    const int32_t width = bitmap.width;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < width; ++x) row[x] = operation(row[x]);
    }
}

inline uint8_t ReverseBits(uint8_t p) {
    p = static_cast<uint8_t>(((p & 0xF0) >> 4) | ((p & 0x0F) << 4));
    p = static_cast<uint8_t>(((p & 0xCC) >> 2) | ((p & 0x33) << 2));
    return static_cast<uint8_t>(((p & 0xAA) >> 1) | ((p & 0x55) << 1));
}

}  // namespace

bool ApplyBitOperation(GrayBitmap& bitmap, int32_t commandId, uint8_t constant) {
    const uint8_t c = constant;
    switch (commandId) {
        case kBitNot:
            ForEachPixel(bitmap, [](uint8_t p) { return static_cast<uint8_t>(~p); });
            return true;
        case kBitAnd:
            ForEachPixel(bitmap, [c](uint8_t p) { return static_cast<uint8_t>(p & c); });
            return true;
        case kBitOr:
            ForEachPixel(bitmap, [c](uint8_t p) { return static_cast<uint8_t>(p | c); });
            return true;
        case kBitXor:
            ForEachPixel(bitmap, [c](uint8_t p) { return static_cast<uint8_t>(p ^ c); });
            return true;
        case kBitRotateLeft:
            ForEachPixel(bitmap, [](uint8_t p) { return static_cast<uint8_t>((p << 1) | (p >> 7)); });
            return true;
        case kBitRotateRight:
            ForEachPixel(bitmap, [](uint8_t p) { return static_cast<uint8_t>((p >> 1) | (p << 7)); });
            return true;
        case kBitShiftLeft:
            ForEachPixel(bitmap, [](uint8_t p) { return static_cast<uint8_t>(p << 1); });
            return true;
        case kBitShiftRight:
            ForEachPixel(bitmap, [](uint8_t p) { return static_cast<uint8_t>(p >> 1); });
            return true;
        case kBitReverse:
            ForEachPixel(bitmap, ReverseBits);
            return true;
        default:
            return false;
    }
}

}  // namespace tarkemo
