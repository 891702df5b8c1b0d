// Synthetic particle images: Gaussian spots of random radius and brightness on a noisy dark
// background, reproducible from a seed. Used by tests, benchmarks and the bundled sample.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo::testimages {

struct ParticleImageSpec {
    int32_t width = 512;
    int32_t height = 512;
    int32_t spotCount = 200;
    int32_t minRadius = 1;  // spot radius in pixels (the Gaussian's sigma is half of it, at least 0.5)
    int32_t maxRadius = 4;
    int32_t minPeak = 60;  // brightest gray value of a spot
    int32_t maxPeak = 250;
    int32_t backgroundMin = 10;  // background noise range, inclusive
    int32_t backgroundMax = 40;
    uint64_t seed = 20261207;
};

// A gray-ramp bitmap drawn from these settings; identical settings give identical images everywhere.
GrayBitmap MakeParticleImage(const ParticleImageSpec& spec);

// A bitmap of the given size whose pixels are a deterministic pseudo-random pattern (all 256 values).
GrayBitmap MakeNoiseImage(int32_t width, int32_t height, uint64_t seed = 1);

// A small deterministic pseudo-random generator (splitmix64) so images never depend on the library.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // Uniform integer in lo..hi inclusive.
    int32_t Between(int32_t lo, int32_t hi);
    // Uniform real in [0, 1).
    double Unit();

private:
    uint64_t state_;
};

}  // namespace tarkemo::testimages
