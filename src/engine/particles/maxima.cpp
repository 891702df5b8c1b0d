#include "particles/maxima.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "particles/forward_union.h"
#include "particles/run_edges.h"

namespace tarkemo {
namespace {

// A pixel at or above the threshold with no brighter neighbour is a candidate. Two adjacent
// candidates always have the same value (neither may be brighter than the other), so the
// components of candidates lie within plateaus. A plateau is a maximum exactly when all its
// pixels are candidates; otherwise each of its candidate components has a seed, a candidate
// with an equal neighbour that is no candidate. So one pass in raster order marks the
// candidates, joins adjacent ones into components (union-find in the map, as the labelling
// does) and drops the components of the seeds; a last walk over the touched entries turns
// kept components into -1 and dropped ones into 0.
//
// The pass keeps padded copies of three rows (one margin column on each side) so the per-pixel
// loops have no border cases and vectorise. A missing neighbour row repeats the row itself for
// the maximum (which changes nothing) and counts as candidates for the seed test (so it never
// makes a seed).
struct RowSpan {
    int32_t first = 0;
    int32_t last = -1;  // empty when last < first

    void Include(int32_t c) {
        if (last < first) {
            first = last = c;
        } else {
            first = std::min(first, c);
            last = std::max(last, c);
        }
    }
};

class PaddedRows {
  public:
    explicit PaddedRows(int32_t width) : width_(width), pixels_(3 * Size()), candidates_(3 * Size()) {}
    size_t Size() const { return static_cast<size_t>(width_) + 2; }
    uint8_t* Pixels(int32_t r) { return pixels_.data() + Slot(r) * Size() + 1; }
    uint8_t* Candidates(int32_t r) { return candidates_.data() + Slot(r) * Size() + 1; }

  private:
    static size_t Slot(int32_t r) { return static_cast<size_t>(r + 3) % 3; }
    int32_t width_;
    std::vector<uint8_t> pixels_, candidates_;
};

// The first column at or after c whose byte is nonzero, or w.
int32_t NextSet(const uint8_t* row, int32_t c, int32_t w) {
    for (const int32_t near = c + 8 < w ? c + 8 : w; c < near; ++c) {
        if (row[c] != 0) return c;
    }
    for (; c + 8 <= w; c += 8) {
        uint64_t chunk;
        std::memcpy(&chunk, row + c, sizeof chunk);
        if (chunk != 0) break;
    }
    while (c < w && row[c] == 0) ++c;
    return c;
}

class MaximaMarker {
  public:
    MaximaMarker(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map)
        : b_(bitmap),
          map_(map.data()),
          sets_(map.data()),
          joiner_(map.data(), bitmap.width),
          threshold_(threshold),
          rows_(bitmap.width),
          ones_(static_cast<size_t>(bitmap.width) + 2, 1),
          columnMax_(static_cast<size_t>(bitmap.width) + 2, 0),
          seedRow_(static_cast<size_t>(bitmap.width)),
          touched_(static_cast<size_t>(bitmap.height)) {}

    void Run() {
        for (int32_t r = 0; r < b_.height; ++r) {
            CopyRow(r);
            const bool anyCandidate = MarkCandidates(r);
            if (r > 0) DropSeeds(r - 1, rows_.Candidates(r));
            if (anyCandidate) {
                JoinCandidates(r);
            } else {
                joiner_.Restart();
            }
        }
        DropSeeds(b_.height - 1, Ones());
        for (int32_t r = b_.height - 1; r >= 0; --r) Resolve(r);
    }

  private:
    int32_t Index(int32_t r, int32_t c) const { return r * b_.stride + c; }
    const uint8_t* Source(int32_t r) const { return b_.pixels.data() + Index(r, 0); }
    const uint8_t* Ones() const { return ones_.data() + 1; }

    void CopyRow(int32_t r) {
        uint8_t* row = rows_.Pixels(r);
        std::copy(Source(r), Source(r) + b_.width, row);
        row[-1] = row[b_.width] = 0;
    }

    // Candidates of row r into the padded candidate row and the map (-1 or 0, padding cleared).
    // Returns whether the row has any.
    bool MarkCandidates(int32_t r) {
        const int32_t w = b_.width;
        const uint8_t* row = Source(r);
        const uint8_t* below = r > 0 ? Source(r - 1) : row;
        const uint8_t* above = r + 1 < b_.height ? Source(r + 1) : row;
        uint8_t* columnMax = columnMax_.data() + 1;
        for (int32_t c = 0; c < w; ++c) columnMax[c] = std::max(std::max(below[c], row[c]), above[c]);
        uint8_t* candidates = rows_.Candidates(r);
        int32_t* out = map_ + Index(r, 0);
        const uint8_t t = threshold_;
        uint8_t any = 0;
        for (int32_t c = 0; c < w; ++c) {
            const uint8_t m = std::max(std::max(columnMax[c - 1], columnMax[c]), columnMax[c + 1]);
            const uint8_t v = row[c];
            const uint8_t candidate = static_cast<uint8_t>((v >= t) & (v == m));
            candidates[c] = candidate;
            out[c] = -static_cast<int32_t>(candidate);
            any |= candidate;
        }
        candidates[-1] = candidates[w] = 1;
        std::fill(out + w, out + b_.stride, 0);
        return any != 0;
    }

    // Drops the components of row r's seeds, given the candidate row above it (the all-ones row
    // above the top row; the all-ones row also stands below the bottom row).
    void DropSeeds(int32_t r, const uint8_t* candidatesAbove) {
        const uint8_t* cands[3] = {r > 0 ? rows_.Candidates(r - 1) : Ones(), rows_.Candidates(r),
                                   candidatesAbove};
        const uint8_t* pixels[3] = {rows_.Pixels(r - 1), rows_.Pixels(r), rows_.Pixels(r + 1)};
        const int32_t w = b_.width;
        if (NextSet(cands[1], 0, w) == w) return;
        uint8_t* seeds = seedRow_.data();
        uint8_t any = 0;
        for (int32_t c = 0; c < w; ++c) {
            const uint8_t v = pixels[1][c];
            uint8_t hit = 0;
            for (int dr = 0; dr < 3; ++dr) {
                const uint8_t* p = pixels[dr];
                const uint8_t* k = cands[dr];
                hit |= ((p[c - 1] == v) & (k[c - 1] ^ 1)) | ((p[c] == v) & (k[c] ^ 1)) |
                       ((p[c + 1] == v) & (k[c + 1] ^ 1));
            }
            seeds[c] = cands[1][c] & hit;
            any |= seeds[c];
        }
        if (!any) return;
        for (int32_t c = NextSet(seeds, 0, w); c < w; c = NextSet(seeds, c + 1, w)) {
            touched_[r].Include(c);
            sets_.DropComponentOf(Index(r, c));
        }
    }

    // Joins the candidate runs of row r with the candidate runs they touch in the row below. A
    // run becomes a component of its own, rooted at its last pixel; a single candidate touching
    // nothing stays -1 and is never looked at again unless a later row touches it.
    void JoinCandidates(int32_t r) {
        const int32_t count = run_edges::CollectEdges(rows_.Candidates(r), b_.width, joiner_.Edges());
        const run_edges::JoinedColumns joined = joiner_.JoinRow(Index(r, 0), Index(r - 1, 0), count, true);
        if (joined.rowLast >= 0) {
            touched_[r].Include(joined.rowFirst);
            touched_[r].Include(joined.rowLast);
        }
        if (joined.belowLast >= 0) {
            touched_[r - 1].Include(joined.belowFirst);
            touched_[r - 1].Include(joined.belowLast);
        }
    }

    // From the largest index down, each touched entry takes its final mark: a parent always has
    // a larger index, so it is final already when its children look at it.
    void Resolve(int32_t r) {
        const RowSpan span = touched_[r];
        for (int32_t c = span.last; c >= span.first; --c) {
            const int32_t i = Index(r, c);
            const int32_t e = map_[i];
            if (e == 0 || e == -1) continue;
            if (e == i + 1) {
                map_[i] = -1;
            } else if (e == -i - 2) {
                map_[i] = 0;
            } else {
                map_[i] = map_[e - 1];
            }
        }
    }

    const GrayBitmap& b_;
    int32_t* map_;
    ForwardUnion sets_;
    run_edges::RunJoiner joiner_;
    uint8_t threshold_;
    PaddedRows rows_;
    std::vector<uint8_t> ones_;       // a candidate row of ones, margins included
    std::vector<uint8_t> columnMax_;  // the largest value of each column's three rows
    std::vector<uint8_t> seedRow_;    // the seeds of the row being examined
    std::vector<RowSpan> touched_;    // per row, the columns that hold more than -1 or 0
};

}  // namespace

bool FindMaxima(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map) {
    if (!LabelMapFits(bitmap, map)) return false;
    MaximaMarker(bitmap, threshold, map).Run();
    return true;
}

}  // namespace tarkemo
