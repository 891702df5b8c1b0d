// The marked rectangle of the document in image coordinates (columns from the left, rows from
// the bottom). The rectangle that covers the whole image means "nothing marked": it is not drawn
// and operations that honour the marking then work on the whole image.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tarkemo {

// Edges are inclusive. After every completed operation left <= right and bottom <= top; only while a
// new marking is dragged may they be swapped, so users take minimum and maximum.
struct Marking {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const Marking&, const Marking&) = default;
};

// The marking of a width x height image that covers all of it.
inline Marking WholeImageMarking(int32_t width, int32_t height) {
    return Marking{0, height - 1, width - 1, 0};
}

// True when `marking` covers exactly the whole width x height image.
inline bool IsWholeImage(const Marking& marking, int32_t width, int32_t height) {
    return marking == WholeImageMarking(width, height);
}

// The marking with its edges ordered: left <= right and bottom <= top.
inline Marking OrderedMarking(const Marking& marking) {
    return Marking{std::min(marking.left, marking.right), std::max(marking.top, marking.bottom),
                   std::max(marking.left, marking.right), std::min(marking.top, marking.bottom)};
}

}  // namespace tarkemo
