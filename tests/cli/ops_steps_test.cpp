#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli_run.h"
#include "generator/particle_image.h"
#include "image/bmp_file.h"
#include "ops/bit_ops.h"
#include "ops/combine.h"
#include "ops/geometry.h"
#include "ops/local_ops.h"
#include "ops/normalize.h"
#include "ops/shift_origin.h"

namespace tarkemo {
namespace {

using testing::RunCli;

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "ops_steps_" + std::to_string(getpid()) + "_" +
           name;  // runs in parallel never meet
}

bool Exists(const std::string& path) {
    return FileExists(path);
}

// The generator image the steps run on, written once per test.
struct Files {
    std::string input = TempPath("in.bmp");
    std::string output = TempPath("out.bmp");
    GrayBitmap image;
    explicit Files(int32_t width = 37, int32_t height = 29) {
        testimages::ParticleImageSpec spec;
        spec.width = width;
        spec.height = height;
        spec.spotCount = 6;
        image = testimages::MakeParticleImage(spec);
        EXPECT_TRUE(WriteBmpFile(image, input));
        std::remove(output.c_str());
    }
    ~Files() {
        std::remove(input.c_str());
        std::remove(output.c_str());
    }
};

bool SamePixels(const GrayBitmap& a, const GrayBitmap& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int32_t y = 0; y < a.height; ++y) {
        if (!std::equal(a.Row(y), a.Row(y) + a.width, b.Row(y))) return false;
    }
    return true;
}

// Each step gives what its engine function gives.
TEST(OpsSteps, EveryStepAppliesItsEngineOperation) {
    struct Case {
        std::string step;
        std::function<bool(GrayBitmap&)> engine;
    };
    const auto bits = [](int32_t id, uint8_t c) {
        return [id, c](GrayBitmap& b) { return ApplyBitOperation(b, id, c); };
    };
    const std::vector<Case> cases = {
        {"not", bits(kBitNot, 0)},
        {"and=12", bits(kBitAnd, 12)},
        {"or=129", bits(kBitOr, 129)},
        {"xor=255", bits(kBitXor, 255)},
        {"rl", bits(kBitRotateLeft, 0)},
        {"rr", bits(kBitRotateRight, 0)},
        {"sl", bits(kBitShiftLeft, 0)},
        {"sr", bits(kBitShiftRight, 0)},
        {"bi", bits(kBitReverse, 0)},
        {"normalize", NormalizeRange},
        {"flip-h", [](GrayBitmap& b) { return MirrorLeftRight(b), true; }},
        {"flip-v", [](GrayBitmap& b) { return MirrorTopBottom(b), true; }},
        {"rotate-180", [](GrayBitmap& b) { return Rotate180(b), true; }},
        {"rotate-left", RotateLeft},
        {"rotate-right", RotateRight},
        {"shift-origin=5,7", [](GrayBitmap& b) { return ShiftOrigin(b, 5, 7); }},
        {"shift-origin=37,29", [](GrayBitmap& b) { return ShiftOrigin(b, 0, 0); }},
        {"rank=3,3,5", [](GrayBitmap& b) { return RankFilter(b, 3, 3, 5); }},
        {"rank=7,3,1", [](GrayBitmap& b) { return RankFilter(b, 7, 3, 1); }},
        {"local-normalize=5,5,30,20", [](GrayBitmap& b) { return LocalNormalize(b, 5, 5, 30, 20); }},
        {"local-normalize=3,7,0,128", [](GrayBitmap& b) { return LocalNormalize(b, 3, 7, 0, 128); }},
        {"gradient", GradientFilter},
    };
    Files files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const auto result = RunCli({"apply", files.input, files.output, c.step});
        ASSERT_EQ(result.status, 0) << result.out;
        const auto written = ReadBmpFile(files.output);
        ASSERT_TRUE(written);
        GrayBitmap expected = files.image;
        ASSERT_TRUE(c.engine(expected));
        EXPECT_TRUE(SamePixels(written->bitmap, expected));
    }
}

TEST(OpsSteps, CombineReadsTheOtherImageForEveryOperation) {
    const std::vector<std::pair<std::string, CombineOp>> ops = {
        {"and", CombineOp::And},
        {"or", CombineOp::Or},
        {"xor", CombineOp::Xor},
        {"add", CombineOp::Add},
        {"mix", CombineOp::Mix},
        {"sub", CombineOp::Subtract},
        {"subfrom", CombineOp::SubtractFrom},
        {"mul", CombineOp::Multiply},
    };
    Files files;
    const std::string otherPath = TempPath("other.bmp");
    const GrayBitmap other = testimages::MakeNoiseImage(37, 29, 4);
    ASSERT_TRUE(WriteBmpFile(other, otherPath));
    for (const auto& [name, op] : ops) {
        const auto result = RunCli({"apply", files.input, files.output, "combine=" + name + "," + otherPath});
        ASSERT_EQ(result.status, 0) << name << ": " << result.out;
        GrayBitmap expected = files.image;
        CombineWithOther(expected, other, op);
        EXPECT_TRUE(SamePixels(ReadBmpFile(files.output)->bitmap, expected)) << name;
    }
    std::remove(otherPath.c_str());
}

TEST(OpsSteps, CombineWithFalseColoursGoesOnOnlyWithYes) {
    Files files;
    const std::string otherPath = TempPath("coloured.bmp");
    GrayBitmap other = testimages::MakeNoiseImage(37, 29, 4);
    other.colours[3] = ColourEntry{0, 0, 255, 0};
    ASSERT_TRUE(WriteBmpFile(other, otherPath));
    const auto declined = RunCli({"apply", files.input, files.output, "combine=add," + otherPath});
    EXPECT_EQ(declined.status, 3);
    EXPECT_NE(declined.out.find("besteht nicht nur aus Graustufen"), std::string::npos) << declined.out;
    EXPECT_FALSE(Exists(files.output));
    const auto accepted = RunCli({"apply", "--yes", files.input, files.output, "combine=add," + otherPath});
    EXPECT_EQ(accepted.status, 0) << accepted.out;
    std::remove(otherPath.c_str());
}

// Refusals: the exit status, a message naming the step or the program's text, and no output file.
TEST(OpsSteps, RefusalsReportTheirStatusAndWriteNothing) {
    Files files;
    const std::string smaller = TempPath("smaller.bmp");
    ASSERT_TRUE(WriteBmpFile(testimages::MakeNoiseImage(36, 29, 1), smaller));
    const std::string broken = TempPath("broken.bmp");
    std::FILE* f = std::fopen(broken.c_str(), "wb");
    std::fputs("BM not really", f);
    std::fclose(f);
    struct Case {
        std::string step;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"rank=39,3,5", 5, "\"rank\""},
        {"rank=3,31,5", 5, "größer als das Bild"},
        {"rank=1,1,1", 5, "\"rank\""},
        {"rank=3,3,10", 5, "\"rank\""},
        {"rank=4,3,1", 5, "\"rank\""},
        {"rank=3,3", 2, "\"rank\""},
        {"local-normalize=39,3,30,20", 5, "\"local-normalize\""},
        {"local-normalize=2,3,30,20", 5, "\"local-normalize\""},
        {"local-normalize=3,3,x,20", 2, "\"local-normalize\""},
        {"shift-origin=38,0", 5, "\"shift-origin\""},
        {"shift-origin=-1,0", 5, "\"shift-origin\""},
        {"and=256", 2, "\"and\""},
        {"xor=-1", 2, "\"xor\""},
        {"or=", 2, "\"or\""},
        {"combine=div," + smaller, 2, "\"combine\""},
        {"combine=add", 2, "\"combine\""},
        {"combine=add," + smaller, 3, "unterschiedliche Größen"},
        {"combine=add," + broken, 3, "Fehler beim Lesen der DIB-Datei"},
        {"combine=add," + TempPath("missing.bmp"), 3, "Fehler beim Lesen der DIB-Datei"},
        {"not=1", 2, "not=1"},
    };
    for (const Case& c : cases) {
        const auto result = RunCli({"apply", files.input, files.output, "not", c.step});
        EXPECT_EQ(result.status, c.status) << c.step << ": " << result.out;
        EXPECT_NE(result.out.find(c.message), std::string::npos) << c.step << ": " << result.out;
        EXPECT_FALSE(Exists(files.output)) << c.step;
    }
    Files tiny(2, 9);
    const auto gradient = RunCli({"apply", tiny.input, tiny.output, "gradient"});
    EXPECT_EQ(gradient.status, 5);
    EXPECT_NE(gradient.out.find("\"gradient\""), std::string::npos) << gradient.out;
    std::remove(smaller.c_str());
    std::remove(broken.c_str());
}

TEST(OpsSteps, UniformImageNormalizesToItself) {
    const std::string input = TempPath("uniform.bmp");
    const std::string output = TempPath("uniform_out.bmp");
    GrayBitmap uniform = *CreateGrayBitmap(8, 8);
    std::fill(uniform.pixels.begin(), uniform.pixels.end(), 42);
    ASSERT_TRUE(WriteBmpFile(uniform, input));
    const auto result = RunCli({"apply", input, output, "normalize"});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(ReadBmpFile(output)->bitmap.At(3, 3), 42);
    std::remove(input.c_str());
    std::remove(output.c_str());
}

}  // namespace
}  // namespace tarkemo
