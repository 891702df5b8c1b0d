#include "image/gray_histogram.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace tarkemo {
namespace {

// A single table of 256 counters is limited by one memory increment per pixel, and neighbouring
// equal pixels make each increment wait for the previous one. Counting pairs of neighbouring pixels
// in a table of 65536 counters halves the increments; the pair counts are folded into the value
// counts once at the end. 32-bit pair counters suffice: a bitmap holds fewer than 2^31 pixels.
constexpr size_t kPairCount = 65536;

// Counts the pairs (row[0], row[1]), (row[2], row[3]), ... into `pairs`; an odd last pixel into `single`.
void CountRowPairs(const uint8_t* row, size_t width, uint32_t* pairs, GrayCounts& single) {
    size_t x = 0;
    for (; x + 16 <= width; x += 16) {
        uint64_t a = 0;
        uint64_t b = 0;
        std::memcpy(&a, row + x, 8);
        std::memcpy(&b, row + x + 8, 8);
        for (unsigned shift = 0; shift < 64; shift += 16) {
            ++pairs[(a >> shift) & 0xFFFF];
            ++pairs[(b >> shift) & 0xFFFF];
        }
    }
    for (; x + 2 <= width; x += 2) ++pairs[row[x] | (row[x + 1] << 8)];
    if (x < width) ++single[row[x]];
}

}  // namespace

GrayCounts CountGrayValues(const GrayBitmap& bitmap) {
    GrayCounts counts{};
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.empty()) return counts;
    std::vector<uint32_t> pairs;
    try {
        pairs.assign(kPairCount, 0);
    } catch (const std::bad_alloc&) {
        // Without the pair table, count value by value.
        for (int32_t y = 0; y < bitmap.height; ++y) {
            const uint8_t* row = bitmap.Row(y);
            for (int32_t x = 0; x < bitmap.width; ++x) ++counts[row[x]];
        }
        return counts;
    }
    if (bitmap.stride == bitmap.width) {
        // No row padding: the whole buffer is one run of pixels.
        CountRowPairs(bitmap.pixels.data(), bitmap.ByteCount(), pairs.data(), counts);
    } else {
        const size_t width = static_cast<size_t>(bitmap.width);
        for (int32_t y = 0; y < bitmap.height; ++y) CountRowPairs(bitmap.Row(y), width, pairs.data(), counts);
    }
    for (size_t pair = 0; pair < kPairCount; ++pair) {
        counts[pair & 0xFF] += pairs[pair];
        counts[pair >> 8] += pairs[pair];
    }
    return counts;
}

GrayHistogram ScaleHistogram(const GrayCounts& counts) {
    GrayHistogram histogram{};
    const uint64_t largest = *std::max_element(counts.begin(), counts.end());
    if (largest == 0) return histogram;
    for (size_t v = 0; v < counts.size(); ++v) {
        // In double a count of 1 against 2^31 still scales above 0, so "occurs" stays visible.
        histogram[v] =
            static_cast<float>(static_cast<double>(counts[v]) * 255.0 / static_cast<double>(largest));
    }
    return histogram;
}

GrayHistogram ComputeGrayHistogram(const GrayBitmap& bitmap) {
    return ScaleHistogram(CountGrayValues(bitmap));
}

}  // namespace tarkemo
