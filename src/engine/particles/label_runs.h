// Finding the runs of nonzero entries in a row of the label map. Most of a map is usually 0, so
// the walks over it skip zeros eight entries at a time.
#pragma once

#include <cstdint>

namespace tarkemo::label_runs {

// The first column at or after c whose entry is nonzero, or w.
inline int32_t NextNonZero(const int32_t* row, int32_t c, int32_t w) {
    for (const int32_t near = c + 8 < w ? c + 8 : w; c < near; ++c) {
        if (row[c] != 0) return c;  // in dense rows the next run is close
    }
    for (; c + 8 <= w; c += 8) {
        int32_t any = 0;
        for (int k = 0; k < 8; ++k) any |= row[c + k];
        if (any != 0) break;
    }
    while (c < w && row[c] == 0) ++c;
    return c;
}

// The first column at or after c whose entry is 0, or w.
inline int32_t NextZero(const int32_t* row, int32_t c, int32_t w) {
    while (c < w && row[c] != 0) ++c;
    return c;
}

// The last column at or before c whose entry is nonzero, or -1.
inline int32_t PreviousNonZero(const int32_t* row, int32_t c) {
    for (const int32_t near = c - 8 > -1 ? c - 8 : -1; c > near; --c) {
        if (row[c] != 0) return c;
    }
    for (; c >= 7; c -= 8) {
        int32_t any = 0;
        for (int k = 0; k < 8; ++k) any |= row[c - k];
        if (any != 0) break;
    }
    while (c >= 0 && row[c] == 0) --c;
    return c;
}

}  // namespace tarkemo::label_runs
