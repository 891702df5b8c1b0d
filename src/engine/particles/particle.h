// One counted particle: where it lies, how large and how bright it is. Rows are counted from the
// bottom of the picture, as the pixel rows are stored.
#pragma once

#include <cstdint>

namespace tarkemo {

struct Particle {
    double centroidX = 0;  // gray-weighted mean column
    double centroidY = 0;  // gray-weighted mean row
    int32_t left = 0;      // smallest column
    int32_t top = 0;       // largest row: the topmost row in the picture
    int32_t right = 0;     // largest column
    int32_t bottom = 0;    // smallest row
    uint8_t maxGray = 0;
    double meanGray = 0;
    int32_t area = 0;  // pixel count

    friend bool operator==(const Particle&, const Particle&) = default;
};

}  // namespace tarkemo
