// tarkemo-cli count: the printed counts, the export files, the options, the failures, and that
// neither the output nor the files depend on the number of jobs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_run.h"
#include "generator/particle_image.h"
#include "image/bmp_file.h"
#include "particles/count_run.h"
#include "particles/export.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;

class CliCountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_cli_count_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Three single-pixel peaks (one at column 12, row 7), a 2 x 2 plateau and a stripe of 12.
        GrayBitmap image = *CreateGrayBitmap(30, 20);
        for (uint8_t& p : image.pixels) p = 10;
        image.At(12, 7) = 200;
        image.At(3, 3) = 90;
        image.At(25, 15) = 255;
        for (int32_t r : {10, 11})
            for (int32_t c : {20, 21}) image.At(c, r) = 120;
        for (int32_t c = 2; c < 14; ++c) image.At(c, 17) = 70;
        spots_ = Path("spots.bmp");
        ASSERT_TRUE(WriteBmpFile(image, spots_));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> Images(int count) const {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            testimages::ParticleImageSpec spec{.width = 97 + 13 * i,
                                               .height = 80 + 7 * i,
                                               .spotCount = 20 + i,
                                               .seed = static_cast<uint64_t>(i + 1)};
            paths.push_back(Path("image" + std::to_string(i) + ".bmp"));
            EXPECT_TRUE(WriteBmpFile(testimages::MakeParticleImage(spec), paths.back()));
        }
        return paths;
    }

    fs::path dir_;
    std::string spots_;
};

TEST_F(CliCountTest, PrintsOneLinePerImageForEachMethodAndOption) {
    struct Case {
        std::vector<std::string> options;
        std::string count;
    };
    const Case cases[] = {
        {{}, "4"},  // three peaks and the plateau; the stripe is too long
        {{"--method", "maxima", "--max-area", "100"}, "5"},
        {{"--method", "binarise"}, "4"},
        {{"--method=stripes", "--max-area=12"}, "5"},
        {{"--min-gray", "100"}, "3"},
        {{"--min-area", "2", "--max-area", "4"}, "1"},
        {{"--min-gray", "0", "--max-area", "1"}, "3"},  // the background plateau has brighter neighbours
        {{"--german", "--jobs", "3"}, "4"},
    };
    for (const Case& test : cases) {
        std::vector<std::string> args = {"count"};
        args.insert(args.end(), test.options.begin(), test.options.end());
        args.push_back(spots_);
        const auto result = RunCli(args);
        EXPECT_EQ(result.status, 0) << result.out;
        EXPECT_EQ(result.out, spots_ + "\t" + test.count + "\n") << args[1];
    }
}

TEST_F(CliCountTest, ExportWritesTheFilesOfTheProgramsExport) {
    const auto result = RunCli({"count", "--method", "stripes", "--german", "--export", Path("out"), spots_});
    ASSERT_EQ(result.status, 0) << result.out;
    const GrayBitmap image = ReadBmpFile(spots_)->bitmap;
    const ParticleParams params{};
    const CountResult expected = *CountAndMarkParticles(image, CountMethod::Stripes, params);
    ASSERT_EQ(ExportParticles({Path("expected"), true, CountMethod::Stripes, 50, 1, 10, &expected.marked,
                               expected.particles}),
              0u);
    for (const char* extension : {".bmp", ".dat", ".txt"}) {
        EXPECT_EQ(Read(Path("out") + extension), Read(Path("expected") + extension)) << extension;
    }
    EXPECT_NE(Read(Path("out.dat")).find("12\t7\t1\t1\t1\t200\t200\r\n"), std::string::npos);
}

TEST_F(CliCountTest, OutputAndFilesDoNotDependOnTheJobs) {
    std::vector<std::string> images = Images(9);
    images.insert(images.begin() + 4, Path("missing.bmp"));
    std::string outputs[2];
    const char* jobs[2] = {"1", "4"};
    for (int k = 0; k < 2; ++k) {
        const std::string folder = Path(std::string("jobs") + jobs[k]);
        fs::create_directory(folder);
        std::vector<std::string> args = {"count", "--method", "binarise", "--export-dir",
                                         folder,  "--jobs",   jobs[k]};
        args.insert(args.end(), images.begin(), images.end());
        const auto result = RunCli(args);
        EXPECT_EQ(result.status, 3) << result.out;
        outputs[k] = result.out;
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_NE(outputs[0].find(Path("missing.bmp") + ": Die Datei"), std::string::npos) << outputs[0];
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Path("jobs1"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(Read(entry.path().string()), Read(Path("jobs4/" + name))) << name;
        ++files;
    }
    EXPECT_EQ(files, 27u);
}

TEST_F(CliCountTest, RefusesBadUsage) {
    const std::string other = Path("other.bmp");
    fs::copy_file(spots_, other);
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--bogus", spots_},
        {"--min-gray"},
        {"--min-gray", "256", spots_},
        {"--min-gray", "-1", spots_},
        {"--min-gray", "5x", spots_},
        {"--max-area", "0", spots_},
        {"--min-area", "11", spots_},
        {"--method", "peaks", spots_},
        {"--jobs", "0", spots_},
        {"--export", Path("a"), spots_, other},
        {"--export", Path("a"), "--export-dir", Path(""), spots_},
        {"--export-dir", dir_.string(), spots_, Path("sub/spots.bmp")},
    };
    for (const auto& options : cases) {
        std::vector<std::string> args = {"count"};
        args.insert(args.end(), options.begin(), options.end());
        const auto result = RunCli(args);
        EXPECT_EQ(result.status, 2) << (options.empty() ? "" : options[0]) << ": " << result.out;
        EXPECT_FALSE(result.out.empty());
    }
}

TEST_F(CliCountTest, FailuresGiveTheirStatusAndWriteNothing) {
    const std::string broken = Path("broken.bmp");
    std::ofstream(broken) << "BM not really";
    auto result = RunCli({"count", broken, spots_});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.out, broken + ": " + kBmpReadErrorText + "\n" + spots_ + "\t4\n");

    result = RunCli({"count", "--export-dir", Path("nowhere"), spots_});
    EXPECT_EQ(result.status, 4) << result.out;

    fs::create_directory(Path("out.txt"));
    result = RunCli({"count", "--export", Path("out"), spots_});
    EXPECT_EQ(result.status, 4) << result.out;
    EXPECT_EQ(result.out, spots_ + ": Fehler beim Speichern der '.txt'-Datei!\n");
    EXPECT_FALSE(fs::exists(Path("out.bmp")));
    EXPECT_FALSE(fs::exists(Path("out.dat")));
}

// The unoptimised sanitizer build counts a fifth of them to stay quick; the release build all.
#ifdef __SANITIZE_ADDRESS__
constexpr int kLargeImages = 20;
#else
constexpr int kLargeImages = 100;
#endif

TEST_F(CliCountTest, AHundredLargeImagesInOneCommand) {
    testimages::ParticleImageSpec spec{.width = 1024, .height = 1024, .spotCount = 1500};
    const std::string first = Path("big.bmp");
    ASSERT_TRUE(WriteBmpFile(testimages::MakeParticleImage(spec), first));
    const std::string single = RunCli({"count", first}).out;
    std::vector<std::string> args = {"count"};
    std::string expected;
    for (int i = 0; i < kLargeImages; ++i) {
        const std::string link = Path("big" + std::to_string(i) + ".bmp");
        fs::create_hard_link(first, link);
        args.push_back(link);
        expected += link + single.substr(first.size());
    }
    const auto result = RunCli(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, expected);
}

}  // namespace
}  // namespace tarkemo
