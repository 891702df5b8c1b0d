// The runs of marked entries of one row as a list of edges: the start column of each run
// followed by the column one past its end, so run k spans [edges[2k], edges[2k+1]). Dense rows
// (a comb marks every other pixel) have thousands of runs, so the rows are scanned sixteen
// entries at a time and every change between unmarked and marked becomes one edge without a
// branch per pixel or per run. Joining a row's runs to those of the row below then costs one
// step per run instead of one per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "particles/forward_union.h"

namespace tarkemo::run_edges {

// The edges of a row of `w` entries fit in w + 1 slots (alternating entries, starting marked).
inline size_t EdgeCapacity(int32_t w) {
    return static_cast<size_t>(w) + 2;
}

// Writes the edges of the nonzero bytes of row[0..w) and returns their count (always even).
int32_t CollectEdges(const uint8_t* row, int32_t w, int32_t* edges);

// The same for the nonzero entries of a label-map row.
int32_t CollectEdges(const int32_t* row, int32_t w, int32_t* edges);

// The runs of one row joined to the 8-connected runs of the row below, in the label map as
// ForwardUnion keeps it: each run is filled with its last pixel's index + 1 (its root) and made
// the root of every component it touches below. The edges of the row just joined become the
// row below of the next call.
// The columns whose entries a JoinRow call wrote, in the row joined and in the row below (the
// last pixels of the runs joined there); empty when last < first.
struct JoinedColumns {
    int32_t rowFirst = std::numeric_limits<int32_t>::max(), rowLast = -1;
    int32_t belowFirst = std::numeric_limits<int32_t>::max(), belowLast = -1;
};

class RunJoiner {
  public:
    RunJoiner(int32_t* map, int32_t width);

    // The buffer CollectEdges fills with the edges of the row to join next.
    int32_t* Edges() { return current_.data(); }

    // Joins the `count` edges in Edges() as the runs of the row whose column 0 has the map index
    // `base` to the runs of the row joined before, whose column 0 is `belowBase`. With
    // `keepLonelyPixels`, a run of one pixel touching nothing below keeps its entry (-1: a root
    // of its own) and is not written.
    JoinedColumns JoinRow(int32_t base, int32_t belowBase, int32_t count, bool keepLonelyPixels);

    // Forgets the row below: the next row has none, or the row below has no runs.
    void Restart() { belowCount_ = 0; }

  private:
    int32_t* map_;
    ForwardUnion sets_;
    std::vector<int32_t> current_, below_;
    int32_t belowCount_ = 0;
};

}  // namespace tarkemo::run_edges
