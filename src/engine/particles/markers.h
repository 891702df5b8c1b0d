// The display of a count's result: each particle's centre becomes a plus sign of value 255, the
// only pixels of that value, shown in a colour that stands out from the image's own table.
#pragma once

#include <span>

#include "image/gray_bitmap.h"
#include "particles/particle.h"

namespace tarkemo {

// Turns every byte of value 255 (padding included) into 254, then sets the centre pixel of each
// particle (centroid rounded half up) and its four direct neighbours to 255; the plus sign is cut
// at the border. A centroid outside the picture (or not a number) draws nothing.
void MarkParticles(GrayBitmap& bitmap, std::span<const Particle> particles);

// The colour of the markers for an image whose own table is `saved`: cyan when its entry 255 is
// already red (red above 200, green and blue below 20), red otherwise.
ColourEntry MarkerColour(const ColourTable& saved);

}  // namespace tarkemo
