#include "particles/count_run.h"

#include <new>

#include "image/memory_limits.h"
#include "particles/area_filter.h"
#include "particles/binarise.h"
#include "particles/label_map.h"
#include "particles/labelling.h"
#include "particles/markers.h"
#include "particles/maxima.h"
#include "particles/particle_stats.h"

namespace tarkemo {
namespace {

bool Mark(const GrayBitmap& image, CountMethod method, uint8_t threshold, LabelMap& map) {
    if (method == CountMethod::Maxima) return FindMaxima(image, threshold, map);
    return Binarise(image, threshold, map);
}

// The count's phases each report one step of kCountSteps; a stop request ends the count between them.
constexpr int64_t kCountSteps = 4;

bool StopAfter(Progress* progress, int64_t step) {
    return ReportProgress(progress, step, kCountSteps);
}

std::optional<std::vector<Particle>> CountWithMap(const GrayBitmap& image, CountMethod method,
                                                  const ParticleParams& params, LabelMap& map,
                                                  Progress* progress) {
    if (!Mark(image, method, static_cast<uint8_t>(params.minGray), map)) return std::nullopt;
    if (StopAfter(progress, 1)) return std::nullopt;
    const auto n = LabelComponents(image, map);
    if (!n || StopAfter(progress, 2)) return std::nullopt;
    const size_t count = static_cast<size_t>(*n);
    if (!AllocationFits(count * sizeof(Particle))) return std::nullopt;
    std::vector<Particle> particles(count);
    if (!NumberComponents(image, map, particles) || StopAfter(progress, 3)) return std::nullopt;
    FilterByArea(particles, params.minArea, params.maxArea);
    return particles;
}

}  // namespace

std::optional<std::vector<Particle>> CountParticles(const GrayBitmap& image, CountMethod method,
                                                    const ParticleParams& params, Progress* progress) {
    try {
        auto map = AllocateLabelMap(image);
        if (!map) return std::nullopt;
        if (ReportProgress(progress, 0, kCountSteps)) return std::nullopt;
        return CountWithMap(image, method, params, *map, progress);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::vector<Particle>> CountAndMarkInPlace(GrayBitmap& image, CountMethod method,
                                                         const ParticleParams& params, Progress* progress) {
    auto particles = CountParticles(image, method, params, progress);
    if (!particles) return std::nullopt;
    image.colours[255] = MarkerColour(image.colours);
    MarkParticles(image, *particles);
    return particles;
}

std::optional<CountResult> CountAndMarkParticles(const GrayBitmap& image, CountMethod method,
                                                 const ParticleParams& params, Progress* progress) {
    try {
        if (!AllocationFits(image.ByteCount())) return std::nullopt;
        CountResult result{image, {}};
        auto particles = CountAndMarkInPlace(result.marked, method, params, progress);
        if (!particles) return std::nullopt;
        result.particles = std::move(*particles);
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace tarkemo
