#include "image/palette_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

const std::string kRgbHeader = "Tarkemo - RGB-Palette:\r\n";
const std::string kGrayHeader = "Tarkemo - Palette:\r\n";

// 256 entry lines; entry i is (i, 255 - i, i / 2) unless `line` replaces it.
std::string RgbBody(const std::string& separator = "\t", int count = 256) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::to_string(i) + separator + std::to_string(255 - i) + separator + std::to_string(i / 2) +
                "\r\n";
    }
    return text;
}

std::string GrayBody(int count = 256) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(255 - i) + "\r\n";
    return text;
}

ColourEntry Rgb(int red, int green, int blue) {
    return ColourEntry{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 0};
}

class TempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_palette_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
};

TEST(RgbPaletteTest, ReadsEntriesWithAnySeparator) {
    for (const std::string separator : {"\t", " ", "   ", " \t ", ",", ";", ", ", "\t;\t"}) {
        const auto table = DecodeRgbPalette(kRgbHeader + RgbBody(separator));
        ASSERT_TRUE(table) << "separator [" << separator << "]";
        EXPECT_EQ((*table)[0], Rgb(0, 255, 0));
        EXPECT_EQ((*table)[201], Rgb(201, 54, 100));
        EXPECT_EQ((*table)[255], Rgb(255, 0, 127));
    }
}

TEST(RgbPaletteTest, EntryLineDetails) {
    struct Case {
        const char* line;
        ColourEntry expected;
    };
    const Case cases[] = {
        {"10 20 30", Rgb(10, 20, 30)},
        {"  \t10 20 30", Rgb(10, 20, 30)},  // leading blanks of a line are skipped
        {"10 20 30 and more", Rgb(10, 20, 30)},
        {"10 x 30", Rgb(10, 0, 0)},  // no digits count as 0; reading stays at the "x"
        {"+10 +20 +30", Rgb(10, 20, 30)},
        {"-0 007 255", Rgb(0, 7, 255)},
        {"10 20 30\r", Rgb(10, 20, 30)},
    };
    for (const Case& c : cases) {
        const std::string text = kRgbHeader + c.line + "\r\n" + RgbBody("\t", 255);
        const auto table = DecodeRgbPalette(text);
        ASSERT_TRUE(table) << c.line;
        EXPECT_EQ((*table)[0], c.expected) << c.line;
        EXPECT_EQ((*table)[1], Rgb(0, 255, 0)) << c.line;
    }
}

TEST(RgbPaletteTest, BlankLinesAndLfOnlyLineEndsAreAccepted) {
    std::string body = RgbBody();
    std::string lfOnly;
    for (char c : body) {
        if (c != '\r') lfOnly += c;
    }
    EXPECT_TRUE(DecodeRgbPalette("Tarkemo - RGB-Palette:\n" + lfOnly));
    const auto table =
        DecodeRgbPalette(kRgbHeader + "\r\n\r\n" + "1 2 3\r\n \t \r\n\r\n" + RgbBody("\t", 255));
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[0], Rgb(1, 2, 3));
    EXPECT_EQ((*table)[1], Rgb(0, 255, 0));
}

TEST(RgbPaletteTest, IdentificationLineMayCarryMore) {
    EXPECT_TRUE(DecodeRgbPalette("Tarkemo - RGB-Palette: sunset 1 2 3\r\n" + RgbBody()));
}

TEST(RgbPaletteTest, ExtraEntriesAreIgnored) {
    const auto table = DecodeRgbPalette(kRgbHeader + RgbBody() + "999 999 999\r\n" + RgbBody("\t", 44));
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[255], Rgb(255, 0, 127));
}

TEST(RgbPaletteTest, Refusals) {
    const std::string cases[] = {
        "",
        RgbBody(),
        "tarkemo - RGB-Palette:\r\n" + RgbBody(),
        "Tarkemo - RGB-Palette\r\n" + RgbBody(),
        kRgbHeader,
        kRgbHeader + "\r\n\r\n",
        kRgbHeader + RgbBody("\t", 255),
        kRgbHeader + "256 0 0\r\n" + RgbBody("\t", 255),
        kRgbHeader + "0 -1 0\r\n" + RgbBody("\t", 255),
        kRgbHeader + RgbBody("\t", 255) + "0 0 1000000000000000000000000",
        kRgbHeader + RgbBody("\t", 255) + "1 2",
        kRgbHeader + RgbBody("\t", 255) + "1 2 \t",
        kRgbHeader + RgbBody("\t", 100) + std::string(1, '\0') + RgbBody("\t", 156),
    };
    for (const std::string& text : cases) {
        EXPECT_FALSE(DecodeRgbPalette(text)) << text.substr(0, 60);
    }
}

TEST(RgbPaletteTest, EncodeWritesTheExactLayout) {
    const std::string text = EncodeRgbPalette(GrayRampTable());
    EXPECT_TRUE(text.starts_with("Tarkemo - RGB-Palette:\r\n0\t0\t0\r\n1\t1\t1\r\n"));
    EXPECT_TRUE(text.ends_with("255\t255\t255\r\n"));
    ColourTable table = GrayRampTable();
    table[3] = Rgb(200, 10, 0);
    EXPECT_NE(EncodeRgbPalette(table).find("\r\n200\t10\t0\r\n"), std::string::npos);
}

TEST(GrayPaletteTest, ReadsLevels) {
    const auto levels = DecodeGrayPalette(kGrayHeader + GrayBody());
    ASSERT_TRUE(levels);
    for (int i = 0; i < 256; ++i) EXPECT_EQ((*levels)[i], 255 - i);
}

TEST(GrayPaletteTest, LineDetails) {
    struct Case {
        std::string lines;  // replaces the first level line
        int first;
    };
    const Case cases[] = {
        {"abc\r\n", 0},          {"  17 trailing\r\n", 17},
        {"17\r\n\r\n\r\n", 17},   // blank lines between levels are passed over
        {"\r\n\r\n17\r\n", 17},   // also before the first level
        {"17\r\n  \t \r\n", 17},  // so are lines of nothing but blanks
        {"+17\n", 17},
    };
    for (const Case& c : cases) {
        const auto levels =
            DecodeGrayPalette(kGrayHeader + c.lines + GrayBody().substr(5));  // drop "255\r\n"
        ASSERT_TRUE(levels) << c.lines;
        EXPECT_EQ((*levels)[0], c.first) << c.lines;
        EXPECT_EQ((*levels)[1], 254) << c.lines;
        EXPECT_EQ((*levels)[255], 0) << c.lines;
    }
}

TEST(GrayPaletteTest, Refusals) {
    const std::string cases[] = {
        "",
        GrayBody(),
        "Tarkemo - Palette:\n" + GrayBody(),
        "Tarkemo - palette:\r\n" + GrayBody(),
        kGrayHeader,
        kGrayHeader + GrayBody(255),
        kGrayHeader + GrayBody(255) + "  \r\n",
        kGrayHeader + "256\r\n" + GrayBody(255),
        kGrayHeader + "-1\r\n" + GrayBody(255),
        kGrayHeader + GrayBody(10) + std::string(1, '\0') + GrayBody(246),
    };
    for (const std::string& text : cases) {
        EXPECT_FALSE(DecodeGrayPalette(text)) << text.substr(0, 40);
    }
}

TEST(GrayPaletteTest, EncodeWritesTheExactLayout) {
    GrayLevels levels{};
    for (int i = 0; i < 256; ++i) levels[i] = static_cast<uint8_t>(i);
    const std::string text = EncodeGrayPalette(levels);
    EXPECT_TRUE(text.starts_with("Tarkemo - Palette:\r\n0\r\n1\r\n2\r\n"));
    EXPECT_TRUE(text.ends_with("\r\n255\r\n"));
    EXPECT_EQ(DecodeGrayPalette(text), levels);
}

using PaletteFileTest = TempDir;

TEST_F(PaletteFileTest, RgbRoundTripThroughAFile) {
    GrayBitmap image = *CreateGrayBitmap(2, 2);
    for (int i = 0; i < 256; ++i) image.colours[i] = Rgb((i * 7) & 255, 255 - i, (i * 13) & 255);
    const std::string path = Path("round.rgb");
    ASSERT_TRUE(WriteRgbPaletteFile(image, path));
    ColourTable table{};
    ASSERT_TRUE(ReadRgbPaletteFile(path, table));
    EXPECT_EQ(table, image.colours);
    EXPECT_EQ(Slurp(path), EncodeRgbPalette(image.colours));
}

TEST_F(PaletteFileTest, GrayRoundTripThroughAFile) {
    GrayLevels levels{};
    for (int i = 0; i < 256; ++i) levels[i] = static_cast<uint8_t>((i * 37) & 255);
    const std::string path = Path("round.pal");
    ASSERT_TRUE(WriteGrayPaletteFile(path, levels));
    GrayLevels read{};
    ASSERT_TRUE(ReadGrayPaletteFile(path, read));
    EXPECT_EQ(read, levels);
}

TEST_F(PaletteFileTest, FailedReadsLeaveTheTargetAndGiveTheMessages) {
    ColourTable table = GrayRampTable();
    GrayLevels levels{};
    levels[5] = 9;
    const PaletteFileResult missingRgb = ReadRgbPaletteFile(Path("none.rgb"), table);
    EXPECT_FALSE(missingRgb);
    EXPECT_EQ(missingRgb.message, "RGB-Palette einladen fehlgeschlagen! Falsches Dateiformat?");
    EXPECT_EQ(missingRgb.caption, "Fehler beim Einladen der RGB-Palette");
    const PaletteFileResult dirGray = ReadGrayPaletteFile(dir_.string(), levels);
    EXPECT_FALSE(dirGray);
    EXPECT_EQ(dirGray.message, "Beim Laden ist ein Fehler aufgetreten! Falsches Dateiformat?");
    EXPECT_EQ(dirGray.caption, "Tarkemo - Palette laden");

    std::ofstream(Path("short.rgb"), std::ios::binary) << kRgbHeader << "1 2 3\r\n";
    EXPECT_FALSE(ReadRgbPaletteFile(Path("short.rgb"), table));
    EXPECT_TRUE(IsIdentityGrayRamp(table));
    EXPECT_EQ(levels[5], 9);
}

TEST_F(PaletteFileTest, FailedWritesKeepTheOldFileAndGiveTheMessages) {
    const GrayBitmap image = *CreateGrayBitmap(1, 1);
    const PaletteFileResult rgb = WriteRgbPaletteFile(image, Path("missing/dir/out.rgb"));
    EXPECT_FALSE(rgb);
    EXPECT_EQ(rgb.message, "Exportieren der RGB-Palette fehlgeschlagen! Falsches Dateiformat?");
    EXPECT_EQ(rgb.caption, "Fehler beim Exportieren der RGB-Palette");
    const PaletteFileResult gray = WriteGrayPaletteFile(dir_.string(), GrayLevels{});
    EXPECT_FALSE(gray);
    EXPECT_EQ(gray.message,
              "Beim Speichern ist ein Fehler aufgetreten! Versuchen Sie einen anderen Dateinamen oder ein "
              "anderes Verzeichnis!");
    EXPECT_EQ(gray.caption, "Tarkemo - Palette speichern");
    EXPECT_TRUE(fs::is_directory(dir_));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 0);
}

TEST_F(PaletteFileTest, ReplacesAnExistingFile) {
    const std::string path = Path("old.rgb");
    std::ofstream(path, std::ios::binary) << "something else entirely";
    const GrayBitmap image = *CreateGrayBitmap(1, 1);
    ASSERT_TRUE(WriteRgbPaletteFile(image, path));
    EXPECT_EQ(Slurp(path), EncodeRgbPalette(GrayRampTable()));
}

TEST(PaletteFileCorpusTest, EveryBrokenFileIsRefused) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(TARKEMO_TEST_DATA) / "palette" / "broken")) {
        const std::string path = entry.path().string();
        ++count;
        if (entry.path().extension() == ".rgb") {
            ColourTable table = GrayRampTable();
            const PaletteFileResult result = ReadRgbPaletteFile(path, table);
            EXPECT_FALSE(result) << path;
            EXPECT_EQ(result.message, kRgbPaletteReadFailed.message) << path;
            EXPECT_TRUE(IsIdentityGrayRamp(table)) << path;
        } else {
            GrayLevels levels{};
            const PaletteFileResult result = ReadGrayPaletteFile(path, levels);
            EXPECT_FALSE(result) << path;
            EXPECT_EQ(result.message, kGrayPaletteReadFailed.message) << path;
        }
    }
    EXPECT_GE(count, 20);
}

}  // namespace
}  // namespace tarkemo
