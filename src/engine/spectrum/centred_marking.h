// The marking typed in the spectrum mode of the manual marking dialog: a rectangle of
// 2a + 1 by 2b + 1 grid points centred on the frequency (Kx, Ky).
#pragma once

#include <cstdint>
#include <optional>

#include "document/marking.h"

namespace tarkemo {

// Columns W/2 + kx - a .. W/2 + kx + a and rows H/2 + ky - b .. H/2 + ky + b, computed in 64 bits.
// When kx is 0 and the left edge comes out as 0 the right edge becomes W - 1 (likewise ky and the
// top edge), so a = W/2 (b = H/2) around the zero frequency covers the whole grid. None when the
// rectangle does not lie inside the grid or a half-size is negative.
std::optional<Marking> CentredMarking(int64_t kx, int64_t ky, int64_t a, int64_t b, int32_t width,
                                      int32_t height);

// True when the ordered marking lies inside a width x height grid.
bool MarkingInsideGrid(const Marking& marking, int32_t width, int32_t height);

}  // namespace tarkemo
