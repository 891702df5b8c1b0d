// The area filter of a count: only particles whose pixel count lies in the accepted range stay.
#pragma once

#include <cstdint>
#include <vector>

#include "particles/particle.h"

namespace tarkemo {

// Keeps the particles with minArea <= area <= maxArea (both inclusive) in their order and drops
// the rest. The bounds are the dialog's unsigned values, so a bound of 2^31 or more means what it
// says instead of turning negative.
void FilterByArea(std::vector<Particle>& particles, uint32_t minArea, uint32_t maxArea);

}  // namespace tarkemo
