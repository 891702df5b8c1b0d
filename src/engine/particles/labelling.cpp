#include "particles/labelling.h"

namespace tarkemo {
namespace {

// During the forward pass an entry holds the index + 1 of a parent with a larger index; a root
// points to itself. The pixel being visited has the largest index seen so far, so it becomes the
// root of every component it touches: the final root of a component is its last pixel.
class ForwardUnion {
  public:
    explicit ForwardUnion(int32_t* map) : map_(map) {}

    int32_t Find(int32_t x) {
        for (;;) {
            const int32_t parent = map_[x] - 1;
            if (parent == x) return x;
            const int32_t grandparent = map_[parent] - 1;
            if (grandparent == parent) return parent;
            map_[x] = grandparent + 1;  // path halving keeps later searches short
            x = grandparent;
        }
    }

    void Join(int32_t neighbour, int32_t current) {
        const int32_t root = Find(neighbour);
        if (root != current) map_[root] = current + 1;
    }

  private:
    int32_t* map_;
};

// Only the neighbours visited earlier are joined. The pixel below touches the left, below-left
// and below-right ones, so when it is marked it is the only one needed; otherwise left and
// below-left touch each other, and below-right is joined on its own.
void JoinEarlierNeighbours(const GrayBitmap& b, int32_t* map, int32_t r) {
    ForwardUnion sets(map);
    const int32_t w = b.width;
    const int32_t base = r * b.stride;
    int32_t* row = map + base;
    const int32_t* below = r > 0 ? row - b.stride : nullptr;
    for (int32_t c = 0; c < w; ++c) {
        if (row[c] == 0) continue;
        const int32_t i = base + c;
        row[c] = i + 1;
        if (below && below[c] != 0) {
            sets.Join(i - b.stride, i);
            continue;
        }
        if (c > 0 && row[c - 1] != 0) {
            row[c - 1] = i + 1;  // the left pixel was visited last, so it is still a root
        } else if (below && c > 0 && below[c - 1] != 0) {
            sets.Join(i - b.stride - 1, i);
        }
        if (below && c + 1 < w && below[c + 1] != 0) sets.Join(i - b.stride + 1, i);
    }
}

// Walks down from the largest index: a parent always has a larger index, so its entry already
// holds the final label when a pixel takes it over.
int32_t ResolveRoots(const GrayBitmap& b, int32_t* map) {
    int32_t roots = 0;
    for (int32_t r = b.height - 1; r >= 0; --r) {
        const int32_t base = r * b.stride;
        for (int32_t c = b.width - 1; c >= 0; --c) {
            const int32_t entry = map[base + c];
            if (entry == 0) continue;
            if (entry == base + c + 1) {
                ++roots;
            } else {
                map[base + c] = map[entry - 1];
            }
        }
    }
    return roots;
}

}  // namespace

std::optional<int32_t> LabelComponents(const GrayBitmap& bitmap, LabelMap& map) {
    if (!LabelMapFits(bitmap, map)) return std::nullopt;
    for (int32_t r = 0; r < bitmap.height; ++r) JoinEarlierNeighbours(bitmap, map.data(), r);
    return ResolveRoots(bitmap, map.data());
}

}  // namespace tarkemo
