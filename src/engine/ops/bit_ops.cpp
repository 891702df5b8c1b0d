#include "ops/bit_ops.h"

#if defined(__SSSE3__)
#include <immintrin.h>
#endif

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

// Reverses the bits of 16 pixels at once where the processor has a byte shuffle (pshufb): each
// nibble is reversed by a 16-entry table look-up, and the two reversed nibbles trade places.
// Without it the plain loop runs; both give the same bytes.
void ReverseBitsOfRow(uint8_t* row, int32_t width) {
    int32_t x = 0;
#if defined(__SSSE3__)
    const __m128i reversedNibble =
        _mm_setr_epi8(0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE, 0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF);
    const __m128i lowNibbles = _mm_set1_epi8(0x0F);
    for (; x + 16 <= width; x += 16) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i low = _mm_and_si128(pixels, lowNibbles);
        const __m128i high = _mm_and_si128(_mm_srli_epi16(pixels, 4), lowNibbles);
        const __m128i reversedLow = _mm_shuffle_epi8(reversedNibble, low);
        const __m128i reversedHigh = _mm_shuffle_epi8(reversedNibble, high);
        // The reversed low nibble becomes the high one; a 16-bit shift moves no bits across bytes
        // once the low nibble's upper half is known to be zero.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x),
                         _mm_or_si128(_mm_slli_epi16(reversedLow, 4), reversedHigh));
    }
#endif
    for (; x < width; ++x) row[x] = ReverseBits(row[x]);
}

void ReverseBitsOfRows(GrayBitmap& bitmap) {
    const int32_t width = bitmap.width;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) ReverseBitsOfRow(bitmap.Row(y), width);
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
