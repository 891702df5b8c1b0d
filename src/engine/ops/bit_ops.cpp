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

typedef uint8_t Bytes16 __attribute__((vector_size(16), aligned(1)));

// Reverses the bits of 16 pixels at once: each nibble is reversed by a 16-entry table look-up (one
// byte shuffle), and the two reversed nibbles trade places.
void ReverseBitsOfRows(GrayBitmap& bitmap) {
    const Bytes16 reversedNibble = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE,
                                    0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};
    const int32_t width = bitmap.width;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.Row(y);
        int32_t x = 0;
        for (; x + 16 <= width; x += 16) {
            Bytes16& pixels = *reinterpret_cast<Bytes16*>(row + x);
            const Bytes16 low = pixels & 0x0F;
            const Bytes16 high = pixels >> 4;
            pixels = (__builtin_shuffle(reversedNibble, low) << 4) | __builtin_shuffle(reversedNibble, high);
        }
        for (; x < width; ++x) row[x] = ReverseBits(row[x]);
    }
}

}  // namespace

ColourTable BitPreviewTable(const ColourTable& own, int32_t commandId, uint8_t constant) {
    ColourTable table = own;
    for (int i = 0; i < 256; ++i) {
        int source = i;
        if (commandId == kBitAnd) source = i & constant;
        if (commandId == kBitOr) source = i | constant;
        if (commandId == kBitXor) source = i ^ constant;
        table[static_cast<size_t>(i)] = own[static_cast<size_t>(source)];
    }
    return table;
}

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
            ReverseBitsOfRows(bitmap);
            return true;
        default:
            return false;
    }
}

}  // namespace tarkemo
