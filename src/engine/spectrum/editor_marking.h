// The read-out and manual-entry rules of the spectrum editor where they differ from the main
// window: the InfoBox shows frequencies relative to the zero frequency at (W/2, H/2), and a typed
// marking is centred on a frequency.
#pragma once

#include <cstdint>

#include "document/manual_marking.h"
#include "document/marking.h"
#include "document/readout_text.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

// "Kx:  x−W/2/W/2", "Ky:  y−H/2/H/2", "Grauwert:  v" for the grid point under window point (x, y);
// "(außerhalb)" lines off the grid.
ReadoutLines SpectrumPointerReadout(const ViewState& view, const GrayBitmap* grid, int32_t x, int32_t y);

// While the marking is pressed or moved: its centre relative to the zero frequency and its sizes.
ReadoutLines SpectrumMovingReadout(const Marking& marking, int32_t gridWidth, int32_t gridHeight);

// The manual marking dialog in spectrum mode: the fields are Kx and Ky (digits after an optional
// "-") and the half-sizes a and b (digits), giving the marking of CentredMarking. Valid when every
// field reads and the marking lies inside the grid; otherwise the marking is the whole grid.
ManualMarking CentredManualMarking(const ManualFields& fields, int32_t gridWidth, int32_t gridHeight);

}  // namespace tarkemo
