#include "particles/maxima.h"

#include <algorithm>
#include <vector>

namespace tarkemo {
namespace {

// A pixel with no brighter neighbour is a candidate; its plateau is a maximum only when every
// pixel of the plateau is a candidate. Most candidates are single pixels, so the first pass
// marks all candidates and notes, per row, the columns of candidates that have an equal
// neighbour. Only those can lie on a plateau that touches a non-candidate; the second pass
// looks at them and unmarks such plateaus with a flood fill.
struct RowSpan {
    int32_t first = 1;
    int32_t last = 0;  // empty when first > last
};

class MaximaMarker {
  public:
    MaximaMarker(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map)
        : b_(bitmap), px_(bitmap.pixels.data()), map_(map.data()), threshold_(threshold) {}

    void Run() {
        std::vector<uint8_t> columnMax(static_cast<size_t>(b_.width));
        std::vector<RowSpan> plateauCandidates(static_cast<size_t>(b_.height));
        for (int32_t r = 0; r < b_.height; ++r) {
            MarkCandidates(r, columnMax.data());
            plateauCandidates[r] = FindPlateauCandidates(r);
        }
        for (int32_t r = 0; r < b_.height; ++r) {
            const RowSpan span = plateauCandidates[r];
            for (int32_t c = span.first; c <= span.last; ++c) {
                const int64_t i = Index(r, c);
                if (map_[i] == -1 && HasEqualUnmarkedNeighbour(r, c)) UnmarkPlateau(r, c);
            }
        }
    }

  private:
    int64_t Index(int32_t r, int32_t c) const { return static_cast<int64_t>(r) * b_.stride + c; }

    // Marks the pixels of row r that reach the threshold and equal the largest value of their
    // 3 x 3 neighbourhood (clipped at the picture's border); clears the rest, padding included.
    void MarkCandidates(int32_t r, uint8_t* columnMax) {
        const int32_t w = b_.width;
        const uint8_t* row = px_ + Index(r, 0);
        const uint8_t* below = r > 0 ? row - b_.stride : row;
        const uint8_t* above = r + 1 < b_.height ? row + b_.stride : row;
        for (int32_t c = 0; c < w; ++c) columnMax[c] = std::max({below[c], row[c], above[c]});
        int32_t* out = map_ + Index(r, 0);
        const uint8_t t = threshold_;
        if (w == 1) {
            out[0] = -static_cast<int32_t>(row[0] >= t && row[0] == columnMax[0]);
        } else {
            out[0] = -static_cast<int32_t>(row[0] >= t && row[0] == std::max(columnMax[0], columnMax[1]));
            for (int32_t c = 1; c + 1 < w; ++c) {
                const uint8_t m = std::max({columnMax[c - 1], columnMax[c], columnMax[c + 1]});
                out[c] = -static_cast<int32_t>((row[c] >= t) & (row[c] == m));
            }
            const uint8_t last = std::max(columnMax[w - 2], columnMax[w - 1]);
            out[w - 1] = -static_cast<int32_t>(row[w - 1] >= t && row[w - 1] == last);
        }
        std::fill(out + w, out + b_.stride, 0);
    }

    RowSpan FindPlateauCandidates(int32_t r) const {
        RowSpan span{b_.width, -1};
        const int32_t* out = map_ + Index(r, 0);
        for (int32_t c = 0; c < b_.width; ++c) {
            if (out[c] != 0 && HasEqualNeighbour(r, c)) {
                span.first = std::min(span.first, c);
                span.last = c;
            }
        }
        return span;
    }

    template <typename F>
    void ForEachNeighbour(int32_t r, int32_t c, F&& visit) const {
        const int32_t r0 = std::max(r - 1, 0), r1 = std::min(r + 1, b_.height - 1);
        const int32_t c0 = std::max(c - 1, 0), c1 = std::min(c + 1, b_.width - 1);
        for (int32_t nr = r0; nr <= r1; ++nr) {
            for (int32_t nc = c0; nc <= c1; ++nc) {
                if (nr != r || nc != c) visit(nr, nc);
            }
        }
    }

    bool HasEqualNeighbour(int32_t r, int32_t c) const {
        const uint8_t v = px_[Index(r, c)];
        bool found = false;
        ForEachNeighbour(r, c, [&](int32_t nr, int32_t nc) { found |= px_[Index(nr, nc)] == v; });
        return found;
    }

    bool HasEqualUnmarkedNeighbour(int32_t r, int32_t c) const {
        const uint8_t v = px_[Index(r, c)];
        bool found = false;
        ForEachNeighbour(r, c, [&](int32_t nr, int32_t nc) {
            const int64_t j = Index(nr, nc);
            found |= px_[j] == v && map_[j] == 0;
        });
        return found;
    }

    // Unmarks every marked pixel reachable from (r, c) through pixels of the same value. Pixels
    // waiting to be visited are chained through their own map entries (entry = -2 - index of the
    // next waiting pixel, the last one pointing to itself), so no plateau needs extra memory;
    // such entries are distinct from -1 (marked) and 0 (unmarked).
    void UnmarkPlateau(int32_t r, int32_t c) {
        const uint8_t v = px_[Index(r, c)];
        int64_t top = Index(r, c);
        map_[top] = static_cast<int32_t>(-2 - top);
        while (top >= 0) {
            const int64_t i = top;
            const int64_t next = -2 - static_cast<int64_t>(map_[i]);
            top = next == i ? -1 : next;
            map_[i] = 0;
            const int32_t ir = static_cast<int32_t>(i / b_.stride);
            const int32_t ic = static_cast<int32_t>(i % b_.stride);
            ForEachNeighbour(ir, ic, [&](int32_t nr, int32_t nc) {
                const int64_t j = Index(nr, nc);
                if (map_[j] != -1 || px_[j] != v) return;
                map_[j] = static_cast<int32_t>(-2 - (top >= 0 ? top : j));
                top = j;
            });
        }
    }

    const GrayBitmap& b_;
    const uint8_t* px_;
    int32_t* map_;
    uint8_t threshold_;
};

}  // namespace

bool FindMaxima(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map) {
    if (!LabelMapFits(bitmap, map)) return false;
    MaximaMarker(bitmap, threshold, map).Run();
    return true;
}

}  // namespace tarkemo
