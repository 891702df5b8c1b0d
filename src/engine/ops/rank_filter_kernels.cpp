#include "ops/rank_filter_kernels.h"

#include <immintrin.h>
#include <omp.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "image/memory_limits.h"
#include "image/pixel_buffer.h"
#include "ops/cpu_features.h"

namespace tarkemo::rank_kernels {
namespace {

// ---- The mirrored working copy ------------------------------------------------------------------
//
// Both methods read a copy of the image extended by half a window on every side, mirrored about
// the edge pixel without repeating it, so the pixel loops never test for the border.

int32_t Mirror(int32_t i, int32_t n) {
    return i < 0 ? -i : (i >= n ? 2 * n - i - 2 : i);
}

struct Padded {
    PixelBuffer pixels;
    size_t stride = 0;  // bytes per row: the extended width plus slack for whole-register reads
    int32_t rows = 0;
    const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * stride; }
};

bool MakePadded(const GrayBitmap& bitmap, int32_t padX, int32_t padY, size_t slack, Padded& out) {
    const auto width = static_cast<size_t>(bitmap.width);
    out.stride = width + 2 * static_cast<size_t>(padX) + slack;
    out.rows = bitmap.height + 2 * padY;
    const size_t bytes = out.stride * static_cast<size_t>(out.rows);
    if (!AllocationFits(bytes)) return false;
    try {
        out.pixels = PixelBuffer(bytes, false);
    } catch (const std::bad_alloc&) {
        return false;
    }
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < out.rows; ++y) {
        const uint8_t* source = bitmap.Row(Mirror(y - padY, bitmap.height));
        uint8_t* row = out.pixels.data() + static_cast<size_t>(y) * out.stride;
        for (int32_t x = 0; x < padX; ++x) row[x] = source[Mirror(x - padX, bitmap.width)];
        std::memcpy(row + padX, source, width);
        for (int32_t i = 0; i < padX; ++i)
            row[padX + bitmap.width + i] = source[Mirror(bitmap.width + i, bitmap.width)];
        std::memset(row + width + 2 * static_cast<size_t>(padX), 0, slack);
    }
    return true;
}

// ---- Selection networks -------------------------------------------------------------------------
//
// Each column of the window is sorted once per output row (shared by all pixels that see it);
// the sorted columns are then merged by Batcher's odd-even merge, padded to powers of two with
// virtual +infinity elements whose comparisons are settled while the network is built. Of the
// merge only the comparisons that feed the wanted rank are kept, and a comparison whose minimum
// (or maximum) nobody reads computes only the other. Everything is built at compile time, one
// network per window and rank, and runs on whole SIMD registers of pixels.

enum : uint8_t { kBoth, kMinOnly, kMaxOnly };

struct CompareOp {
    uint8_t low = 0;   // receives the minimum
    uint8_t high = 0;  // receives the maximum
    uint8_t kind = kBoth;
};

constexpr int kMaxOps = 256;
constexpr int kMaxValues = 25;

struct Network {
    std::array<CompareOp, kMaxOps> ops{};
    int count = 0;
    std::array<uint8_t, kMaxValues> order{};  // variables in ascending order after all comparisons
    int result = 0;                           // the variable holding the selected rank
};

struct NetworkBuilder {
    Network net;

    // pos holds variable ids, -1 for a virtual +infinity.
    constexpr void Compare(std::array<int, 64>& pos, int i, int j) {
        if (pos[i] < 0) {
            std::swap(pos[i], pos[j]);  // the real value (if any) moves down
            return;
        }
        if (pos[j] < 0) return;
        net.ops[net.count++] = CompareOp{static_cast<uint8_t>(pos[i]), static_cast<uint8_t>(pos[j]), kBoth};
    }

    // Batcher's merge of the two sorted halves of pos[lo .. lo + n) taken at step r.
    constexpr void OddEvenMerge(std::array<int, 64>& pos, int lo, int n, int r) {
        const int m = r * 2;
        if (m < n) {
            OddEvenMerge(pos, lo, n, m);
            OddEvenMerge(pos, lo + r, n, m);
            for (int i = lo + r; i + r < lo + n; i += m) Compare(pos, i, i + r);
        } else {
            Compare(pos, lo, lo + r);
        }
    }

    struct List {
        std::array<int, kMaxValues> ids{};
        int size = 0;
    };

    constexpr List Merge(const List& a, const List& b) {
        int half = 1;
        while (half < a.size || half < b.size) half *= 2;
        std::array<int, 64> pos{};
        for (int i = 0; i < half; ++i) {
            pos[i] = i < a.size ? a.ids[i] : -1;
            pos[half + i] = i < b.size ? b.ids[i] : -1;
        }
        OddEvenMerge(pos, 0, 2 * half, 1);
        List merged;
        for (int i = 0; i < 2 * half; ++i) {
            if (pos[i] >= 0) merged.ids[merged.size++] = pos[i];
        }
        return merged;
    }

    // Merges sorted lists pairwise, level by level, into one.
    constexpr List MergeAll(std::array<List, kMaxValues> lists, int count) {
        while (count > 1) {
            int next = 0;
            for (int i = 0; i + 1 < count; i += 2) lists[next++] = Merge(lists[i], lists[i + 1]);
            if (count % 2 == 1) lists[next++] = lists[count - 1];
            count = next;
        }
        return lists[0];
    }
};

// A network that sorts n single values (the column sort).
constexpr Network SortingNetwork(int n) {
    NetworkBuilder builder;
    std::array<NetworkBuilder::List, kMaxValues> lists{};
    for (int i = 0; i < n; ++i) lists[i] = NetworkBuilder::List{{i}, 1};
    const NetworkBuilder::List sorted = builder.MergeAll(lists, n);
    for (int i = 0; i < n; ++i) builder.net.order[i] = static_cast<uint8_t>(sorted.ids[i]);
    return builder.net;
}

// Keeps the comparisons that feed `result`, walking backwards from it.
constexpr Network Pruned(const Network& full, int result) {
    std::array<bool, kMaxValues> live{};
    std::array<uint8_t, kMaxOps> kinds{};
    std::array<bool, kMaxOps> keep{};
    live[result] = true;
    for (int i = full.count - 1; i >= 0; --i) {
        const CompareOp& op = full.ops[i];
        const bool low = live[op.low];
        const bool high = live[op.high];
        if (!low && !high) continue;
        keep[i] = true;
        kinds[i] = low && high ? kBoth : (low ? kMinOnly : kMaxOnly);
        live[op.low] = true;
        live[op.high] = true;
    }
    Network net;
    for (int i = 0; i < full.count; ++i) {
        if (keep[i]) net.ops[net.count++] = CompareOp{full.ops[i].low, full.ops[i].high, kinds[i]};
    }
    net.result = result;
    return net;
}

// The network that finds rank k (1-based) of a w x h window whose h-long columns are sorted;
// variable c * h + i is the i-th smallest of column c.
constexpr Network SelectionNetwork(int w, int h, int k) {
    NetworkBuilder builder;
    std::array<NetworkBuilder::List, kMaxValues> columns{};
    for (int c = 0; c < w; ++c) {
        columns[c].size = h;
        for (int i = 0; i < h; ++i) columns[c].ids[i] = c * h + i;
    }
    const NetworkBuilder::List sorted = builder.MergeAll(columns, w);
    return Pruned(builder.net, sorted.ids[k - 1]);
}

template <int N>
inline constexpr Network kSortColumn = SortingNetwork(N);

template <int W, int H, int K>
inline constexpr Network kSelect = SelectionNetwork(W, H, K);

// Vectors are passed by reference only: the 32-byte form must not cross a call of the default target.
// Loads and stores go through a byte-aligned alias of the vector so they become single unaligned moves.
template <typename V>
[[gnu::always_inline]] inline void LoadInto(V& v, const uint8_t* p) {
    typedef V Unaligned __attribute__((aligned(1)));
    v = *reinterpret_cast<const Unaligned*>(p);
}

template <typename V>
[[gnu::always_inline]] inline void StoreFrom(uint8_t* p, const V& v) {
    typedef V Unaligned __attribute__((aligned(1)));
    *reinterpret_cast<Unaligned*>(p) = v;
}

template <const Network& net, int I, typename V>
[[gnu::always_inline]] inline void Apply(V* v) {
    constexpr CompareOp op = net.ops[I];
    if constexpr (op.kind == kBoth) {
        const V a = v[op.low];
        const V b = v[op.high];
        v[op.low] = a < b ? a : b;
        v[op.high] = a < b ? b : a;
    } else if constexpr (op.kind == kMinOnly) {
        v[op.low] = v[op.low] < v[op.high] ? v[op.low] : v[op.high];
    } else {
        v[op.high] = v[op.low] < v[op.high] ? v[op.high] : v[op.low];
    }
}

template <const Network& net, typename V, size_t... I>
[[gnu::always_inline]] inline void RunNetwork(V* v, std::index_sequence<I...>) {
    (Apply<net, static_cast<int>(I)>(v), ...);
}

// Sorts the h window rows column by column: sorted[i][x] = i-th smallest of rows[0..h)[x].
template <int H, typename V>
[[gnu::always_inline]] inline void SortColumnsBody(const uint8_t* const* rows, uint8_t* const* sorted,
                                                   size_t length) {
    constexpr const Network& net = kSortColumn<H>;
    const uint8_t* in[H];
    uint8_t* out[H];
    for (int i = 0; i < H; ++i) {
        in[i] = rows[i];
        out[i] = sorted[i];
    }
    for (size_t x = 0; x < length; x += sizeof(V)) {
        V v[H];
        for (int i = 0; i < H; ++i) LoadInto(v[i], in[i] + x);
        RunNetwork<net>(v, std::make_index_sequence<static_cast<size_t>(kSortColumn<H>.count)>{});
        for (int i = 0; i < H; ++i) StoreFrom(out[i] + x, v[net.order[i]]);
    }
}

// One output row from the sorted columns; `width` outputs, the reads may run over into the slack.
template <int W, int H, int K, typename V>
[[gnu::always_inline]] inline void SelectRowBody(const uint8_t* const* sorted, uint8_t* out, int32_t width) {
    constexpr const Network& net = kSelect<W, H, K>;
    constexpr auto kStep = static_cast<int32_t>(sizeof(V));
    const uint8_t* in[H];
    for (int i = 0; i < H; ++i) in[i] = sorted[i];
    int32_t x = 0;
    V v[W * H];
    for (; x + kStep <= width; x += kStep) {
        for (int c = 0; c < W; ++c) {
            for (int i = 0; i < H; ++i) LoadInto(v[c * H + i], in[i] + x + c);
        }
        RunNetwork<net>(v, std::make_index_sequence<static_cast<size_t>(kSelect<W, H, K>.count)>{});
        StoreFrom(out + x, v[net.result]);
    }
    if (x < width) {
        for (int c = 0; c < W; ++c) {
            for (int i = 0; i < H; ++i) LoadInto(v[c * H + i], in[i] + x + c);
        }
        RunNetwork<net>(v, std::make_index_sequence<static_cast<size_t>(kSelect<W, H, K>.count)>{});
        uint8_t last[sizeof(V)];
        StoreFrom(last, v[net.result]);
        std::memcpy(out + x, last, static_cast<size_t>(width - x));
    }
}

typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint8_t Bytes32 __attribute__((vector_size(32)));

using SortColumnsFn = void (*)(const uint8_t* const*, uint8_t* const*, size_t);
using SelectRowFn = void (*)(const uint8_t* const*, uint8_t*, int32_t);

template <int H>
void SortColumnsDefault(const uint8_t* const* rows, uint8_t* const* sorted, size_t length) {
    SortColumnsBody<H, Bytes16>(rows, sorted, length);
}

template <int H>
__attribute__((target("avx2"))) void SortColumnsAvx2(const uint8_t* const* rows, uint8_t* const* sorted,
                                                     size_t length) {
    SortColumnsBody<H, Bytes32>(rows, sorted, length);
}

template <int W, int H, int K>
void SelectRowDefault(const uint8_t* const* sorted, uint8_t* out, int32_t width) {
    SelectRowBody<W, H, K, Bytes16>(sorted, out, width);
}

template <int W, int H, int K>
__attribute__((target("avx2"))) void SelectRowAvx2(const uint8_t* const* sorted, uint8_t* out,
                                                   int32_t width) {
    SelectRowBody<W, H, K, Bytes32>(sorted, out, width);
}

template <int W, int H, bool kAvx2, size_t... K>
constexpr std::array<SelectRowFn, sizeof...(K)> SelectTable(std::index_sequence<K...>) {
    if constexpr (kAvx2) {
        return {&SelectRowAvx2<W, H, static_cast<int>(K) + 1>...};
    } else {
        return {&SelectRowDefault<W, H, static_cast<int>(K) + 1>...};
    }
}

template <int W, int H>
struct NetworkKernels {
    static constexpr auto kDefault = SelectTable<W, H, false>(std::make_index_sequence<W * H>{});
    static constexpr auto kAvx2 = SelectTable<W, H, true>(std::make_index_sequence<W * H>{});
};

constexpr size_t kRegisterSlack = 64;  // reads of whole registers past the end of a row

template <int W, int H>
bool RunNetworks(GrayBitmap& bitmap, int32_t rank) {
    const bool avx2 = CpuHasAvx2();
    const SortColumnsFn sortColumns = avx2 ? &SortColumnsAvx2<H> : &SortColumnsDefault<H>;
    const SelectRowFn selectRow =
        avx2 ? NetworkKernels<W, H>::kAvx2[rank - 1] : NetworkKernels<W, H>::kDefault[rank - 1];
    Padded padded;
    if (!MakePadded(bitmap, W / 2, H / 2, 2 * kRegisterSlack, padded)) return false;
    const size_t length = static_cast<size_t>(bitmap.width) + W - 1 + kRegisterSlack;
    const auto threads = static_cast<size_t>(omp_get_max_threads());
    std::vector<std::vector<uint8_t>> work(threads);
    try {
        for (auto& buffer : work) buffer.resize(H * (length + kRegisterSlack));
    } catch (const std::bad_alloc&) {
        return false;
    }
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        uint8_t* buffer = work[static_cast<size_t>(omp_get_thread_num())].data();
        const uint8_t* rows[H];
        uint8_t* sorted[H];
        for (int i = 0; i < H; ++i) {
            rows[i] = padded.Row(y + i);
            sorted[i] = buffer + static_cast<size_t>(i) * (length + kRegisterSlack);
        }
        sortColumns(rows, sorted, length);
        selectRow(sorted, bitmap.Row(y), bitmap.width);
    }
    return true;
}

// ---- Sliding histogram --------------------------------------------------------------------------
//
// For other windows a histogram of the window slides along the row (Perreault and Hebert): every
// column keeps the histogram of its h window rows, updated by one removal and one insertion per
// row, and the window histogram moves right by adding one column histogram and subtracting another.
// Counts are split into 16 coarse bins (value / 16) kept current at every step and 16 x 16 fine
// bins brought up to date only for the coarse bin the rank falls into. Finding the rank within 16
// bins is a prefix sum and a comparison on whole registers, so every rank costs the same.

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
                                           uint32_t rank) {
        columns_ = outputs + windowWidth - 1;
        std::fill_n(coarse_.begin(), static_cast<size_t>(columns_) * kBins, Count{0});
        std::fill_n(fine_.begin(), static_cast<size_t>(columns_) * kBins * kBins, Count{0});
        for (int32_t y = 0; y < windowHeight; ++y) InsertRow(padded.Row(y) + x0);
        for (int32_t y = 0; y < bitmap.height; ++y) {
            if (y > 0) ReplaceRow(padded.Row(y - 1) + x0, padded.Row(y + windowHeight - 1) + x0);
            FilterRow(bitmap.Row(y) + x0, outputs, windowWidth, rank);
        }
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
                      int32_t windowHeight, uint32_t rank) {
    histogram.Run(padded, bitmap, x0, outputs, windowWidth, windowHeight, rank);
}

template <typename Count>
__attribute__((target("avx2"))) void RunStripeAvx2(StripeHistogram<Count, Avx2Select>& histogram,
                                                   const Padded& padded, GrayBitmap& bitmap, int32_t x0,
                                                   int32_t outputs, int32_t windowWidth, int32_t windowHeight,
                                                   uint32_t rank) {
    histogram.Run(padded, bitmap, x0, outputs, windowWidth, windowHeight, rank);
}

template <typename Count, typename Select>
bool RunHistogramsWith(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank) {
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
#pragma omp parallel for schedule(dynamic)
    for (int32_t s = 0; s < stripes; ++s) {
        const int32_t x0 = s * stripe;
        const int32_t outputs = std::min(stripe, bitmap.width - x0);
        auto& histogram = work[static_cast<size_t>(omp_get_thread_num())];
        if constexpr (std::is_same_v<Select, Avx2Select>) {
            RunStripeAvx2<Count>(histogram, padded, bitmap, x0, outputs, windowWidth, windowHeight,
                                 static_cast<uint32_t>(rank));
        } else {
            RunStripeDefault<Count>(histogram, padded, bitmap, x0, outputs, windowWidth, windowHeight,
                                    static_cast<uint32_t>(rank));
        }
    }
    return true;
}

template <typename Count>
bool RunHistograms(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank) {
    if (CpuHasAvx2()) return RunHistogramsWith<Count, Avx2Select>(bitmap, windowWidth, windowHeight, rank);
    return RunHistogramsWith<Count, DefaultSelect>(bitmap, windowWidth, windowHeight, rank);
}

}  // namespace

bool NetworkHandles(int32_t windowWidth, int32_t windowHeight) {
    return (windowWidth == 3 && windowHeight == 3) || (windowWidth == 5 && windowHeight == 5);
}

bool RankFilterByNetwork(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank) {
    if (windowWidth == 3 && windowHeight == 3) return RunNetworks<3, 3>(bitmap, rank);
    if (windowWidth == 5 && windowHeight == 5) return RunNetworks<5, 5>(bitmap, rank);
    return false;
}

bool RankFilterByHistogram(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank) {
    if (static_cast<int64_t>(windowWidth) * windowHeight <= 65535) {
        return RunHistograms<uint16_t>(bitmap, windowWidth, windowHeight, rank);
    }
    return RunHistograms<uint32_t>(bitmap, windowWidth, windowHeight, rank);
}

bool RankFilterImage(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank) {
    if (NetworkHandles(windowWidth, windowHeight)) {
        return RankFilterByNetwork(bitmap, windowWidth, windowHeight, rank);
    }
    return RankFilterByHistogram(bitmap, windowWidth, windowHeight, rank);
}

}  // namespace tarkemo::rank_kernels
