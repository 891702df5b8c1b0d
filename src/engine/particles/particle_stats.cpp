#include "particles/particle_stats.h"

#include <algorithm>

#include "particles/label_runs.h"

namespace tarkemo {
namespace {

using label_runs::NextNonZero;
using label_runs::PreviousNonZero;

// Every weighted sum is a sum of whole numbers (column or row times value, each below 2^39).
// While a total stays below 2^53 every partial sum is exact in a double, whatever the order of
// adding, so the walk that numbers the map from the top can also collect the statistics and
// still give the bits of the ascending walk. Only a particle whose sums reach 2^53 (a picture
// near the size limit) sends the statistics through the ascending walk.
constexpr double kExactLimit = 9007199254740992.0;  // 2^53

void StartRecords(const GrayBitmap& b, std::span<Particle> particles) {
    for (Particle& p : particles) {
        p = Particle{};
        p.left = b.width;
        p.top = -1;
        p.right = -1;
        p.bottom = b.height;
    }
}

// The sums of some pixels of one particle in one row; the mean gray value holds the sum of the
// pixel values until Finish divides it.
struct RunSums {
    double weightedColumns = 0;
    double values = 0;
    int32_t area = 0;
    uint8_t maxGray = 0;

    void Add(int32_t c, uint8_t v) {
        weightedColumns += static_cast<double>(c) * v;
        values += v;
        maxGray = std::max(maxGray, v);
    }

    void AddTo(Particle& p, int32_t r, int32_t first, int32_t last) const {
        p.centroidX += weightedColumns;
        p.centroidY += static_cast<double>(r) * values;
        p.meanGray += values;
        p.area += area;
        p.left = std::min(p.left, first);
        p.right = std::max(p.right, last);
        p.top = std::max(p.top, r);
        p.bottom = std::min(p.bottom, r);
        p.maxGray = std::max(p.maxGray, maxGray);
    }
};

// The particle number of the pixel at index `index` whose entry is `raw`, or 0 for an entry that
// is no label or for a root past the records (counted in `roots`).
int32_t NumberOf(int32_t raw, int64_t index, int64_t entries, const int32_t* map,
                 std::span<Particle> particles, int64_t& roots) {
    if (raw == index + 1) {
        if (++roots > static_cast<int64_t>(particles.size())) return 0;
        return static_cast<int32_t>(roots);
    }
    if (raw <= index + 1 || raw > entries) return 0;
    const int32_t number = map[raw - 1];
    return number >= 1 && number <= roots ? number : 0;  // else the root was no root
}

// Numbers and measures the pixels of one row, walking down from its last column. Roots receive
// the next number; every other pixel takes the number its root (with a larger index) received.
// Returns false for an entry that is no label or for a root past the records. The runs of one
// particle that follow each other in the row (a comb has thousands of them) share one record
// update: every sum is a whole number, exact below 2^53 in any order.
bool NumberRow(const GrayBitmap& b, int32_t* map, int32_t r, std::span<Particle> particles, int64_t& roots) {
    const int32_t base = r * b.stride;
    int32_t* labels = map + base;
    const uint8_t* pixels = b.Row(r);
    const int64_t entries = b.ByteCount();
    for (int32_t c = PreviousNonZero(labels, b.width - 1); c >= 0;) {
        const int32_t raw = labels[c];
        const int32_t number = NumberOf(raw, static_cast<int64_t>(base) + c, entries, map, particles, roots);
        if (number == 0) return false;
        RunSums sums;
        const int32_t last = c;
        int32_t first;
        do {  // the pixels to the left with the same label share the number
            const int32_t runLast = c;
            for (; c >= 0 && labels[c] == raw; --c) {
                sums.Add(c, pixels[c]);
                labels[c] = number;
            }
            sums.area += runLast - c;
            first = c + 1;
            c = PreviousNonZero(labels, c);
        } while (c >= 0 && labels[c] == raw);
        sums.AddTo(particles[static_cast<size_t>(number - 1)], r, first, last);
    }
    return true;
}

// The statistics again in ascending order, pixel by pixel, on a numbered map.
void CollectAscending(const GrayBitmap& b, const int32_t* map, std::span<Particle> particles) {
    StartRecords(b, particles);
    for (int32_t r = 0; r < b.height; ++r) {
        const int32_t* labels = map + static_cast<size_t>(r) * static_cast<size_t>(b.stride);
        const uint8_t* row = b.Row(r);
        for (int32_t c = NextNonZero(labels, 0, b.width); c < b.width;
             c = NextNonZero(labels, c + 1, b.width)) {
            RunSums pixel;
            pixel.Add(c, row[c]);
            pixel.area = 1;
            pixel.AddTo(particles[static_cast<size_t>(labels[c] - 1)], r, c, c);
        }
    }
}

// A particle of only zeros has no weighted centroid; it gets the plain mean of its positions,
// summed in ascending order. Its weighted sums are still 0, so they can take the plain ones.
void CollectUnweightedPositions(const GrayBitmap& b, const int32_t* map, std::span<Particle> particles) {
    for (int32_t r = 0; r < b.height; ++r) {
        const int32_t* labels = map + static_cast<size_t>(r) * static_cast<size_t>(b.stride);
        for (int32_t c = NextNonZero(labels, 0, b.width); c < b.width;
             c = NextNonZero(labels, c + 1, b.width)) {
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
    const std::span<Particle> records = particles;
    StartRecords(bitmap, records);
    int64_t roots = 0;
    for (int32_t r = bitmap.height - 1; r >= 0; --r) {
        if (!NumberRow(bitmap, map.data(), r, records, roots)) return false;
    }
    if (roots != static_cast<int64_t>(particles.size())) return false;
    const auto beyondExact = [](const Particle& p) {
        return p.centroidX >= kExactLimit || p.centroidY >= kExactLimit;
    };
    if (std::any_of(records.begin(), records.end(), beyondExact))
        CollectAscending(bitmap, map.data(), records);
    const auto allZero = [](const Particle& p) { return p.meanGray == 0; };
    if (std::any_of(records.begin(), records.end(), allZero)) {
        CollectUnweightedPositions(bitmap, map.data(), records);
    }
    Finish(records);
    return true;
}

}  // namespace tarkemo
