// Particle counting on a 4096 x 4096 picture of the generator (background 10..40, spots of
// radius 1..4 and peak 60..250, threshold 50), one thread:
//   BM_BinarisePath: Binarise, LabelComponents, NumberComponents, FilterByArea (statistics
//     included) - to beat OpenCV's connectedComponentsWithStats on the thresholded image;
//   BM_MaximaPath: FindMaxima to FilterByArea - at most a third of scikit-image's
//     local_maxima + threshold mask + label.
// The same paths on a spiral filling the picture and on comb-shaped plateaus (half of their
// pixels marked) must cost no more than on straight lines of the same density ("lines"): the
// windings themselves cost nothing. BM_CountParticles is the whole count including allocations.
// Counters: "particles" is N before the area filter (regions or maxima).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "generator/particle_image.h"
#include "particles/area_filter.h"
#include "particles/binarise.h"
#include "particles/count_run.h"
#include "particles/labelling.h"
#include "particles/maxima.h"
#include "particles/particle_stats.h"
#include "winding_particles.h"

namespace {

using namespace tarkemo;

constexpr int32_t kSide = 4096;
constexpr uint8_t kThreshold = 50;
// About 20 000 regions at the threshold (each spot has one summit, so about as many maxima).
// bench/compare_particles.sh generates the same picture with this count.
constexpr int32_t kSpotCount = 21000;

enum Picture { kParticles, kSpiral, kComb, kDoomedComb, kLines };

const GrayBitmap& PictureFor(int which) {
    static std::map<int, GrayBitmap> pictures;
    auto found = pictures.find(which);
    if (found != pictures.end()) return found->second;
    GrayBitmap b;
    if (which == kParticles) {
        testimages::ParticleImageSpec spec;
        spec.width = spec.height = kSide;
        spec.spotCount = kSpotCount;
        b = testimages::MakeParticleImage(spec);
    } else if (which == kLines) {
        b = testimages::MakeLinesImage(kSide, kSide, 20, 150);
    } else if (which == kSpiral) {
        b = testimages::MakeSpiralImage(kSide, kSide, 20, 200);
    } else {
        b = testimages::MakeCombImage(kSide, kSide, 20, 150);
        if (which == kDoomedComb) b.At(0, 0) = 151;  // a brighter tip: the whole comb is no maximum
    }
    return pictures.emplace(which, std::move(b)).first->second;
}

const char* PictureName(int which) {
    static const char* names[] = {"particles", "spiral", "comb", "doomed-comb", "lines"};
    return names[which];
}

// Marking through the area filter on a map allocated once, as the count does for one picture.
void RunPath(benchmark::State& state, bool maxima) {
    const GrayBitmap& b = PictureFor(static_cast<int>(state.range(0)));
    state.SetLabel(PictureName(static_cast<int>(state.range(0))));
    LabelMap map = *AllocateLabelMap(b);
    int32_t n = 0;
    size_t kept = 0;
    for (auto _ : state) {
        if (maxima) {
            FindMaxima(b, kThreshold, map);
        } else {
            Binarise(b, kThreshold, map);
        }
        n = *LabelComponents(b, map);
        std::vector<Particle> particles(static_cast<size_t>(n));
        if (!NumberComponents(b, map, particles)) state.SkipWithError("numbering failed");
        FilterByArea(particles, 1, 10);
        kept = particles.size();
        benchmark::DoNotOptimize(particles.data());
    }
    state.counters["particles"] = n;
    state.counters["kept"] = static_cast<double>(kept);
    state.SetItemsProcessed(state.iterations() * b.width * b.height);
}

void BM_BinarisePath(benchmark::State& state) {
    RunPath(state, false);
}
void BM_MaximaPath(benchmark::State& state) {
    RunPath(state, true);
}

// One stage on its own, from a map prepared by the stages before it (copied in untimed).
void BM_Stage(benchmark::State& state) {
    const GrayBitmap& b = PictureFor(static_cast<int>(state.range(0)));
    const auto stage = state.range(1);
    state.SetLabel(std::string(PictureName(static_cast<int>(state.range(0)))) + (stage == 0 ? " FindMaxima"
                                                                                 : stage == 1
                                                                                     ? " LabelComponents"
                                                                                     : " NumberComponents"));
    LabelMap prepared = *AllocateLabelMap(b);
    Binarise(b, kThreshold, prepared);
    const int32_t n = *LabelComponents(b, prepared);
    if (stage == 1) Binarise(b, kThreshold, prepared);
    LabelMap map = prepared;
    std::vector<Particle> particles(static_cast<size_t>(n));
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(prepared.begin(), prepared.end(), map.begin());
        state.ResumeTiming();
        if (stage == 0) FindMaxima(b, kThreshold, map);
        if (stage == 1) LabelComponents(b, map);
        if (stage == 2) NumberComponents(b, map, particles);
        benchmark::DoNotOptimize(map.data());
    }
}

void BM_CountParticles(benchmark::State& state) {
    const GrayBitmap& b = PictureFor(kParticles);
    const auto method = static_cast<CountMethod>(state.range(0));
    for (auto _ : state) {
        auto particles = CountParticles(b, method, ParticleParams{});
        benchmark::DoNotOptimize(particles);
    }
    state.SetLabel(method == CountMethod::Maxima ? "maxima" : "binarise");
}

BENCHMARK(BM_BinarisePath)
    ->Arg(kParticles)
    ->Arg(kSpiral)
    ->Arg(kComb)
    ->Arg(kLines)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MaximaPath)
    ->Arg(kParticles)
    ->Arg(kSpiral)
    ->Arg(kComb)
    ->Arg(kDoomedComb)
    ->Arg(kLines)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stage)
    ->ArgsProduct({{kParticles, kSpiral, kComb, kLines}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountParticles)
    ->Arg(static_cast<int>(CountMethod::Binarise))
    ->Arg(static_cast<int>(CountMethod::Maxima))
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
