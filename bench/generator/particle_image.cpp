#include "generator/particle_image.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tarkemo::testimages {

uint64_t Random::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int32_t Random::Between(int32_t lo, int32_t hi) {
    const auto span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo + 1);
    return static_cast<int32_t>(lo + static_cast<int64_t>(Next() % span));
}

double Random::Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

namespace {

GrayBitmap NewBitmap(int32_t width, int32_t height) {
    auto bitmap = CreateGrayBitmap(width, height);
    if (!bitmap) throw std::runtime_error("test image too large");
    return std::move(*bitmap);
}

void DrawSpot(GrayBitmap& bitmap, double cx, double cy, double radius, int peak) {
    const double sigma = std::max(0.5, radius / 2.0);
    const int reach = static_cast<int>(std::ceil(radius * 1.5));
    const int x0 = std::max(0, static_cast<int>(cx) - reach);
    const int x1 = std::min(bitmap.width - 1, static_cast<int>(cx) + reach);
    const int y0 = std::max(0, static_cast<int>(cy) - reach);
    const int y1 = std::min(bitmap.height - 1, static_cast<int>(cy) + reach);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            const int v = static_cast<int>(peak * std::exp(-d2 / (2 * sigma * sigma)));
            uint8_t& p = bitmap.At(x, y);
            p = static_cast<uint8_t>(std::max<int>(p, v));
        }
    }
}

}  // namespace

GrayBitmap MakeParticleImage(const ParticleImageSpec& spec) {
    GrayBitmap bitmap = NewBitmap(spec.width, spec.height);
    Random random(spec.seed);
    for (int32_t y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < bitmap.width; ++x) {
            row[x] = static_cast<uint8_t>(random.Between(spec.backgroundMin, spec.backgroundMax));
        }
    }
    for (int32_t i = 0; i < spec.spotCount; ++i) {
        const double cx = random.Unit() * spec.width;
        const double cy = random.Unit() * spec.height;
        const double radius = spec.minRadius + random.Unit() * (spec.maxRadius - spec.minRadius);
        DrawSpot(bitmap, cx, cy, radius, random.Between(spec.minPeak, spec.maxPeak));
    }
    return bitmap;
}

GrayBitmap MakeNoiseImage(int32_t width, int32_t height, uint64_t seed) {
    GrayBitmap bitmap = NewBitmap(width, height);
    Random random(seed);
    for (uint8_t& p : bitmap.pixels) p = static_cast<uint8_t>(random.Next() >> 56);
    return bitmap;
}

}  // namespace tarkemo::testimages
