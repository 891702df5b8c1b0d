// The fast engine against the literal raster passes on many random and winding pictures: the
// same marks, labels, numbering and statistics, bit for bit.
#include <gtest/gtest.h>

#include "literal_passes.h"
#include "particle_test_images.h"
#include "particles/binarise.h"
#include "particles/labelling.h"
#include "particles/maxima.h"
#include "particles/particle_stats.h"
#include "winding_particles.h"

namespace tarkemo {
namespace {

// Runs both engines from the marking on and compares every stage.
void ExpectSameAsLiteral(const GrayBitmap& b, uint8_t threshold, bool maxima, const std::string& what) {
    LabelMap fast(b.ByteCount(), 3), slow(b.ByteCount(), 0);
    if (maxima) {
        ASSERT_TRUE(FindMaxima(b, threshold, fast));
        literal::FindMaxima(b, threshold, slow);
    } else {
        ASSERT_TRUE(Binarise(b, threshold, fast));
        slow = fast;
    }
    ASSERT_EQ(fast, slow) << what << ": marks";
    const int32_t n = *LabelComponents(b, fast);
    ASSERT_EQ(n, literal::LabelComponents(b, slow)) << what;
    ASSERT_EQ(fast, slow) << what << ": labels";
    std::vector<Particle> particles(static_cast<size_t>(n));
    ASSERT_TRUE(NumberComponents(b, fast, particles)) << what;
    const std::vector<Particle> expected = literal::NumberComponents(b, slow);
    ASSERT_EQ(fast, slow) << what << ": numbers";
    ASSERT_EQ(particles, expected) << what << ": statistics";
}

TEST(ReferenceComparison, RandomPicturesOfFewLevels) {
    testimages::Random random(2024);
    for (int round = 0; round < 1500; ++round) {
        const int32_t levels = random.Between(2, 6);
        const GrayBitmap b = testing::RandomPicture(random, round < 300 ? 6 : 28, levels);
        const auto threshold = static_cast<uint8_t>(random.Between(0, 255));
        const std::string what = "round " + std::to_string(round);
        ExpectSameAsLiteral(b, threshold, true, what);
        ExpectSameAsLiteral(b, threshold, false, what);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(ReferenceComparison, SyntheticParticlePictures) {
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        testimages::ParticleImageSpec spec{
            .width = 61 + static_cast<int32_t>(seed), .height = 47, .spotCount = 30, .seed = seed};
        const GrayBitmap b = testimages::MakeParticleImage(spec);
        for (uint8_t threshold : {0, 41, 50, 120}) {
            const std::string what = "seed " + std::to_string(seed) + " T " + std::to_string(threshold);
            ExpectSameAsLiteral(b, threshold, true, what);
            ExpectSameAsLiteral(b, threshold, false, what);
        }
    }
}

TEST(ReferenceComparison, WindingRegionsAndPlateaus) {
    const GrayBitmap spiral = testimages::MakeSpiralImage(37, 29, 20, 200);
    const GrayBitmap comb = testimages::MakeCombImage(33, 21, 20, 150);
    GrayBitmap doomedSpiral = spiral, doomedComb = comb;
    doomedSpiral.At(0, 1) = 201;  // a brighter pixel beside the spiral's outer end
    doomedComb.At(0, 0) = 151;    // and at the tip of the comb's first tooth
    for (const auto& [picture, name] : {std::pair{&spiral, "spiral"},
                                        {&comb, "comb"},
                                        {&doomedSpiral, "doomed spiral"},
                                        {&doomedComb, "doomed comb"}}) {
        ExpectSameAsLiteral(*picture, 50, true, name);
        ExpectSameAsLiteral(*picture, 50, false, name);
    }
}

}  // namespace
}  // namespace tarkemo
