#include "particles/labelling.h"

#include <algorithm>

#include "particles/forward_union.h"
#include "particles/label_runs.h"

namespace tarkemo {
namespace {

using label_runs::NextNonZero;
using label_runs::NextZero;
using label_runs::PreviousNonZero;

// Joins every segment of marked entries among below[lo..hi] (inclusive) to `root`, once each.
void JoinSegments(ForwardUnion& sets, const int32_t* below, int32_t belowBase, int32_t lo, int32_t hi,
                  int32_t root) {
    bool previous = false;
    for (int32_t k = lo; k <= hi; ++k) {
        const bool marked = below[k] != 0;
        if (marked && !previous) sets.Join(belowBase + k, root);
        previous = marked;
    }
}

// Row r is taken run by run: a run's last pixel has the largest index seen so far, so it becomes
// the root of the run and of every component the run touches in the row below (its columns
// widened by one on each side, for the diagonals).
void JoinRow(const GrayBitmap& b, int32_t* map, int32_t r) {
    ForwardUnion sets(map);
    const int32_t w = b.width;
    const int32_t base = r * b.stride;
    int32_t* row = map + base;
    const int32_t* below = r > 0 ? row - b.stride : nullptr;
    for (int32_t start = NextNonZero(row, 0, w); start < w; start = NextNonZero(row, start, w)) {
        const int32_t end = NextZero(row, start, w);  // one past the run
        const int32_t root = base + end - 1;
        std::fill(row + start, row + end, root + 1);
        if (below)
            JoinSegments(sets, below, base - b.stride, std::max(start - 1, 0), std::min(end, w - 1), root);
        start = end;
    }
}

// Walks down from the largest index: a parent always has a larger index, so its entry already
// holds the final label when a pixel takes it over.
int32_t ResolveRoots(const GrayBitmap& b, int32_t* map) {
    int32_t roots = 0;
    for (int32_t r = b.height - 1; r >= 0; --r) {
        const int32_t base = r * b.stride;
        int32_t* row = map + base;
        for (int32_t c = PreviousNonZero(row, b.width - 1); c >= 0; c = PreviousNonZero(row, c - 1)) {
            const int32_t entry = row[c];
            if (entry == base + c + 1) {
                ++roots;
            } else {
                row[c] = map[entry - 1];
            }
        }
    }
    return roots;
}

}  // namespace

std::optional<int32_t> LabelComponents(const GrayBitmap& bitmap, LabelMap& map) {
    if (!LabelMapFits(bitmap, map)) return std::nullopt;
    for (int32_t r = 0; r < bitmap.height; ++r) JoinRow(bitmap, map.data(), r);
    return ResolveRoots(bitmap, map.data());
}

}  // namespace tarkemo
