// The settings of a particle count: the threshold and the accepted range of particle areas, and
// the three ways of counting (by brightness maxima, by threshold regions, by threshold stripes).
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo {

// The parameters the counting dialog edits; they live as long as the program runs.
struct ParticleParams {
    uint32_t minGray = 50;  // threshold T, 0..255 once accepted
    uint32_t minArea = 1;   // smallest area kept, in pixels
    uint32_t maxArea = 10;  // largest area kept, in pixels
};

// The input is acceptable when the threshold fits a pixel value, the largest area is at least 1
// and not below the smallest. A threshold of 0 is accepted.
inline bool ParticleParamsValid(const ParticleParams& params) {
    return params.minGray <= 255 && params.maxArea >= 1 && params.maxArea >= params.minArea;
}

// The colour table the parameter dialog previews the threshold with: entries below minGray dark
// blue (blue 50, green 0, red 0), the others those of the image's own table `saved`.
ColourTable ThresholdPreviewTable(const ColourTable& saved, uint32_t minGray);

// The counting commands, numbered by their menu ids. Binarise and Stripes find the same particles;
// only their export differs.
enum class CountMethod : int32_t {
    Maxima = 40100,
    Binarise = 40103,
    Stripes = 40130,
};

}  // namespace tarkemo
