// Numbering of the labelled components and their statistics. Particle 1 is the component whose
// root lies highest in the picture (rightmost at a tie); the numbers grow downwards.
#pragma once

#include <span>

#include "image/gray_bitmap.h"
#include "particles/label_map.h"
#include "particles/particle.h"

namespace tarkemo {

// Renumbers a labelled map to particle numbers 1..N (N = particles.size()) and fills the records:
// gray-weighted centroid, bounds, area, max gray and mean gray. A particle whose pixels are all
// 0 gets the unweighted mean of its pixel positions as centroid. False when the map does not fit
// or does not hold exactly N roots (or holds an entry that is no label); the records are then
// not valid and the map is numbered only up to the trouble.
bool NumberComponents(const GrayBitmap& bitmap, LabelMap& map, std::span<Particle> particles);

}  // namespace tarkemo
