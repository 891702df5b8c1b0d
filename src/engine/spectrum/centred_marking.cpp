#include "spectrum/centred_marking.h"

namespace tarkemo {
namespace {

// Low and high edge of one direction; the whole-extent rule applies around the zero frequency.
void CentredRange(int64_t k, int64_t half, int64_t size, int64_t& low, int64_t& high) {
    const int64_t centre = size / 2 + k;
    low = centre - half;
    high = centre + half;
    if (k == 0 && low == 0) high = size - 1;
}

}  // namespace

std::optional<Marking> CentredMarking(int64_t kx, int64_t ky, int64_t a, int64_t b, int32_t width,
                                      int32_t height) {
    // Limits keep the sums below inside 64 bits for any 32-bit grid.
    constexpr int64_t kLimit = int64_t{1} << 40;
    if (a < 0 || b < 0 || a > kLimit || b > kLimit || kx < -kLimit || kx > kLimit || ky < -kLimit ||
        ky > kLimit) {
        return std::nullopt;
    }
    int64_t left, right, bottom, top;
    CentredRange(kx, a, width, left, right);
    CentredRange(ky, b, height, bottom, top);
    if (left < 0 || bottom < 0 || right > width - 1 || top > height - 1) return std::nullopt;
    return Marking{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                   static_cast<int32_t>(bottom)};
}

bool MarkingInsideGrid(const Marking& marking, int32_t width, int32_t height) {
    return marking.left >= 0 && marking.bottom >= 0 && marking.left <= marking.right &&
           marking.bottom <= marking.top && marking.right < width && marking.top < height;
}

}  // namespace tarkemo
