#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli_run.h"
#include "image/bmp_file.h"
#include "image/palette_files.h"
#include "image/palettes.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;

class CliPaletteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_cli_palette_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        GrayBitmap image = *CreateGrayBitmap(3, 2);
        const uint8_t values[] = {0, 64, 128, 255, 10, 200};
        for (int i = 0; i < 6; ++i) image.At(i % 3, i / 3) = values[i];
        input_ = Path("in.bmp");
        ASSERT_TRUE(WriteBmpFile(image, input_));
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static GrayBitmap Read(const std::string& path) { return ReadBmpFile(path).value().bitmap; }
    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path dir_;
    std::string input_;
};

TEST_F(CliPaletteTest, BuiltInPalettesSetTheirTables) {
    struct Case {
        const char* name;
        ColourTable table;
    };
    ColourTable topRed = GrayRampTable();
    topRed[255] = ColourEntry{0, 0, 255, 0};
    const Case cases[] = {{"rainbow", RainbowTable()},      {"double-rainbow", DoubleRainbowTable()},
                          {"contour", ContourLinesTable()}, {"top-red", topRed},
                          {"gray", GrayRampTable()},        {"intensity", GrayRampTable()}};
    for (const Case& c : cases) {
        const std::string out = Path(std::string(c.name) + ".bmp");
        const auto result = RunCli({"apply", input_, out, std::string("palette=") + c.name});
        ASSERT_EQ(result.status, 0) << c.name << ": " << result.out;
        const GrayBitmap image = Read(out);
        EXPECT_EQ(image.colours, c.table) << c.name;
        EXPECT_EQ(image.At(1, 0), 64) << c.name;
    }
}

TEST_F(CliPaletteTest, IntensityAfterRainbowTurnsColoursIntoGrayValues) {
    const std::string out = Path("out.bmp");
    ASSERT_EQ(RunCli({"apply", input_, out, "palette=rainbow", "palette=intensity"}).status, 0);
    const GrayBitmap image = Read(out);
    EXPECT_EQ(image.At(0, 0), 0);
    EXPECT_EQ(image.At(1, 0), 85);  // rainbow entry 64 is pure blue
    EXPECT_EQ(image.At(0, 1), 86);  // entry 255 is (0, 3, 255): 258 / 3
    EXPECT_TRUE(IsIdentityGrayRamp(image.colours));
}

TEST_F(CliPaletteTest, UnknownPaletteNameIsBadUsage) {
    const auto result = RunCli({"apply", input_, Path("out.bmp"), "palette=sunset"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.out.find("sunset"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

TEST_F(CliPaletteTest, ExportThenLoadAnRgbPalette) {
    const std::string coloured = Path("coloured.bmp");
    ASSERT_EQ(RunCli({"apply", input_, coloured, "palette=double-rainbow"}).status, 0);
    const std::string rgb = Path("colours.rgb");
    const auto exported = RunCli({"palette", "export", coloured, rgb});
    ASSERT_EQ(exported.status, 0) << exported.out;
    ColourTable table{};
    ASSERT_TRUE(ReadRgbPaletteFile(rgb, table));
    EXPECT_EQ(table, DoubleRainbowTable());

    const std::string out = Path("out.bmp");
    ASSERT_EQ(RunCli({"apply", input_, out, "palette-file=" + rgb}).status, 0);
    EXPECT_EQ(Read(out).colours, DoubleRainbowTable());
    EXPECT_EQ(Read(out).At(2, 1), 200);
}

TEST_F(CliPaletteTest, GrayMapMapsPixelsAndSetsTheGrayRamp) {
    GrayLevels inverse{};
    for (int i = 0; i < 256; ++i) inverse[i] = static_cast<uint8_t>(255 - i);
    const std::string pal = Path("inverse.pal");
    ASSERT_TRUE(WriteGrayPaletteFile(pal, inverse));
    const std::string out = Path("out.bmp");
    ASSERT_EQ(RunCli({"apply", input_, out, "palette=rainbow", "gray-map=" + pal}).status, 0);
    const GrayBitmap image = Read(out);
    EXPECT_EQ(image.At(0, 0), 255);
    EXPECT_EQ(image.At(1, 0), 191);
    EXPECT_EQ(image.At(2, 1), 55);
    EXPECT_TRUE(IsIdentityGrayRamp(image.colours));
}

TEST_F(CliPaletteTest, MissingOrBrokenPaletteFilesAreRefusedAndNothingIsWritten) {
    WriteText(Path("broken.rgb"), "Tarkemo - RGB-Palette:\r\n1 2 3\r\n");
    WriteText(Path("broken.pal"), "Tarkemo - Palette:\r\n300\r\n");
    struct Case {
        std::string step;
        std::string message;
    };
    const Case cases[] = {
        {"palette-file=" + Path("none.rgb"), "existiert nicht"},
        {"gray-map=" + Path("none.pal"), "existiert nicht"},
        {"palette-file=" + Path("broken.rgb"), "RGB-Palette einladen fehlgeschlagen! Falsches Dateiformat?"},
        {"gray-map=" + Path("broken.pal"), "Beim Laden ist ein Fehler aufgetreten! Falsches Dateiformat?"},
        {"palette-file=" + dir_.string(), "RGB-Palette einladen fehlgeschlagen!"},
    };
    for (const Case& c : cases) {
        const auto result = RunCli({"apply", input_, Path("out.bmp"), c.step});
        EXPECT_EQ(result.status, 3) << c.step << ": " << result.out;
        EXPECT_NE(result.out.find(c.message), std::string::npos) << result.out;
        EXPECT_FALSE(fs::exists(Path("out.bmp"))) << c.step;
    }
    EXPECT_EQ(RunCli({"apply", input_, Path("out.bmp"), "palette-file="}).status, 2);
}

TEST_F(CliPaletteTest, ExportFailures) {
    EXPECT_EQ(RunCli({"palette", "export", input_}).status, 2);
    EXPECT_EQ(RunCli({"palette", "import", input_, Path("x.rgb")}).status, 2);
    const auto missing = RunCli({"palette", "export", Path("none.bmp"), Path("x.rgb")});
    EXPECT_EQ(missing.status, 3);
    const auto unwritable = RunCli({"palette", "export", input_, Path("no/such/dir/x.rgb")});
    EXPECT_EQ(unwritable.status, 4);
    EXPECT_NE(unwritable.out.find("Exportieren der RGB-Palette fehlgeschlagen!"), std::string::npos);
}

}  // namespace
}  // namespace tarkemo
