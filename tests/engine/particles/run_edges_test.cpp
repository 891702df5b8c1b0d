// The row scans behind labelling and maxima marking on rows wide enough for their sixteen-entry
// steps: the edges of every run, and whole dense pictures against the literal raster passes.
#include "particles/run_edges.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "literal_passes.h"
#include "particle_test_images.h"
#include "particles/binarise.h"
#include "particles/labelling.h"
#include "particles/maxima.h"
#include "particles/particle_stats.h"

namespace tarkemo {
namespace {

// The edges one entry at a time.
template <typename Entry>
std::vector<int32_t> LiteralEdges(const std::vector<Entry>& row, int32_t w) {
    std::vector<int32_t> edges;
    for (int32_t c = 0; c <= w; ++c) {
        const bool marked = c < w && row[static_cast<size_t>(c)] != 0;
        const bool before = c > 0 && row[static_cast<size_t>(c - 1)] != 0;
        if (marked != before) edges.push_back(c);
    }
    return edges;
}

// Rows of every width up to 80 at densities from empty to full, with marked entries past the
// width that must not count; label-map rows also hold labels and negative values.
TEST(RunEdges, MatchTheRunsOfEveryRow) {
    testimages::Random random(77);
    for (int32_t w = 0; w <= 80; ++w) {
        for (int32_t percent : {0, 3, 50, 90, 100}) {
            std::vector<uint8_t> bytes(static_cast<size_t>(w) + 20, 1);
            std::vector<int32_t> entries(static_cast<size_t>(w) + 20, -1);
            for (int32_t c = 0; c < w; ++c) {
                const bool marked = random.Between(0, 99) < percent;
                bytes[static_cast<size_t>(c)] = marked ? static_cast<uint8_t>(random.Between(1, 255)) : 0;
                entries[static_cast<size_t>(c)] =
                    marked ? (random.Between(0, 1) ? -1 : random.Between(1, 1 << 30)) : 0;
            }
            std::vector<int32_t> edges(run_edges::EdgeCapacity(w));
            const std::string what = "width " + std::to_string(w) + ", " + std::to_string(percent) + "%";
            const int32_t byteCount = run_edges::CollectEdges(bytes.data(), w, edges.data());
            EXPECT_EQ(std::vector<int32_t>(edges.begin(), edges.begin() + byteCount), LiteralEdges(bytes, w))
                << what;
            const int32_t entryCount = run_edges::CollectEdges(entries.data(), w, edges.data());
            EXPECT_EQ(std::vector<int32_t>(edges.begin(), edges.begin() + entryCount),
                      LiteralEdges(entries, w))
                << what;
        }
    }
}

// Wide pictures of two or three levels mark about half their pixels in many short runs that
// meet across the sixteen-column steps; every stage must equal the literal passes.
TEST(RunEdges, DensePicturesMatchTheLiteralPasses) {
    testimages::Random random(4096);
    for (int round = 0; round < 60; ++round) {
        const int32_t width = random.Between(30, 120), height = random.Between(1, 14);
        const int32_t levels = random.Between(2, 3);
        GrayBitmap b = *CreateGrayBitmap(width, height);
        for (uint8_t& p : b.pixels)
            p = static_cast<uint8_t>(random.Between(0, levels - 1) * (255 / (levels - 1)));
        for (bool maxima : {true, false}) {
            const std::string what = "round " + std::to_string(round) + (maxima ? " maxima" : " binarise");
            LabelMap fast(b.ByteCount(), 5), slow(b.ByteCount(), 0);
            if (maxima) {
                ASSERT_TRUE(FindMaxima(b, 100, fast));
                literal::FindMaxima(b, 100, slow);
            } else {
                ASSERT_TRUE(Binarise(b, 100, fast));
                slow = fast;
            }
            ASSERT_EQ(fast, slow) << what << ": marks";
            const int32_t n = *LabelComponents(b, fast);
            ASSERT_EQ(n, literal::LabelComponents(b, slow)) << what;
            ASSERT_EQ(fast, slow) << what << ": labels";
            std::vector<Particle> particles(static_cast<size_t>(n));
            ASSERT_TRUE(NumberComponents(b, fast, particles)) << what;
            ASSERT_EQ(particles, literal::NumberComponents(b, slow)) << what << ": statistics";
            ASSERT_EQ(fast, slow) << what << ": numbers";
        }
    }
}

}  // namespace
}  // namespace tarkemo
