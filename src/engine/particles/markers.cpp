#include "particles/markers.h"

#include <algorithm>

namespace tarkemo {
namespace {

// The integer part of value + 0.5, or -1 when that lies outside 0..limit-1.
int32_t RoundedCoordinate(double value, int32_t limit) {
    const double shifted = value + 0.5;
    if (!(shifted >= 0.0 && shifted < static_cast<double>(limit))) return -1;
    return static_cast<int32_t>(shifted);
}

void DrawPlus(GrayBitmap& b, int32_t c, int32_t r) {
    uint8_t* row = b.Row(r);
    row[c] = 255;
    if (c < b.width - 1) row[c + 1] = 255;
    if (c > 0) row[c - 1] = 255;
    if (r < b.height - 1) b.At(c, r + 1) = 255;
    if (r > 0) b.At(c, r - 1) = 255;
}

}  // namespace

void MarkParticles(GrayBitmap& bitmap, std::span<const Particle> particles) {
    std::replace(bitmap.pixels.begin(), bitmap.pixels.end(), uint8_t{255}, uint8_t{254});
    for (const Particle& p : particles) {
        const int32_t c = RoundedCoordinate(p.centroidX, bitmap.width);
        const int32_t r = RoundedCoordinate(p.centroidY, bitmap.height);
        if (c >= 0 && r >= 0) DrawPlus(bitmap, c, r);
    }
}

ColourEntry MarkerColour(const ColourTable& saved) {
    const ColourEntry& top = saved[255];
    const bool red = top.red > 200 && top.green < 20 && top.blue < 20;
    return red ? ColourEntry{255, 255, 0, 0} : ColourEntry{0, 0, 255, 0};
}

}  // namespace tarkemo
