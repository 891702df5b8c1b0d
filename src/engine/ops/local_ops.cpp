#include "ops/local_ops.h"

#include <immintrin.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "image/memory_limits.h"
#include "ops/cpu_features.h"
#include "ops/rank_filter_kernels.h"

namespace tarkemo {
namespace {

bool PositiveOdd(int32_t n) {
    return n > 0 && n % 2 == 1;
}

bool WindowFits(const GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight) {
    return windowWidth <= bitmap.width && windowHeight <= bitmap.height;
}

// ---- Local normalisation ---------------------------------------------------------------------
//
// The minimum and maximum over a cut-off window are separable: first over the window's rows, then
// over its columns. Vertically the windows of one block of h rows are answered from a suffix
// minimum over that block and a prefix minimum over the next (van Herk / Gil-Werman), so each
// pixel costs three comparisons whatever the window height. Horizontally the row is extended by
// neutral values and reduced by doubling spans, log2(w) comparisons per pixel. Rows outside the
// image are neutral (255 for the minimum, 0 for the maximum), which is what cutting off means.

struct MinMaxRows {
    std::vector<uint8_t> min;
    std::vector<uint8_t> max;
};

// Per-thread working rows: suffix and prefix of both extremes over one block, and the
// horizontal reduction buffers.
struct NormalizeWork {
    MinMaxRows suffix;
    MinMaxRows prefix;
    std::vector<uint8_t> spanA;
    std::vector<uint8_t> spanB;
    std::vector<uint8_t> rowMin;
    std::vector<uint8_t> rowMax;
};

struct NormalizeParams {
    int32_t windowWidth;
    int32_t windowHeight;
    int32_t minContrast;
    int32_t compareWith;
};

// Row `y` of the copy, or the neutral row when y lies outside the image.
const uint8_t* RowOr(const GrayBitmap& copy, int32_t y, const uint8_t* neutral) {
    return y >= 0 && y < copy.height ? copy.Row(y) : neutral;
}

// Prefix (forward) or suffix (backward) extremes of the k rows first .. first + k - 1.
[[gnu::always_inline]] inline void BlockExtremes(const GrayBitmap& copy, int32_t first, int32_t k,
                                                 bool forward, const MinMaxRows& neutral, MinMaxRows& out) {
    const auto width = static_cast<size_t>(copy.width);
    for (int32_t step = 0; step < k; ++step) {
        const int32_t j = forward ? step : k - 1 - step;
        const int32_t previous = forward ? j - 1 : j + 1;
        uint8_t* __restrict mn = out.min.data() + static_cast<size_t>(j) * width;
        uint8_t* __restrict mx = out.max.data() + static_cast<size_t>(j) * width;
        const uint8_t* lo = RowOr(copy, first + j, neutral.min.data());
        const uint8_t* hi = RowOr(copy, first + j, neutral.max.data());
        if (step == 0) {
            std::memcpy(mn, lo, width);
            std::memcpy(mx, hi, width);
            continue;
        }
        const uint8_t* pmn = out.min.data() + static_cast<size_t>(previous) * width;
        const uint8_t* pmx = out.max.data() + static_cast<size_t>(previous) * width;
        for (size_t x = 0; x < width; ++x) {
            mn[x] = std::min(lo[x], pmn[x]);
            mx[x] = std::max(hi[x], pmx[x]);
        }
    }
}

// Sliding extreme of width k over `values` (length n), cut off at both ends.
template <bool kMin>
[[gnu::always_inline]] inline void SlidingExtreme(const uint8_t* values, int32_t n, int32_t k,
                                                  NormalizeWork& work, uint8_t* out) {
    const int32_t r = k / 2;
    const uint8_t neutral = kMin ? 255 : 0;
    uint8_t* a = work.spanA.data();
    uint8_t* b = work.spanB.data();
    int32_t length = n + 2 * r;
    std::memset(a, neutral, static_cast<size_t>(r));
    std::memcpy(a + r, values, static_cast<size_t>(n));
    std::memset(a + r + n, neutral, static_cast<size_t>(r));
    int32_t span = 1;
    for (; span * 2 <= k; span *= 2) {
        const uint8_t* __restrict src = a;
        uint8_t* __restrict dst = b;
        for (int32_t i = 0; i + span < length; ++i) {
            dst[i] = kMin ? std::min(src[i], src[i + span]) : std::max(src[i], src[i + span]);
        }
        length -= span;
        std::swap(a, b);
    }
    // a[i] now holds the extreme of `span` values from i on; two overlapping spans cover k.
    const int32_t shift = k - span;
    for (int32_t x = 0; x < n; ++x)
        out[x] = kMin ? std::min(a[x], a[x + shift]) : std::max(a[x], a[x + shift]);
}

// The per-pixel decision in the form the vector paths use. Thresholded: range <= contrastLimit
// (that is range < minContrast, or range == 0); white: value > blackLimit, or always.
struct PixelRule {
    uint8_t contrastLimit;
    uint8_t blackLimit;
    bool allWhite;
    explicit PixelRule(const NormalizeParams& params)
        : contrastLimit(static_cast<uint8_t>(std::min(std::max(params.minContrast, 1) - 1, 255))),
          blackLimit(static_cast<uint8_t>(std::clamp(params.compareWith - 1, 0, 255))),
          allWhite(params.compareWith <= 0) {}
};

// (value - min) / range * 255 in double truncates to the same whole number as the exact quotient
// 255 * (value - min) / range (checked for every pair), and single precision divides the exact
// integers 255 * (value - min) <= 65025 and range correctly rounded, which never crosses a whole
// number: the quotient lies at least 1 / range below the next one.
inline uint8_t NormalizedPixel(uint8_t value, uint8_t low, uint8_t high, const PixelRule& rule) {
    const int32_t range = high - low;
    if (range <= rule.contrastLimit) return rule.allWhite || value > rule.blackLimit ? 255 : 0;
    return static_cast<uint8_t>(
        static_cast<int32_t>(static_cast<float>(255 * (value - low)) / static_cast<float>(range)));
}

// 16 pixels: the thresholded or stretched value, chosen per lane.
inline __m128i Choose(__m128i value, __m128i range, __m128i stretched, const PixelRule& rule) {
    const __m128i limit = _mm_set1_epi8(static_cast<char>(rule.contrastLimit));
    const __m128i black = _mm_set1_epi8(static_cast<char>(rule.blackLimit));
    const __m128i threshold = _mm_cmpeq_epi8(_mm_max_epu8(range, limit), limit);
    __m128i white = _mm_xor_si128(_mm_cmpeq_epi8(_mm_max_epu8(value, black), black), _mm_set1_epi8(-1));
    if (rule.allWhite) white = _mm_set1_epi8(-1);
    return _mm_or_si128(_mm_and_si128(threshold, white), _mm_andnot_si128(threshold, stretched));
}

void NormalizeRowDefault(const uint8_t* source, const uint8_t* mn, const uint8_t* mx, int32_t width,
                         const PixelRule& rule, uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    const __m128 scale = _mm_set1_ps(255.0f);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mn + x));
        const __m128i range = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mx + x)), low);
        const __m128i offset = _mm_sub_epi8(value, low);
        const __m128i divisor = _mm_max_epu8(range, one);
        __m128i quotients[4];
        for (int i = 0; i < 4; ++i) {
            const __m128i o16 = i < 2 ? _mm_unpacklo_epi8(offset, zero) : _mm_unpackhi_epi8(offset, zero);
            const __m128i d16 = i < 2 ? _mm_unpacklo_epi8(divisor, zero) : _mm_unpackhi_epi8(divisor, zero);
            const __m128i o32 = i % 2 == 0 ? _mm_unpacklo_epi16(o16, zero) : _mm_unpackhi_epi16(o16, zero);
            const __m128i d32 = i % 2 == 0 ? _mm_unpacklo_epi16(d16, zero) : _mm_unpackhi_epi16(d16, zero);
            const __m128 q = _mm_div_ps(_mm_mul_ps(_mm_cvtepi32_ps(o32), scale), _mm_cvtepi32_ps(d32));
            quotients[i] = _mm_cvttps_epi32(q);
        }
        const __m128i stretched = _mm_packus_epi16(_mm_packs_epi32(quotients[0], quotients[1]),
                                                   _mm_packs_epi32(quotients[2], quotients[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), Choose(value, range, stretched, rule));
    }
    for (; x < width; ++x) out[x] = NormalizedPixel(source[x], mn[x], mx[x], rule);
}

__attribute__((target("avx2"))) void NormalizeRowAvx2(const uint8_t* source, const uint8_t* mn,
                                                      const uint8_t* mx, int32_t width, const PixelRule& rule,
                                                      uint8_t* out) {
    const __m128i one = _mm_set1_epi8(1);
    const __m256 scale = _mm256_set1_ps(255.0f);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mn + x));
        const __m128i range = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mx + x)), low);
        const __m128i offset = _mm_sub_epi8(value, low);
        const __m128i divisor = _mm_max_epu8(range, one);
        __m128i quotients[4];
        for (int half = 0; half < 2; ++half) {
            const __m256i o32 = _mm256_cvtepu8_epi32(half == 0 ? offset : _mm_srli_si128(offset, 8));
            const __m256i d32 = _mm256_cvtepu8_epi32(half == 0 ? divisor : _mm_srli_si128(divisor, 8));
            const __m256 q =
                _mm256_div_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(o32), scale), _mm256_cvtepi32_ps(d32));
            const __m256i truncated = _mm256_cvttps_epi32(q);
            quotients[2 * half] = _mm256_castsi256_si128(truncated);
            quotients[2 * half + 1] = _mm256_extracti128_si256(truncated, 1);
        }
        const __m128i stretched = _mm_packus_epi16(_mm_packs_epi32(quotients[0], quotients[1]),
                                                   _mm_packs_epi32(quotients[2], quotients[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), Choose(value, range, stretched, rule));
    }
    for (; x < width; ++x) out[x] = NormalizedPixel(source[x], mn[x], mx[x], rule);
}

// One block of rows; inlined into a default and an AVX2 entry so the plain loops use the wider
// registers where the processor has them.
template <bool kAvx2>
[[gnu::always_inline]] inline void NormalizeBlockBody(const GrayBitmap& copy, GrayBitmap& bitmap,
                                                      int32_t block, const NormalizeParams& params,
                                                      const MinMaxRows& neutral, NormalizeWork& work) {
    const int32_t k = params.windowHeight;
    const int32_t r = k / 2;
    const auto width = static_cast<size_t>(copy.width);
    const PixelRule rule(params);
    BlockExtremes(copy, block * k - r, k, false, neutral, work.suffix);
    BlockExtremes(copy, (block + 1) * k - r, k, true, neutral, work.prefix);
    const int32_t end = std::min(copy.height, (block + 1) * k);
    for (int32_t y = block * k; y < end; ++y) {
        const int32_t t = y - block * k;
        const uint8_t* sMin = work.suffix.min.data() + static_cast<size_t>(t) * width;
        const uint8_t* sMax = work.suffix.max.data() + static_cast<size_t>(t) * width;
        uint8_t* colMin = work.rowMin.data();
        uint8_t* colMax = work.rowMax.data();
        if (t == 0) {
            std::memcpy(colMin, sMin, width);
            std::memcpy(colMax, sMax, width);
        } else {
            const uint8_t* pMin = work.prefix.min.data() + static_cast<size_t>(t - 1) * width;
            const uint8_t* pMax = work.prefix.max.data() + static_cast<size_t>(t - 1) * width;
            for (size_t x = 0; x < width; ++x) {
                colMin[x] = std::min(sMin[x], pMin[x]);
                colMax[x] = std::max(sMax[x], pMax[x]);
            }
        }
        SlidingExtreme<true>(colMin, copy.width, params.windowWidth, work, colMin);
        SlidingExtreme<false>(colMax, copy.width, params.windowWidth, work, colMax);
        if constexpr (kAvx2) {
            NormalizeRowAvx2(copy.Row(y), colMin, colMax, copy.width, rule, bitmap.Row(y));
        } else {
            NormalizeRowDefault(copy.Row(y), colMin, colMax, copy.width, rule, bitmap.Row(y));
        }
    }
}

void NormalizeBlockDefault(const GrayBitmap& copy, GrayBitmap& bitmap, int32_t block,
                           const NormalizeParams& params, const MinMaxRows& neutral, NormalizeWork& work) {
    NormalizeBlockBody<false>(copy, bitmap, block, params, neutral, work);
}

__attribute__((target("avx2"))) void NormalizeBlockAvx2(const GrayBitmap& copy, GrayBitmap& bitmap,
                                                        int32_t block, const NormalizeParams& params,
                                                        const MinMaxRows& neutral, NormalizeWork& work) {
    NormalizeBlockBody<true>(copy, bitmap, block, params, neutral, work);
}

bool AllocateNormalizeWork(size_t width, size_t windowWidth, size_t windowHeight,
                           std::vector<NormalizeWork>& work) {
    const size_t blockBytes = width * windowHeight;
    const size_t span = width + windowWidth + 64;
    if (!AllocationFits(work.size() * (4 * blockBytes + 4 * span))) return false;
    for (NormalizeWork& w : work) {
        for (MinMaxRows* rows : {&w.suffix, &w.prefix}) {
            rows->min.resize(blockBytes);
            rows->max.resize(blockBytes);
        }
        w.spanA.resize(span);
        w.spanB.resize(span);
        w.rowMin.resize(span);
        w.rowMax.resize(span);
    }
    return true;
}

// After a run that wrote its rows into `bitmap` from the unchanged `copy`: a stopped run puts the
// copy's pixels back, so the image is exactly as before. True when the run was not stopped.
bool KeepOrRestore(const ProgressCounter& counter, const GrayBitmap& copy, GrayBitmap& bitmap) {
    if (!counter.Stopped()) return true;
    std::memcpy(bitmap.pixels.data(), copy.pixels.data(), bitmap.ByteCount());
    return false;
}

// ---- Gradient ---------------------------------------------------------------------------------
//
// With twice the differences, Q = (2 dx)^2 + (2 dy)^2 is a whole number up to 520200 and dx^2 + dy^2
// is exactly Q / 4 in double precision. So the magnitude of every pixel is a function of Q alone,
// and the largest magnitude belongs to the largest Q: a first pass finds it, a table computed with
// the double-precision steps maps every Q to its gray value, and a second pass looks them up.

// Rows per progress report of the gradient passes.
constexpr int32_t kGradientBlock = 64;

// Q for every pixel of row y.
void GradientSquares(const GrayBitmap& bitmap, int32_t y, uint32_t* q) {
    const int32_t width = bitmap.width;
    const int32_t down = std::max(y - 1, 0);
    const int32_t up = std::min(y + 1, bitmap.height - 1);
    const int32_t verticalScale = up - down == 1 ? 2 : 1;  // one-sided differences count double
    const uint8_t* row = bitmap.Row(y);
    const uint8_t* rowDown = bitmap.Row(down);
    const uint8_t* rowUp = bitmap.Row(up);
    for (int32_t x = 1; x < width - 1; ++x) {
        const int32_t dx = row[x + 1] - row[x - 1];
        const int32_t dy = (rowUp[x] - rowDown[x]) * verticalScale;
        q[x] = static_cast<uint32_t>(dx * dx + dy * dy);
    }
    for (const int32_t x : {0, width - 1}) {
        const int32_t dx = 2 * (x == 0 ? row[1] - row[0] : row[x] - row[x - 1]);
        const int32_t dy = (rowUp[x] - rowDown[x]) * verticalScale;
        q[x] = static_cast<uint32_t>(dx * dx + dy * dy);
    }
}

std::vector<uint8_t> GradientTable(uint32_t largestQ) {
    std::vector<uint8_t> table(largestQ + 1, 0);
    if (largestQ == 0) return table;
    const double largest = std::sqrt(largestQ / 4.0);
    for (uint32_t q = 0; q <= largestQ; ++q) {
        const double magnitude = std::sqrt(q / 4.0);
        table[q] = static_cast<uint8_t>(static_cast<int32_t>(magnitude / largest * 255));
    }
    return table;
}

}  // namespace

bool LocalNormalize(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t minContrast,
                    int32_t compareWith, Progress* progress) {
    if (!PositiveOdd(windowWidth) || !PositiveOdd(windowHeight)) return false;
    if (!WindowFits(bitmap, windowWidth, windowHeight)) return false;
    const NormalizeParams params{windowWidth, windowHeight, minContrast, compareWith};
    const auto width = static_cast<size_t>(bitmap.width);
    std::vector<NormalizeWork> work;
    MinMaxRows neutral;
    GrayBitmap copy;
    try {
        work.resize(static_cast<size_t>(omp_get_max_threads()));
        if (!AllocateNormalizeWork(width, static_cast<size_t>(windowWidth), static_cast<size_t>(windowHeight),
                                   work) ||
            !AllocationFits(bitmap.ByteCount())) {
            return false;
        }
        neutral.min.assign(width, 255);
        neutral.max.assign(width, 0);
        copy = bitmap;
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int32_t blocks = (bitmap.height + windowHeight - 1) / windowHeight;
    const bool avx2 = CpuHasAvx2();
    ProgressCounter counter(progress, bitmap.height);
#pragma omp parallel for schedule(dynamic)
    for (int32_t block = 0; block < blocks; ++block) {
        if (counter.Stopped()) continue;
        NormalizeWork& mine = work[static_cast<size_t>(omp_get_thread_num())];
        if (avx2) {
            NormalizeBlockAvx2(copy, bitmap, block, params, neutral, mine);
        } else {
            NormalizeBlockDefault(copy, bitmap, block, params, neutral, mine);
        }
        counter.Add(std::min(windowHeight, bitmap.height - block * windowHeight));
    }
    return KeepOrRestore(counter, copy, bitmap);
}

bool RankFilter(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                Progress* progress) {
    if (!PositiveOdd(windowWidth) || !PositiveOdd(windowHeight)) return false;
    const int64_t count = static_cast<int64_t>(windowWidth) * windowHeight;
    if (count == 1 || rank < 1 || rank > count) return false;
    if (!WindowFits(bitmap, windowWidth, windowHeight)) return false;
    return rank_kernels::RankFilterImage(bitmap, windowWidth, windowHeight, rank, progress);
}

bool GradientFilter(GrayBitmap& bitmap, Progress* progress) {
    if (bitmap.width < 3 || bitmap.height < 3) return false;
    const auto width = static_cast<size_t>(bitmap.width);
    const auto threads = static_cast<size_t>(omp_get_max_threads());
    std::vector<std::vector<uint32_t>> squares;
    GrayBitmap copy;
    try {
        if (!AllocationFits(bitmap.ByteCount() + threads * width * sizeof(uint32_t))) return false;
        squares.assign(threads, std::vector<uint32_t>(width));
        copy = bitmap;
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint32_t largestQ = 0;
    // Both passes count: the first finds the largest magnitude, the second writes the pixels.
    ProgressCounter counter(progress, 2 * int64_t{bitmap.height});
    const int32_t blocks = (bitmap.height + kGradientBlock - 1) / kGradientBlock;
#pragma omp parallel for schedule(static) reduction(max : largestQ)
    for (int32_t block = 0; block < blocks; ++block) {
        if (counter.Stopped()) continue;
        uint32_t* q = squares[static_cast<size_t>(omp_get_thread_num())].data();
        const int32_t end = std::min(bitmap.height, (block + 1) * kGradientBlock);
        for (int32_t y = block * kGradientBlock; y < end; ++y) {
            GradientSquares(copy, y, q);
            for (size_t x = 0; x < width; ++x) largestQ = std::max(largestQ, q[x]);
        }
        counter.Add(end - block * kGradientBlock);
    }
    if (counter.Stopped()) return false;
    std::vector<uint8_t> table;
    try {
        table = GradientTable(largestQ);
    } catch (const std::bad_alloc&) {
        return false;
    }
#pragma omp parallel for schedule(static)
    for (int32_t block = 0; block < blocks; ++block) {
        if (counter.Stopped()) continue;
        uint32_t* q = squares[static_cast<size_t>(omp_get_thread_num())].data();
        const int32_t end = std::min(bitmap.height, (block + 1) * kGradientBlock);
        for (int32_t y = block * kGradientBlock; y < end; ++y) {
            GradientSquares(copy, y, q);
            uint8_t* out = bitmap.Row(y);
            for (size_t x = 0; x < width; ++x) out[x] = table[q[x]];
        }
        counter.Add(end - block * kGradientBlock);
    }
    return KeepOrRestore(counter, copy, bitmap);
}

}  // namespace tarkemo
