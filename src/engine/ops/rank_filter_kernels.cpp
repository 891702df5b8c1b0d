// The mirrored working copy, the selection networks for 3 x 3 and 5 x 5 windows, and the choice
// between networks and the sliding histogram (rank_histogram.cpp).
#include "ops/rank_filter_kernels.h"

#include <omp.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "image/memory_limits.h"
#include "image/pixel_buffer.h"
#include "ops/cpu_features.h"

namespace tarkemo::rank_kernels {
bool KeepOrRestore(const ProgressCounter& counter, const Padded& padded, int32_t padX, int32_t padY,
                   GrayBitmap& bitmap) {
    if (!counter.Stopped()) return true;
    for (int32_t y = 0; y < bitmap.height; ++y)
        std::memcpy(bitmap.Row(y), padded.Row(y + padY) + padX, static_cast<size_t>(bitmap.width));
    return false;
}

namespace {

int32_t Mirror(int32_t i, int32_t n) {
    return i < 0 ? -i : (i >= n ? 2 * n - i - 2 : i);
}

}  // namespace

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

namespace {

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
constexpr int32_t kNetworkBlock = 64;  // rows between two questions to the Progress

template <int W, int H>
bool RunNetworks(GrayBitmap& bitmap, int32_t rank, Progress* progress) {
    const bool avx2 = CpuHasAvx2();
    const SortColumnsFn sortColumns = avx2 ? &SortColumnsAvx2<H> : &SortColumnsDefault<H>;
    const SelectRowFn selectRow =
        avx2 ? NetworkKernels<W, H>::kAvx2[rank - 1] : NetworkKernels<W, H>::kDefault[rank - 1];
    Padded padded;
    if (!MakePadded(bitmap, W / 2, H / 2, 2 * kRegisterSlack, padded)) return false;
    const size_t length = static_cast<size_t>(bitmap.width) + W - 1 + kRegisterSlack;
    const auto threads = static_cast<size_t>(omp_get_max_threads());
    std::vector<std::vector<uint8_t>> work;
    try {
        work.assign(threads, std::vector<uint8_t>(H * (length + kRegisterSlack)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    ProgressCounter counter(progress, bitmap.height);
    const int32_t blocks = (bitmap.height + kNetworkBlock - 1) / kNetworkBlock;
#pragma omp parallel for schedule(static)
    for (int32_t block = 0; block < blocks; ++block) {
        if (counter.Stopped()) continue;
        uint8_t* buffer = work[static_cast<size_t>(omp_get_thread_num())].data();
        const int32_t end = std::min(bitmap.height, (block + 1) * kNetworkBlock);
        for (int32_t y = block * kNetworkBlock; y < end; ++y) {
            const uint8_t* rows[H];
            uint8_t* sorted[H];
            for (int i = 0; i < H; ++i) {
                rows[i] = padded.Row(y + i);
                sorted[i] = buffer + static_cast<size_t>(i) * (length + kRegisterSlack);
            }
            sortColumns(rows, sorted, length);
            selectRow(sorted, bitmap.Row(y), bitmap.width);
        }
        counter.Add(end - block * kNetworkBlock);
    }
    return KeepOrRestore(counter, padded, W / 2, H / 2, bitmap);
}

}  // namespace

bool NetworkHandles(int32_t windowWidth, int32_t windowHeight) {
    return (windowWidth == 3 && windowHeight == 3) || (windowWidth == 5 && windowHeight == 5);
}

bool RankFilterByNetwork(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                         Progress* progress) {
    if (windowWidth == 3 && windowHeight == 3) return RunNetworks<3, 3>(bitmap, rank, progress);
    if (windowWidth == 5 && windowHeight == 5) return RunNetworks<5, 5>(bitmap, rank, progress);
    return false;
}

bool RankFilterImage(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                     Progress* progress) {
    if (NetworkHandles(windowWidth, windowHeight)) {
        return RankFilterByNetwork(bitmap, windowWidth, windowHeight, rank, progress);
    }
    return RankFilterByHistogram(bitmap, windowWidth, windowHeight, rank, progress);
}

}  // namespace tarkemo::rank_kernels
