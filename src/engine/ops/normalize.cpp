#include "ops/normalize.h"

#include "ops/cpu_features.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>

namespace tarkemo {
namespace {

struct Range {
    uint8_t min = 255;
    uint8_t max = 0;
};

Range PixelRange(const GrayBitmap& bitmap) {
    uint8_t low = 255;
    uint8_t high = 0;
#pragma omp parallel for schedule(static) reduction(min : low) reduction(max : high)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < bitmap.width; ++x) {
            low = std::min(low, row[x]);
            high = std::max(high, row[x]);
        }
    }
    return Range{low, high};
}

// Sixteen pixels at a time through double precision: the arithmetic of the scalar tail,
// (p - min) * factor truncated, on whole registers. The pack steps cannot saturate, every result
// lies in 0 ... 255.
inline uint8_t Stretch(uint8_t p, uint8_t low, double factor) {
    return static_cast<uint8_t>(static_cast<int32_t>((p - low) * factor));
}

void StretchRowDefault(uint8_t* row, int32_t width, uint8_t low, double factor) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
    const __m128d factors = _mm_set1_pd(factor);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        __m128i* at = reinterpret_cast<__m128i*>(row + x);
        const __m128i offsets = _mm_sub_epi8(_mm_loadu_si128(at), lows);
        const __m128i words[2] = {_mm_unpacklo_epi8(offsets, zero), _mm_unpackhi_epi8(offsets, zero)};
        __m128i ints[4];
        for (int i = 0; i < 4; ++i) {
            const __m128i quad =
                i % 2 == 0 ? _mm_unpacklo_epi16(words[i / 2], zero) : _mm_unpackhi_epi16(words[i / 2], zero);
            const __m128i lowPair = _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(quad), factors));
            const __m128i highPair =
                _mm_cvttpd_epi32(_mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(quad, 8)), factors));
            ints[i] = _mm_unpacklo_epi64(lowPair, highPair);
        }
        _mm_storeu_si128(
            at, _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3])));
    }
    for (; x < width; ++x) row[x] = Stretch(row[x], low, factor);
}

__attribute__((target("avx2"))) void StretchRowAvx2(uint8_t* row, int32_t width, uint8_t low, double factor) {
    const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
    const __m256d factors = _mm256_set1_pd(factor);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        __m128i* at = reinterpret_cast<__m128i*>(row + x);
        const __m128i offsets = _mm_sub_epi8(_mm_loadu_si128(at), lows);
        const __m256i halves[2] = {_mm256_cvtepu8_epi32(offsets),
                                   _mm256_cvtepu8_epi32(_mm_srli_si128(offsets, 8))};
        __m128i ints[4];
        for (int i = 0; i < 4; ++i) {
            const __m128i quad = i % 2 == 0 ? _mm256_castsi256_si128(halves[i / 2])
                                            : _mm256_extracti128_si256(halves[i / 2], 1);
            ints[i] = _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_cvtepi32_pd(quad), factors));
        }
        _mm_storeu_si128(
            at, _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3])));
    }
    for (; x < width; ++x) row[x] = Stretch(row[x], low, factor);
}

// Where the processor permutes bytes across a 64-byte register, the 256 results are computed once
// by the scalar formula and looked up, 64 pixels per pair of permutations.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void StretchRowByTable(uint8_t* row, int32_t width,
                                                                              uint8_t low, double factor) {
    alignas(64) uint8_t table[256];
    for (int p = 0; p < 256; ++p) table[p] = p < low ? 0 : Stretch(static_cast<uint8_t>(p), low, factor);
    const __m512i lowHalf = _mm512_load_si512(table);
    const __m512i lowHalf2 = _mm512_load_si512(table + 64);
    const __m512i highHalf = _mm512_load_si512(table + 128);
    const __m512i highHalf2 = _mm512_load_si512(table + 192);
    int32_t x = 0;
    for (; x + 64 <= width; x += 64) {
        const __m512i pixels = _mm512_loadu_si512(row + x);
        // Each permutation looks up the low 7 bits in 128 entries; bit 7 chooses the half.
        const __m512i fromLow = _mm512_permutex2var_epi8(lowHalf, pixels, lowHalf2);
        const __m512i fromHigh = _mm512_permutex2var_epi8(highHalf, pixels, highHalf2);
        _mm512_storeu_si512(row + x, _mm512_mask_blend_epi8(_mm512_movepi8_mask(pixels), fromLow, fromHigh));
    }
    for (; x < width; ++x) row[x] = table[row[x]];
}

}  // namespace

bool NormalizeRange(GrayBitmap& bitmap) {
    const Range range = PixelRange(bitmap);
    if (range.min >= range.max) return false;
    // The factor is rounded once and then multiplied, exactly as the stretch is defined; for some
    // ranges this leaves the largest value at 254.
    const double factor = 255.0 / (range.max - range.min);
    const auto stretch =
        CpuHasAvx512Vbmi() ? StretchRowByTable : (CpuHasAvx2() ? StretchRowAvx2 : StretchRowDefault);
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) stretch(bitmap.Row(y), bitmap.width, range.min, factor);
    return true;
}

}  // namespace tarkemo
