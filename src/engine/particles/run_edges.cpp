#include "particles/run_edges.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarkemo::run_edges {
namespace {

// Appends an edge for every set bit of `changes` (bit k: column c + k differs from the column
// before it). The slot is written whether or not the bit is set, so the loop has no branch
// besides its own end.
inline int32_t AppendChanges(uint32_t changes, int32_t c, int32_t* edges, int32_t count) {
    while (changes != 0) {
        edges[count++] = c + __builtin_ctz(changes);
        changes &= changes - 1;
    }
    return count;
}

// Edges from a bit per column (1: marked) for columns c .. c + 15; `previous` is the mark of
// column c - 1 and becomes that of column c + 15.
inline int32_t AppendMaskEdges(uint32_t marks, uint32_t& previous, int32_t c, int32_t* edges, int32_t count) {
    const uint32_t changes = (marks ^ ((marks << 1) | previous)) & 0xFFFFu;
    previous = (marks >> 15) & 1u;
    return AppendChanges(changes, c, edges, count);
}

template <typename Entry>
int32_t CollectTail(const Entry* row, int32_t c, int32_t w, uint32_t previous, int32_t* edges,
                    int32_t count) {
    for (; c < w; ++c) {
        const uint32_t marked = row[c] != 0 ? 1u : 0u;
        edges[count] = c;
        count += static_cast<int32_t>(marked ^ previous);
        previous = marked;
    }
    if (previous != 0) edges[count++] = w;
    return count;
}

}  // namespace

int32_t CollectEdges(const uint8_t* row, int32_t w, int32_t* edges) {
    int32_t count = 0;
    uint32_t previous = 0;
    int32_t c = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; c + 16 <= w; c += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c));
        const uint32_t marks = ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) & 0xFFFFu;
        if (marks == 0 && previous == 0) continue;
        count = AppendMaskEdges(marks, previous, c, edges, count);
    }
#endif
    return CollectTail(row, c, w, previous, edges, count);
}

int32_t CollectEdges(const int32_t* row, int32_t w, int32_t* edges) {
    int32_t count = 0;
    uint32_t previous = 0;
    int32_t c = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; c + 16 <= w; c += 16) {
        const auto* p = reinterpret_cast<const __m128i*>(row + c);
        const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(p), zero);
        const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(p + 1), zero);
        const __m128i d = _mm_cmpeq_epi32(_mm_loadu_si128(p + 2), zero);
        const __m128i e = _mm_cmpeq_epi32(_mm_loadu_si128(p + 3), zero);
        const __m128i bytes = _mm_packs_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(d, e));
        const uint32_t marks = ~static_cast<uint32_t>(_mm_movemask_epi8(bytes)) & 0xFFFFu;
        if (marks == 0 && previous == 0) continue;
        count = AppendMaskEdges(marks, previous, c, edges, count);
    }
#endif
    return CollectTail(row, c, w, previous, edges, count);
}

RunJoiner::RunJoiner(int32_t* map, int32_t width)
    : map_(map), sets_(map), current_(EdgeCapacity(width)), below_(EdgeCapacity(width)) {}

// A run [s, e) touches a run [bs, be) below when bs <= e and be >= s (the diagonals widen it by
// one column on each side). Both lists ascend, so one index into the runs below moves forward
// only; the last run below a run touches may touch the next run too.
JoinedColumns RunJoiner::JoinRow(int32_t base, int32_t belowBase, int32_t count, bool keepLonelyPixels) {
    // Locals, so that the writes into the map need not reload them.
    int32_t* const row = map_ + base;
    ForwardUnion sets = sets_;
    const int32_t* const edges = current_.data();
    const int32_t* const below = below_.data();
    const int32_t belowCount = belowCount_;
    JoinedColumns joined;
    int32_t j = 0;
    for (int32_t i = 0; i < count; i += 2) {
        const int32_t s = edges[i], e = edges[i + 1];
        while (j < belowCount && below[j + 1] < s) j += 2;
        int32_t k = j;
        const bool touches = k < belowCount && below[k] <= e;
        if (keepLonelyPixels && !touches && e - s == 1) continue;
        const int32_t label = base + e;  // the root's index + 1
        for (int32_t c = s; c < e; ++c) row[c] = label;
        joined.rowFirst = std::min(joined.rowFirst, s);
        joined.rowLast = e - 1;
        if (k < belowCount && below[k] <= e)
            joined.belowFirst = std::min(joined.belowFirst, below[k + 1] - 1);
        for (; k < belowCount && below[k] <= e; k += 2) sets.Join(belowBase + below[k + 1] - 1, label - 1);
        if (k > j) {
            j = k - 2;
            joined.belowLast = below[j + 1] - 1;
        }
    }
    current_.swap(below_);
    belowCount_ = count;
    return joined;
}

}  // namespace tarkemo::run_edges
