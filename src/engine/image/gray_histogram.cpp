#include "image/gray_histogram.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "image/gray_histogram_avx512.h"

namespace tarkemo {
namespace {

// A single table of 256 counters is limited by one memory increment per pixel, and neighbouring
// equal pixels make each increment wait for the previous one. Counting pairs of neighbouring pixels
// in a table of 65536 counters halves the increments; the pair counts are folded into the value
// counts once at the end. 32-bit pair counters suffice: a bitmap holds fewer than 2^31 bytes.
constexpr size_t kPairCount = 65536;

void CountPairs(const uint8_t* bytes, size_t size, uint32_t* pairs, GrayCounts& counts) {
    size_t x = 0;
    for (; x + 16 <= size; x += 16) {
        uint64_t a = 0;
        uint64_t b = 0;
        std::memcpy(&a, bytes + x, 8);
        std::memcpy(&b, bytes + x + 8, 8);
        for (unsigned shift = 0; shift < 64; shift += 16) {
            ++pairs[(a >> shift) & 0xFFFF];
            ++pairs[(b >> shift) & 0xFFFF];
        }
    }
    for (; x < size; ++x) ++counts[bytes[x]];
}

void CountBytesPortable(const uint8_t* bytes, size_t size, GrayCounts& counts) {
    std::vector<uint32_t> pairs;
    try {
        pairs.assign(kPairCount, 0);
    } catch (const std::bad_alloc&) {
        // Without the pair table, count value by value.
        for (size_t i = 0; i < size; ++i) ++counts[bytes[i]];
        return;
    }
    CountPairs(bytes, size, pairs.data(), counts);
    for (size_t pair = 0; pair < kPairCount; ++pair) {
        counts[pair & 0xFF] += pairs[pair];
        counts[pair >> 8] += pairs[pair];
    }
}

bool WideKernel() {
    static const bool available = detail::HistogramAvx512Available();
    return available;
}

GrayCounts Count(const GrayBitmap& bitmap, bool wide) {
    GrayCounts counts{};
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.empty()) return counts;
    // The buffer is counted as one run, row padding included, and the padding taken off again:
    // at most three bytes a row, and the kernels never stop at row ends.
    if (wide) {
        detail::CountBytesAvx512(bitmap.pixels.data(), bitmap.ByteCount(), counts);
    } else {
        CountBytesPortable(bitmap.pixels.data(), bitmap.ByteCount(), counts);
    }
    for (int32_t y = 0; y < bitmap.height && bitmap.stride > bitmap.width; ++y) {
        const uint8_t* row = bitmap.Row(y);
        for (int32_t x = bitmap.width; x < bitmap.stride; ++x) --counts[row[x]];
    }
    return counts;
}

}  // namespace

GrayCounts CountGrayValues(const GrayBitmap& bitmap) {
    return Count(bitmap, WideKernel());
}

GrayCounts CountGrayValuesPortable(const GrayBitmap& bitmap) {
    return Count(bitmap, false);
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
