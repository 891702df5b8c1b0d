// The rank filter by sliding histogram, for every window the selection networks do not cover.
#include <immintrin.h>
#include <omp.h>

#include <algorithm>
#include <new>
#include <type_traits>
#include <vector>

#include "image/memory_limits.h"
#include "ops/cpu_features.h"
#include "ops/rank_filter_kernels.h"

namespace tarkemo::rank_kernels {
namespace {

// A histogram of the window slides along the row (Perreault and Hebert): every
// column keeps the histogram of its h window rows, updated by one removal and one insertion per
// row, and the window histogram moves right by adding one column histogram and subtracting another.
// Counts are split into 16 coarse bins (value / 16) kept current at every step and 16 x 16 fine
// bins brought up to date only for the coarse bin the rank falls into. Finding the rank within 16
// bins is one comparison on a whole register and a bit count, so every rank costs the same.

constexpr int kBins = 16;
constexpr int32_t kStale = -1;

// The histograms are kept cumulative (lane b counts the values of bin b and below), so sums of
// columns stay cumulative and the rank's bin is simply the number of lanes below the rank.
// Inserting a value of bin b adds kSteps.lanes[b]: ones from lane b upwards.
template <typename Count>
struct StepVectors {
    alignas(64) Count lanes[kBins][kBins] = {};
    constexpr StepVectors() {
        for (int b = 0; b < kBins; ++b) {
            for (int i = b; i < kBins; ++i) lanes[b][i] = 1;
        }
    }
};

template <typename Count>
inline constexpr StepVectors<Count> kSteps{};

// The 16 counts of a histogram as one vector, read and written in place without alignment.
template <typename Count>
struct BinVector {
    typedef Count Type __attribute__((vector_size(kBins * sizeof(Count)), aligned(1)));
};

template <typename Count>
[[gnu::always_inline]] inline typename BinVector<Count>::Type& Bins(Count* counts) {
    return *reinterpret_cast<typename BinVector<Count>::Type*>(counts);
}

template <typename Count>
[[gnu::always_inline]] inline const typename BinVector<Count>::Type& Bins(const Count* counts) {
    return *reinterpret_cast<const typename BinVector<Count>::Type*>(counts);
}

template <typename Count>
[[gnu::always_inline]] inline void AddSub(Count* target, const Count* add, const Count* subtract) {
    Bins(target) = Bins(target) + Bins(add) - Bins(subtract);
}

template <typename Count>
[[gnu::always_inline]] inline void Accumulate(Count* target, const Count* add) {
    Bins(target) = Bins(target) + Bins(add);
}

template <typename Count>
[[gnu::always_inline]] inline void Deduct(Count* target, const Count* subtract) {
    Bins(target) = Bins(target) - Bins(subtract);
}

// Number of lanes of a cumulative histogram below k (1 <= k <= the last lane): the bin of rank k.
struct DefaultSelect {
    static int CountBelow(const uint16_t* cumulative, uint32_t k) {
        // Unsigned "lane < k" through the signed comparison of values shifted by 0x8000.
        const __m128i bias = _mm_set1_epi16(static_cast<int16_t>(0x8000));
        const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(k ^ 0x8000u));
        const __m128i low =
            _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cumulative)), bias);
        const __m128i high =
            _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cumulative + 8)), bias);
        const __m128i below = _mm_packs_epi16(_mm_cmpgt_epi16(limit, low), _mm_cmpgt_epi16(limit, high));
        return __builtin_popcount(static_cast<unsigned>(_mm_movemask_epi8(below)));
    }
    static int CountBelow(const uint32_t* cumulative, uint32_t k) {
        int bin = 0;
        for (int i = 0; i < kBins; ++i) bin += cumulative[i] < k ? 1 : 0;
        return bin;
    }
};

struct Avx2Select {
    __attribute__((target("avx2"))) static inline int CountBelow(const uint16_t* cumulative, uint32_t k) {
        const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cumulative));
        const __m256i limit = _mm256_set1_epi16(static_cast<int16_t>(k - 1));
        const __m256i atMost = _mm256_cmpeq_epi16(_mm256_min_epu16(lanes, limit), lanes);
        return __builtin_popcount(static_cast<unsigned>(_mm256_movemask_epi8(atMost))) / 2;
    }
    __attribute__((target("avx2"))) static inline int CountBelow(const uint32_t* cumulative, uint32_t k) {
        return DefaultSelect::CountBelow(cumulative, k);
    }
};

// The histograms of one stripe of output columns [x0, x0 + outputs); stripe column j is padded
// column x0 + j, and output column x0 + i sees stripe columns i ... i + windowWidth - 1. All
// members are inlined into one entry point per instruction set.
// Rows of one stripe between two questions to the Progress.
constexpr int32_t kRowsPerReport = 64;

template <typename Count, typename Select>
class StripeHistogram {
  public:
    bool Allocate(int32_t maxColumns) {
        try {
            coarse_.resize(static_cast<size_t>(maxColumns) * kBins);
            fine_.resize(static_cast<size_t>(maxColumns) * kBins * kBins);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    [[gnu::always_inline]] inline void Run(const Padded& padded, GrayBitmap& bitmap, int32_t x0,
                                           int32_t outputs, int32_t windowWidth, int32_t windowHeight,
                                           uint32_t rank, ProgressCounter& counter) {
        columns_ = outputs + windowWidth - 1;
        std::fill_n(coarse_.begin(), static_cast<size_t>(columns_) * kBins, Count{0});
        std::fill_n(fine_.begin(), static_cast<size_t>(columns_) * kBins * kBins, Count{0});
        for (int32_t y = 0; y < windowHeight; ++y) InsertRow(padded.Row(y) + x0);
        for (int32_t y = 0; y < bitmap.height; ++y) {
            if (y % kRowsPerReport == 0 && y > 0) {
                counter.Add(int64_t{kRowsPerReport} * outputs);
                if (counter.Stopped()) return;
            }
            if (y > 0) ReplaceRow(padded.Row(y - 1) + x0, padded.Row(y + windowHeight - 1) + x0);
            FilterRow(bitmap.Row(y) + x0, outputs, windowWidth, rank);
        }
        counter.Add(int64_t{(bitmap.height - 1) % kRowsPerReport + 1} * outputs);
    }

  private:
    Count* Coarse(int32_t column) { return coarse_.data() + static_cast<size_t>(column) * kBins; }
    Count* Fine(int bin, int32_t column) {
        const size_t index =
            static_cast<size_t>(bin) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
        return fine_.data() + index * kBins;
    }

    [[gnu::always_inline]] inline void InsertRow(const uint8_t* row) {
        for (int32_t j = 0; j < columns_; ++j) {
            const uint8_t value = row[j];
            Accumulate(Coarse(j), kSteps<Count>.lanes[value >> 4]);
            Accumulate(Fine(value >> 4, j), kSteps<Count>.lanes[value & 15]);
        }
    }

    // Column histograms move down one row: `leaving` drops out, `entering` comes in.
    [[gnu::always_inline]] inline void ReplaceRow(const uint8_t* leaving, const uint8_t* entering) {
        for (int32_t j = 0; j < columns_; ++j) {
            const uint8_t out = leaving[j];
            const uint8_t in = entering[j];
            AddSub(Coarse(j), kSteps<Count>.lanes[in >> 4], kSteps<Count>.lanes[out >> 4]);
            Deduct(Fine(out >> 4, j), kSteps<Count>.lanes[out & 15]);
            Accumulate(Fine(in >> 4, j), kSteps<Count>.lanes[in & 15]);
        }
    }

    // Brings the fine window histogram of coarse bin `bin` to output position i: by sliding when
    // it was current a few positions ago, else by summing the window's columns afresh.
    [[gnu::always_inline]] inline void CatchUpFine(int bin, int32_t i, int32_t windowWidth) {
        Count* target = windowFine_[bin];
        const int32_t last = lastUpdated_[bin];
        if (last == kStale || 2 * (i - last) > windowWidth) {
            std::fill_n(target, kBins, Count{0});
            for (int32_t j = i; j < i + windowWidth; ++j) Accumulate(target, Fine(bin, j));
        } else {
            for (int32_t t = last + 1; t <= i; ++t)
                AddSub(target, Fine(bin, t + windowWidth - 1), Fine(bin, t - 1));
        }
        lastUpdated_[bin] = i;
    }

    [[gnu::always_inline]] inline void FilterRow(uint8_t* out, int32_t outputs, int32_t windowWidth,
                                                 uint32_t rank) {
        std::fill_n(windowCoarse_, kBins, Count{0});
        for (int32_t j = 0; j < windowWidth; ++j) Accumulate(windowCoarse_, Coarse(j));
        std::fill_n(lastUpdated_, kBins, kStale);
        for (int32_t i = 0; i < outputs; ++i) {
            if (i > 0) AddSub(windowCoarse_, Coarse(i + windowWidth - 1), Coarse(i - 1));
            const int bin = Select::CountBelow(windowCoarse_, rank);
            const uint32_t inBin = rank - (bin > 0 ? windowCoarse_[bin - 1] : 0u);
            CatchUpFine(bin, i, windowWidth);
            out[i] = static_cast<uint8_t>(bin * kBins + Select::CountBelow(windowFine_[bin], inBin));
        }
    }

    std::vector<Count> coarse_;  // [column][bin], cumulative over the coarse bins
    std::vector<Count> fine_;    // [coarse bin][column][fine bin], cumulative within the coarse bin
    int32_t columns_ = 0;
    alignas(64) Count windowCoarse_[kBins] = {};
    alignas(64) Count windowFine_[kBins][kBins] = {};
    int32_t lastUpdated_[kBins] = {};
};

template <typename Count>
void RunStripeDefault(StripeHistogram<Count, DefaultSelect>& histogram, const Padded& padded,
                      GrayBitmap& bitmap, int32_t x0, int32_t outputs, int32_t windowWidth,
                      int32_t windowHeight, uint32_t rank, ProgressCounter& counter) {
    histogram.Run(padded, bitmap, x0, outputs, windowWidth, windowHeight, rank, counter);
}

template <typename Count>
__attribute__((target("avx2"))) void RunStripeAvx2(StripeHistogram<Count, Avx2Select>& histogram,
                                                   const Padded& padded, GrayBitmap& bitmap, int32_t x0,
                                                   int32_t outputs, int32_t windowWidth, int32_t windowHeight,
                                                   uint32_t rank, ProgressCounter& counter) {
    histogram.Run(padded, bitmap, x0, outputs, windowWidth, windowHeight, rank, counter);
}

template <typename Count, typename Select>
bool RunHistogramsWith(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                       Progress* progress) {
    Padded padded;
    if (!MakePadded(bitmap, windowWidth / 2, windowHeight / 2, 0, padded)) return false;
    const int32_t stripe = std::min(bitmap.width, std::max<int32_t>(512, 2 * windowWidth));
    const int32_t stripes = (bitmap.width + stripe - 1) / stripe;
    const auto threads = static_cast<size_t>(omp_get_max_threads());
    const size_t perThread = static_cast<size_t>(stripe + windowWidth) * kBins * (kBins + 1) * sizeof(Count);
    if (!AllocationFits(threads * perThread)) return false;
    std::vector<StripeHistogram<Count, Select>> work;
    try {
        work.resize(threads);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (auto& histogram : work) {
        if (!histogram.Allocate(stripe + windowWidth - 1)) return false;
    }
    ProgressCounter counter(progress, int64_t{bitmap.width} * bitmap.height);
#pragma omp parallel for schedule(dynamic)
    for (int32_t s = 0; s < stripes; ++s) {
        if (counter.Stopped()) continue;
        const int32_t x0 = s * stripe;
        const int32_t outputs = std::min(stripe, bitmap.width - x0);
        auto& histogram = work[static_cast<size_t>(omp_get_thread_num())];
        if constexpr (std::is_same_v<Select, Avx2Select>) {
            RunStripeAvx2<Count>(histogram, padded, bitmap, x0, outputs, windowWidth, windowHeight,
                                 static_cast<uint32_t>(rank), counter);
        } else {
            RunStripeDefault<Count>(histogram, padded, bitmap, x0, outputs, windowWidth, windowHeight,
                                    static_cast<uint32_t>(rank), counter);
        }
    }
    return KeepOrRestore(counter, padded, windowWidth / 2, windowHeight / 2, bitmap);
}

template <typename Count>
bool RunHistograms(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                   Progress* progress) {
    if (CpuHasAvx2())
        return RunHistogramsWith<Count, Avx2Select>(bitmap, windowWidth, windowHeight, rank, progress);
    return RunHistogramsWith<Count, DefaultSelect>(bitmap, windowWidth, windowHeight, rank, progress);
}

}  // namespace

bool RankFilterByHistogram(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                           Progress* progress) {
    if (static_cast<int64_t>(windowWidth) * windowHeight <= 65535) {
        return RunHistograms<uint16_t>(bitmap, windowWidth, windowHeight, rank, progress);
    }
    return RunHistograms<uint32_t>(bitmap, windowWidth, windowHeight, rank, progress);
}

}  // namespace tarkemo::rank_kernels
