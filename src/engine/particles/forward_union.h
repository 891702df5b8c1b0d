// The union-find that labelling and maxima marking run in the label map itself, in one pass in
// ascending index order. The pixel being visited has the largest index seen so far, so it
// becomes the root of every component it touches: a component's final root is its last pixel,
// and every parent has a larger index than its child.
//
// Entries: index + 1 of the parent (a root: its own index + 1); -1 for a marked pixel not yet
// joined to anything (a root of its own); -(index + 2) for a root whose component is to be
// dropped; 0 for unmarked pixels.
#pragma once

#include <cstdint>

namespace tarkemo {

class ForwardUnion {
  public:
    explicit ForwardUnion(int32_t* map) : map_(map) {}

    bool IsRoot(int32_t x) const {
        const int32_t e = map_[x];
        return e <= 0 || e == x + 1;
    }
    bool IsDropped(int32_t x) const { return map_[x] == -x - 2; }

    int32_t Find(int32_t x) {
        while (!IsRoot(x)) {
            const int32_t parent = map_[x] - 1;
            if (IsRoot(parent)) return parent;
            map_[x] = map_[parent];  // path halving: point to the grandparent
            x = map_[parent] - 1;
        }
        return x;
    }

    // Makes `current` (a root with the largest index so far) the root of the neighbour's
    // component; a dropped component drops the joined one.
    void Join(int32_t neighbour, int32_t current) {
        const int32_t root = Find(neighbour);
        if (root == current) return;
        const bool dropped = IsDropped(root);
        map_[root] = current + 1;
        if (dropped) Drop(current);
    }

    // Marks the component of x to be dropped.
    void DropComponentOf(int32_t x) { Drop(Find(x)); }

  private:
    void Drop(int32_t root) { map_[root] = -root - 2; }

    int32_t* map_;
};

}  // namespace tarkemo
