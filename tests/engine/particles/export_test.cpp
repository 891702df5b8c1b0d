// The three export files byte for byte, the failure bits, and the naming of the targets.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/bmp_file.h"
#include "particle_test_images.h"
#include "particles/count_run.h"
#include "particles/export.h"
#include "particles/export_targets.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

const std::string kHead =
    "x\ty\tFl\xE4"
    "che\tMax. GW\tMittl. GW\r\n";
const std::string kStripesHead =
    "x\ty\tMax. H\xF6he\tMax. Breite\tFl\xE4"
    "che\tMax. GW\tMittl. GW\r\n";

std::string ReportFor(const std::string& algorithm, size_t count) {
    return "Algorithmus:\t" + algorithm + "\r\nMinimaler Grauwert:\t50\r\n" +
           "Minimale Partikelfl\xE4"
           "che:\t1 Pixel\xB2\r\nMaximale Partikelfl\xE4"
           "che:\t10 Pixel\xB2\r\n" +
           "\r\nZahl der gefundenen Partikel:\t" + std::to_string(count) + "\r\n";
}

class ExportFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_export_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Base() const { return (dir_ / "run_c").string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    ExportRequest Request(const CountResult& result, CountMethod method) const {
        return ExportRequest{Base(), false, method, 50, 1, 10, &result.marked, result.particles};
    }

    fs::path dir_;
};

TEST_F(ExportFiles, SinglePixelMaximumWritesWholeNumbersWithoutPoints) {
    GrayBitmap image = testing::Uniform(20, 10, 10);
    image.At(12, 7) = 200;
    const CountResult result = *CountAndMarkParticles(image, CountMethod::Maxima, ParticleParams{});
    ASSERT_EQ(ExportParticles(Request(result, CountMethod::Maxima)), 0u);
    EXPECT_EQ(Read(Base() + ".dat"), kHead + "12\t7\t1\t200\t200\r\n");
    EXPECT_EQ(Read(Base() + ".txt"), ReportFor("Maxima suchen", 1));
    const auto saved = ReadBmpFile(Base() + ".bmp");
    ASSERT_TRUE(saved);
    EXPECT_TRUE(
        std::equal(saved->bitmap.pixels.begin(), saved->bitmap.pixels.end(), result.marked.pixels.begin()));
    EXPECT_EQ(saved->bitmap.colours[255], (ColourEntry{0, 0, 255, 0}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"run_c.bmp", "run_c.dat", "run_c.txt"}));
}

TEST_F(ExportFiles, NoParticlesGiveTheHeaderAndACountOfZero) {
    const GrayBitmap image = testing::Uniform(4, 4, 10);
    const CountResult result = *CountAndMarkParticles(image, CountMethod::Binarise, ParticleParams{});
    ASSERT_EQ(ExportParticles(Request(result, CountMethod::Binarise)), 0u);
    EXPECT_EQ(Read(Base() + ".dat"), kHead);
    EXPECT_EQ(Read(Base() + ".txt"), ReportFor("Binarisation.", 0));
}

TEST_F(ExportFiles, StripesAddTheirExtentsAndNameTheirAlgorithm) {
    GrayBitmap image = testing::Uniform(50, 8, 0);
    for (int32_t c = 3; c < 43; ++c) image.At(c, 5) = 100;
    const CountResult result =
        *CountAndMarkParticles(image, CountMethod::Stripes, ParticleParams{50, 1, 100});
    ASSERT_EQ(ExportParticles(Request(result, CountMethod::Stripes)), 0u);
    EXPECT_EQ(Read(Base() + ".dat"), kStripesHead + "22.5\t5\t1\t40\t40\t100\t100\r\n");
    EXPECT_EQ(Read(Base() + ".txt"), ReportFor("Streifen z\xE4hlen (mit Binarisation).", 1));
}

TEST(ExportTableText, ListsFromTheLastRecordToTheFirstInEitherFormat) {
    const std::vector<Particle> ps = {Particle{12, 2.25, 0, 0, 0, 0, 90, 80.5, 4},
                                      Particle{3.5, 0.05, 0, 0, 0, 0, 7, 7, 1}};
    EXPECT_EQ(ExportTableText(CountMethod::Maxima, false, ps),
              kHead + "3.5\t5e-002\t1\t7\t7\r\n12\t2.25\t4\t90\t80.5\r\n");
    EXPECT_EQ(ExportTableText(CountMethod::Binarise, true, ps),
              kHead + "3,5\t5e-002\t1\t7\t7\r\n12\t2,25\t4\t90\t80,5\r\n");
}

TEST_F(ExportFiles, FailureBitsFollowTheOrderOfWriting) {
    const GrayBitmap image = testing::Uniform(4, 4, 10);
    const CountResult result = *CountAndMarkParticles(image, CountMethod::Binarise, ParticleParams{});
    struct Case {
        const char* blocked;  // extension whose target is made a folder
        unsigned bits;
        std::vector<std::string> files;
    };
    const Case cases[] = {{".bmp", kExportBmpFailed, {"run_c.bmp", "run_c.dat", "run_c.txt"}},
                          {".dat", kExportDatFailed, {"run_c.bmp", "run_c.dat"}},
                          {".txt", kExportTxtFailed, {"run_c.bmp", "run_c.dat", "run_c.txt"}}};
    for (const Case& test : cases) {
        for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
        fs::create_directory(Base() + test.blocked);
        EXPECT_EQ(ExportParticles(Request(result, CountMethod::Binarise)), test.bits) << test.blocked;
        EXPECT_EQ(Names(), test.files) << test.blocked;  // no temporary file is left behind
    }
    ExportRequest missing = Request(result, CountMethod::Binarise);
    missing.basePath = (dir_ / "no such folder" / "x").string();
    EXPECT_EQ(ExportParticles(missing), kExportBmpFailed | kExportDatFailed);
}

TEST_F(ExportFiles, AllOrNothingKeepsThePreviousFilesWhenOneFails) {
    const GrayBitmap image = testing::Uniform(4, 4, 10);
    const CountResult result = *CountAndMarkParticles(image, CountMethod::Maxima, ParticleParams{});
    std::ofstream(Base() + ".bmp") << "old";
    fs::create_directory(Base() + ".txt");
    EXPECT_EQ(ExportParticlesAllOrNothing(Request(result, CountMethod::Maxima)), kExportTxtFailed);
    EXPECT_EQ(Read(Base() + ".bmp"), "old");
    EXPECT_EQ(Names(), (std::vector<std::string>{"run_c.bmp", "run_c.txt"}));
    fs::remove(Base() + ".txt");
    EXPECT_EQ(ExportParticlesAllOrNothing(Request(result, CountMethod::Maxima)), 0u);
    EXPECT_EQ(Read(Base() + ".txt"), ReportFor("Maxima suchen", 0));
    EXPECT_EQ(Read(Base() + ".bmp"), [&] {
        const auto bytes = *EncodeBmp(result.marked);
        return std::string(bytes.begin(), bytes.end());
    }());
}

TEST(ExportTargets, CutAtTheExtensionOfTheFileNameOnly) {
    const std::pair<const char*, const char*> cases[] = {{"/data/probe.bmp", "/data/probe_c"},
                                                         {"probe.x.bmp", "probe.x_c"},
                                                         {"/data/run.1/probe", "/data/run.1/probe_c"},
                                                         {".hidden", ".hidden_c"},
                                                         {"a.", "a_c"},
                                                         {"", "_c"}};
    for (auto [path, proposed] : cases) EXPECT_EQ(ProposedExportBase(path), proposed) << path;
}

TEST_F(ExportFiles, OverwriteQuestionListsOnlyTheExistingFiles) {
    std::ofstream(Base() + ".txt") << "x";
    const auto existing = ExistingExportFiles(Base());
    ASSERT_EQ(existing, std::vector<std::string>{Base() + ".txt"});
    EXPECT_EQ(OverwriteQuestionText(existing),
              "Achtung: Es werden mehrere Dateien (mit jeweils verschiedenen Dateiendungen) exportiert.\n"
              "Allerdings existieren die folgenden Dateien bereits:\n\n     " +
                  Base() + ".txt\n\nSollen diese Dateien wirklich überschrieben werden?");
    std::ofstream(Base() + ".dat") << "x";
    std::ofstream(Base() + ".bmp") << "x";
    EXPECT_EQ(ExistingExportFiles(Base()),
              (std::vector<std::string>{Base() + ".bmp", Base() + ".txt", Base() + ".dat"}));
}

}  // namespace
}  // namespace tarkemo
