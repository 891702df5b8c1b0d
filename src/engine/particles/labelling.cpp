#include "particles/labelling.h"

#include "particles/label_runs.h"
#include "particles/run_edges.h"

namespace tarkemo {
namespace {

using label_runs::PreviousNonZero;

// Row r is taken run by run: a run's last pixel has the largest index seen so far, so it becomes
// the root of the run and of every component the run touches in the row below.
void JoinRows(const GrayBitmap& b, int32_t* map) {
    run_edges::RunJoiner joiner(map, b.width);
    for (int32_t r = 0; r < b.height; ++r) {
        const int32_t base = r * b.stride;
        const int32_t count = run_edges::CollectEdges(map + base, b.width, joiner.Edges());
        joiner.JoinRow(base, base - b.stride, count, false);
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
    JoinRows(bitmap, map.data());
    return ResolveRoots(bitmap, map.data());
}

}  // namespace tarkemo
