#include "particles/particle_stats.h"

#include <algorithm>

namespace tarkemo {
namespace {

// From the largest index downwards a root receives the next number, and every other pixel the
// number its root (which has a larger index) already received. Returns the roots counted,
// stopping at the first one past `limit`, or -1 for an entry that is not a label.
int64_t NumberRoots(const GrayBitmap& b, int32_t* map, int64_t limit) {
    const int64_t entries = b.ByteCount();
    int64_t roots = 0;
    for (int32_t r = b.height - 1; r >= 0; --r) {
        const int32_t base = r * b.stride;
        for (int32_t c = b.width - 1; c >= 0; --c) {
            int32_t& entry = map[base + c];
            if (entry == 0) continue;
            if (entry == base + c + 1) {
                if (++roots > limit) return roots;
                entry = static_cast<int32_t>(roots);
            } else if (entry > base + c + 1 && entry <= entries) {
                entry = map[entry - 1];
            } else {
                return -1;
            }
        }
    }
    return roots;
}

// The mean gray value holds the sum of the pixel values until Finish divides it.
void Collect(const GrayBitmap& b, const int32_t* map, std::span<Particle> particles) {
    for (Particle& p : particles) {
        p = Particle{};
        p.left = b.width;
        p.top = -1;
        p.right = -1;
        p.bottom = b.height;
    }
    for (int32_t r = 0; r < b.height; ++r) {
        const int32_t* labels = map + static_cast<size_t>(r) * static_cast<size_t>(b.stride);
        const uint8_t* row = b.Row(r);
        for (int32_t c = 0; c < b.width; ++c) {
            if (labels[c] == 0) continue;
            Particle& p = particles[static_cast<size_t>(labels[c] - 1)];
            const uint8_t v = row[c];
            p.centroidX += static_cast<double>(c) * v;
            p.centroidY += static_cast<double>(r) * v;
            p.left = std::min(p.left, c);
            p.right = std::max(p.right, c);
            p.top = std::max(p.top, r);
            p.bottom = std::min(p.bottom, r);
            p.area += 1;
            p.meanGray += v;
            p.maxGray = std::max(p.maxGray, v);
        }
    }
}

// A particle of only zeros has no weighted centroid; it gets the plain mean of its positions,
// summed in the same order. Its weighted sums are still 0, so they can take the plain ones.
void CollectUnweightedPositions(const GrayBitmap& b, const int32_t* map, std::span<Particle> particles) {
    for (int32_t r = 0; r < b.height; ++r) {
        const int32_t* labels = map + static_cast<size_t>(r) * static_cast<size_t>(b.stride);
        for (int32_t c = 0; c < b.width; ++c) {
            if (labels[c] == 0) continue;
            Particle& p = particles[static_cast<size_t>(labels[c] - 1)];
            if (p.meanGray != 0) continue;
            p.centroidX += c;
            p.centroidY += r;
        }
    }
}

void Finish(std::span<Particle> particles) {
    for (Particle& p : particles) {
        const double sum = p.meanGray;
        const double weight = sum != 0 ? sum : static_cast<double>(p.area);
        p.centroidX /= weight;
        p.centroidY /= weight;
        p.meanGray = sum / p.area;
    }
}

}  // namespace

bool NumberComponents(const GrayBitmap& bitmap, LabelMap& map, std::span<Particle> particles) {
    if (!LabelMapFits(bitmap, map)) return false;
    const auto n = static_cast<int64_t>(particles.size());
    if (NumberRoots(bitmap, map.data(), n) != n) return false;
    Collect(bitmap, map.data(), particles);
    const bool anyZeroSum =
        std::any_of(particles.begin(), particles.end(), [](const Particle& p) { return p.meanGray == 0; });
    if (anyZeroSum) CollectUnweightedPositions(bitmap, map.data(), particles);
    Finish(particles);
    return true;
}

}  // namespace tarkemo
