// Randomly damaged DaVis files must be refused or read, never crash or read outside the file; run
// under the address and undefined-behaviour sanitizers this also proves the bounds of every read.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "generator/davis_encoder.h"
#include "generator/particle_image.h"
#include "image/davis_convert.h"
#include "image/davis_import.h"
#include "image/davis_packed.h"

namespace tarkemo {
namespace {

using Bytes = std::vector<uint8_t>;
using testimages::Random;

std::vector<Bytes> SeedFiles() {
    const std::vector<uint16_t> v13 = {100,  101,  103,   102,   102,   104,   105,   103,   110,
                                       5000, 5001, 20000, 20001, 20002, 40000, 39999, 39999, 39990};
    std::vector<uint16_t>
        mixed;  // nibble runs, bytes, single words and 0x7F runs over three lines of two frames
    for (int i = 0; i < 96; ++i)
        mixed.push_back(static_cast<uint16_t>(i < 40 ? 500 + i % 3 : (i * 7919) % 65536));
    testimages::DavisHeaderFields old = testimages::DavisImageFields(18, 4, 6, 2);
    old.version = 54;  // rows count both frames
    Bytes oldFile = testimages::MakeDavisHeader(old);
    oldFile.resize(oldFile.size() + 4 * 6 * 2, 0x11);
    return {
        testimages::MakeDavisPackedFile(v13, 9, 2),
        testimages::MakeDavisPackedFile(mixed, 16, 3, 2),
        testimages::MakeDavisWordFile(v13, 9, 2),
        testimages::MakeDavisFloatFile(std::vector<float>{-1.0f, 0.0f, 1.0f, 2.5f, 1e30f, -7.0f}, 3, 2),
        oldFile,
    };
}

// Decodes from a buffer of exactly the file's size, so any read past its end is caught. True when
// the file was read.
bool DecodeAndCheck(const Bytes& file, uint64_t iteration) {
    auto exact = std::make_unique<uint8_t[]>(file.size() + (file.empty() ? 1 : 0));
    std::copy(file.begin(), file.end(), exact.get());
    DavisError error = DavisError::kNone;
    const auto image = DecodeDavis(std::span<const uint8_t>(exact.get(), file.size()), error);
    if (!image) {
        EXPECT_NE(error, DavisError::kNone) << "iteration " << iteration;
        return false;
    }
    const size_t samples = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    const size_t held = image->kind == DavisSampleKind::kFloats ? image->floats.size() : image->words.size();
    EXPECT_EQ(held, samples) << "iteration " << iteration;
    EXPECT_LE(image->dataEnd, file.size()) << "iteration " << iteration;
    const auto bitmap = ConvertDavisToBitmap(*image);
    EXPECT_TRUE(bitmap && bitmap->width == image->width) << "iteration " << iteration;
    return true;
}

Bytes Mutate(Bytes file, Random& random) {
    const int edits = random.Between(1, 4);
    for (int e = 0; e < edits; ++e) {
        const size_t size = file.size();
        const auto at = [&] {
            return static_cast<size_t>(random.Between(0, static_cast<int32_t>(size) - 1));
        };
        switch (random.Between(0, 5)) {
            case 0:  // flip one bit
                if (size) file[at()] ^= static_cast<uint8_t>(1u << random.Between(0, 7));
                break;
            case 1:  // one byte, biased toward the stream codes and the extremes
                if (size) {
                    static const uint8_t kInteresting[] = {0x00, 0x01, 0x08, 0x7F, 0x80, 0x81, 0xF8, 0xFF};
                    file[at()] = random.Between(0, 1) ? kInteresting[random.Between(0, 7)]
                                                      : static_cast<uint8_t>(random.Between(0, 255));
                }
                break;
            case 2:  // cut
                file.resize(static_cast<size_t>(random.Between(0, static_cast<int32_t>(size))));
                break;
            case 3:  // insert a few bytes
                file.insert(file.begin() + static_cast<long>(size ? at() : 0),
                            static_cast<size_t>(random.Between(1, 4)),
                            static_cast<uint8_t>(random.Between(0, 255)));
                break;
            case 4:  // remove a few bytes
                if (size) {
                    const size_t from = at();
                    file.erase(file.begin() + static_cast<long>(from),
                               file.begin() + static_cast<long>(std::min(size, from + 3)));
                }
                break;
            default:  // one of the size fields of the header
                if (size >= 256) {
                    static const size_t kFields[] = {0,   10,  12,  14,  18,  33,  228,
                                                     229, 232, 235, 236, 239, 256, 257};
                    file[kFields[random.Between(0, 13)]] = static_cast<uint8_t>(random.Between(0, 255));
                }
                break;
        }
    }
    return file;
}

TEST(DavisFuzz, RandomlyDamagedFilesNeverCrash) {
    const std::vector<Bytes> seeds = SeedFiles();
    Random random(20261207);
    int read = 0;
    for (uint64_t i = 0; i < 100000 && !::testing::Test::HasFailure(); ++i) {
        read += DecodeAndCheck(Mutate(seeds[i % seeds.size()], random), i);
    }
    // Damage in the samples leaves many files readable, so the readers' success paths get shaken too.
    EXPECT_GT(read, 10000);
}

TEST(DavisFuzz, EveryCutAndEveryHeaderByteValue) {
    uint64_t case_ = 0;
    for (const Bytes& seed : SeedFiles()) {
        for (size_t size = 0; size <= seed.size(); ++size)
            DecodeAndCheck(Bytes(seed.begin(), seed.begin() + static_cast<long>(size)), case_++);
        for (size_t at = 0; at < 260 && at < seed.size(); ++at) {
            for (const uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF}) {
                Bytes file = seed;
                file[at] = value;
                DecodeAndCheck(file, case_++);
            }
        }
        if (::testing::Test::HasFailure()) return;
    }
}

// The first frame and the rest are decoded in separate calls; pieces of any size must give the
// same samples, the same end and the same verdict as one call.
TEST(DavisFuzz, RandomStreamsDecodeTheSameInPieces) {
    Random random(7);
    static const uint8_t kCodes[] = {0x7F, 0x80, 0x81, 0x08, 0xF8, 0x00};
    for (int round = 0; round < 3000; ++round) {
        Bytes stream(static_cast<size_t>(random.Between(0, 40)));
        for (uint8_t& b : stream)
            b = random.Between(0, 3) ? static_cast<uint8_t>(random.Between(0, 255))
                                     : kCodes[random.Between(0, 5)];
        const size_t count = static_cast<size_t>(random.Between(1, 90));
        std::vector<uint16_t> whole(count), pieces(count);
        PackedStreamState one, many;
        const bool wholeOk = DecodePackedWords(stream, one, whole.data(), count);
        bool piecesOk = true;
        for (size_t done = 0; piecesOk && done < count;) {
            const size_t piece = std::min(count - done, static_cast<size_t>(random.Between(1, 5)));
            piecesOk = DecodePackedWords(stream, many, pieces.data() + done, piece);
            done += piece;
        }
        ASSERT_EQ(piecesOk, wholeOk) << "round " << round;
        if (wholeOk) {
            ASSERT_EQ(pieces, whole) << "round " << round;
            ASSERT_EQ(many.pos, one.pos) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace tarkemo
