// tarkemo-cli spectrum: exit statuses with their messages, nothing written on failure, a
// low-pass run against a double-precision transform written out here, and the .fft and view outputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli_run.h"
#include "generator/particle_image.h"
#include "image/bmp_file.h"
#include "spectrum/frequency_file.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;
using Complex = std::complex<double>;
using Grid = std::vector<Complex>;  // W x H, index y * W + x

// The two-dimensional DFT in double precision, straight from the definition (small grids only):
// sign +1 forward with 1/(W·H), sign -1 inverse unscaled.
Grid Dft(const Grid& in, int w, int h, int sign) {
    Grid rows(in.size()), out(in.size());
    const double pi = std::acos(-1.0);
    for (int y = 0; y < h; ++y) {
        for (int k = 0; k < w; ++k) {
            for (int x = 0; x < w; ++x)
                rows[y * w + k] += in[y * w + x] * std::polar(1.0, -sign * 2 * pi * k * x / w);
        }
    }
    for (int x = 0; x < w; ++x) {
        for (int k = 0; k < h; ++k) {
            for (int y = 0; y < h; ++y)
                out[k * w + x] += rows[y * w + x] * std::polar(1.0, -sign * 2 * pi * k * y / h);
        }
    }
    if (sign > 0) {
        for (Complex& c : out) c /= static_cast<double>(w) * h;
    }
    return out;
}

// Element (x, y) and ((x + W/2) mod W, (y + H/2) mod H) exchanged.
Grid Shift(const Grid& in, int w, int h) {
    Grid out(in.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) out[((y + h / 2) % h) * w + (x + w / 2) % w] = in[y * w + x];
    }
    return out;
}

class CliSpectrumTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_cli_spectrum_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        image_ = testimages::MakeParticleImage({.width = 12, .height = 10, .spotCount = 4, .seed = 3});
        image_.colours[7] = ColourEntry{1, 2, 3, 0};
        image_.xPelsPerMeter = 2000;
        input_ = Path("in.bmp");
        ASSERT_TRUE(WriteBmpFile(image_, input_));
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    size_t FileCount() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    // The image padded into the automatic 32 x 16 grid, as complex values.
    Grid Padded() const {
        Grid grid(32 * 16);
        for (int y = 0; y < image_.height; ++y) {
            for (int x = 0; x < image_.width; ++x) grid[y * 32 + x] = image_.At(x, y);
        }
        return grid;
    }
    static GrayBitmap Read(const std::string& path) { return ReadBmpFile(path).value().bitmap; }

    fs::path dir_;
    GrayBitmap image_;
    std::string input_;
};

TEST_F(CliSpectrumTest, FailuresGiveTheirStatusAndMessageAndWriteNothing) {
    GrayBitmap small = CreateGrayBitmap(16, 8).value();
    const std::string smallBmp = Path("small.bmp");
    ASSERT_TRUE(WriteBmpFile(small, smallBmp));
    std::vector<float> ones(16 * 8, 1.0f);
    const std::string wrongSize = Path("wrong_size.fft");
    ASSERT_TRUE(WriteFrequencyFile(wrongSize, ones.data(), ones.data(), 16, 8));
    const std::string notFft = smallBmp;
    const struct {
        std::vector<std::string> options, steps;
        int status;
        std::string message;
    } cases[] = {
        {{"--bogus"}, {}, 2, "Unbekannte Option"},
        {{"--size", "100,64,0"}, {}, 2, "--size"},
        {{"--size", "64,64,1,2"}, {}, 2, "--size"},
        {{"--size", "64,64,-1,0,0"}, {}, 2, "--size"},
        {{"--size", "4294967296,64,0"}, {}, 2, "--size"},
        {{"--size", "64,64,300"}, {}, 2, "--size"},
        {{"--power", "0"}, {}, 2, "--power"},
        {{"--power", "-1"}, {}, 2, "--power"},
        {{"--power", "1e-50"}, {}, 2, "--power"},  // 0 as a float
        {{"--power", "0.5", "--db"}, {}, 2, "--db"},
        {{"--scale=2", "--normalize"}, {}, 2, "--normalize"},
        {{"--add", "1x"}, {}, 2, "--add"},
        {{"--add", "inf"}, {}, 2, "--add"},
        {{"--scale", "1e39"}, {}, 2, "--scale"},  // not finite as a float
        {{"--from", "magnitude"}, {}, 2, "--from"},
        {{"--view-of", "image"}, {}, 2, "--view-of"},
        {{"--quantity", "abs2"}, {}, 2, "--quantity"},
        {{}, {"lowpass"}, 2, "lowpass"},
        {{}, {"multiply=1,a"}, 2, "multiply"},
        {{}, {"multiply=1"}, 2, "multiply"},
        {{}, {"mark=1,2,3"}, 2, "mark"},
        {{}, {"mark=0,0,1,5000000000"}, 2, "mark"},
        {{}, {"mark-centred=0,0,-1,0"}, 2, "mark-centred"},
        {{}, {"reset=1"}, 2, "reset"},
        {{}, {"mark=0,0,32,3", "gauss"}, 5, "mark=0,0,32,3"},
        {{}, {"mark=5,3,4,3"}, 5, "mark=5,3,4,3"},
        {{}, {"mark-centred=0,0,17,0"}, 5, "mark-centred=0,0,17,0"},
        {{}, {"reset", "mark=3,3,3,3", "highpass-rect", "reciprocal"}, 5, "Division durch Null!"},
        {{"--size", "8,16,0"}, {}, 5, "höher oder breiter"},
        {{"--size", "16,16,5,0,0"}, {}, 5, "Offsets sind zu groß"},
        {{"--size", "1073741824,16,0"}, {}, 5, "Nicht genügend Speicher vorhanden!"},
        {{}, {"load-filter=" + Path("missing.fft")}, 3, "Fehler beim Öffnen bzw. Laden der Datei!"},
        {{}, {"load-spectrum=" + notFft}, 3, "Ungültige Kennung in der Datei!"},
        {{}, {"load-filter=" + wrongSize}, 3, "Größe des Filters stimmt nicht"},
        {{}, {"import=" + Path("missing.bmp")}, 3, "Fehler beim Öffnen der Bitmap-Datei! Falsches Format?"},
        {{}, {"import-real=" + wrongSize}, 3, "Fehler beim Öffnen der Bitmap-Datei!"},
        {{}, {"import-imag=" + smallBmp}, 3, "Bitmap hat nicht die korrekte Größe!"},
    };
    const size_t filesBefore = FileCount();
    for (const auto& c : cases) {
        std::vector<std::string> args = {"spectrum", "--view", Path("view.bmp"), "--save-filter",
                                         Path("f.fft")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {input_, Path("out.bmp")});
        args.insert(args.end(), c.steps.begin(), c.steps.end());
        const auto result = RunCli(args);
        const std::string what = c.options.empty() ? c.steps.front() : c.options.front();
        EXPECT_EQ(result.status, c.status) << what << ": " << result.out;
        EXPECT_NE(result.out.find(c.message), std::string::npos) << what << ": " << result.out;
        EXPECT_EQ(FileCount(), filesBefore) << what << " wrote a file";
    }
    EXPECT_EQ(RunCli({"spectrum", Path("missing.bmp"), Path("out.bmp")}).status, 3);
    EXPECT_EQ(RunCli({"spectrum", input_}).status, 2);
    // An output that cannot be written: status 4, and the other outputs are not written either.
    const auto result =
        RunCli({"spectrum", "--view", Path("view.bmp"), input_, Path("no/such/folder/out.bmp"), "gauss"});
    EXPECT_EQ(result.status, 4) << result.out;
    EXPECT_EQ(FileCount(), filesBefore);
}

TEST_F(CliSpectrumTest, LowPassMatchesADoublePrecisionTransform) {
    const std::string out = Path("out.bmp");
    const auto result = RunCli({"spectrum", input_, out, "mark-centred=0,0,4,3", "lowpass-ellipse"});
    ASSERT_EQ(result.status, 0) << result.out;
    // Marking columns 12..20, rows 5..11: centre (16, 8), half-sizes 4.5 and 3.5.
    Grid spectrum = Shift(Dft(Padded(), 32, 16, +1), 32, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double e = (x - 16.0) * (x - 16.0) / (4.5 * 4.5) + (y - 8.0) * (y - 8.0) / (3.5 * 3.5);
            if (e >= 1.0) spectrum[y * 32 + x] = 0.0;
        }
    }
    const Grid filtered = Dft(Shift(spectrum, 32, 16), 32, 16, -1);
    const GrayBitmap output = Read(out);
    ASSERT_EQ(output.width, 12);
    int boundary = 0;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            const double v = filtered[y * 32 + x].real();
            const int expected = v < 0 ? 0 : v >= 256 ? 255 : static_cast<int>(v);
            if (output.At(x, y) == expected) continue;
            ++boundary;
            EXPECT_LT(std::fabs(v - std::round(v)), 2e-3) << x << "," << y << ": " << v;
            EXPECT_EQ(std::abs(output.At(x, y) - expected), 1);
        }
    }
    EXPECT_LE(boundary, 3);
    EXPECT_EQ(output.colours, image_.colours);
    EXPECT_EQ(output.xPelsPerMeter, 2000);
}

TEST_F(CliSpectrumTest, SavedFieldsAndViewShowTheEditorsFinalState) {
    const std::string spectrum = Path("s.fft"), filter = Path("f.fft"), filtered = Path("g.fft"),
                      view = Path("v.bmp");
    const auto result = RunCli({"spectrum", "--save-spectrum=" + spectrum, "--save-filter", filter,
                                "--save-filtered", filtered, "--view", view, "--view-of=filter",
                                "--quantity=phase", input_, Path("out.bmp"), "multiply=2,0"});
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(fs::file_size(filter), 13u + 8 + 8 * 32 * 16);
    std::vector<float> re(512), im(512), fre(512), fim(512), gre(512), gim(512);
    ASSERT_EQ(ReadFrequencyFile(filter, fre.data(), fim.data(), 32, 16), FrequencyFileResult::kOk);
    EXPECT_EQ(fre, std::vector<float>(512, 2.0f));
    EXPECT_EQ(fim, std::vector<float>(512, 0.0f));
    ASSERT_EQ(ReadFrequencyFile(spectrum, re.data(), im.data(), 32, 16), FrequencyFileResult::kOk);
    ASSERT_EQ(ReadFrequencyFile(filtered, gre.data(), gim.data(), 32, 16), FrequencyFileResult::kOk);
    const Grid expected = Shift(Dft(Padded(), 32, 16, +1), 32, 16);
    for (size_t i = 0; i < 512; ++i) {
        EXPECT_NEAR(re[i], expected[i].real(), 1e-4) << i;
        EXPECT_NEAR(im[i], expected[i].imag(), 1e-4) << i;
        EXPECT_EQ(gre[i], 2.0f * re[i]);
        EXPECT_EQ(gim[i], 2.0f * im[i]);
    }
    // Phase of a filter of 2 + 0i everywhere: π^0.1 times the float factor, 254 in every pixel.
    const GrayBitmap shown = Read(view);
    EXPECT_EQ(shown.width, 32);
    EXPECT_EQ(shown.height, 16);
    EXPECT_EQ(shown.colours, image_.colours);
    EXPECT_EQ(shown.xPelsPerMeter, 2000);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) ASSERT_EQ(shown.At(x, y), 254) << x << "," << y;
    }
}

TEST_F(CliSpectrumTest, LoadedSpectrumAndImportedFilterReplaceTheirFields) {
    const std::string spectrum = Path("s.fft");
    ASSERT_EQ(RunCli({"spectrum", "--save-spectrum", spectrum, input_, Path("plain.bmp")}).status, 0);
    // Another image of the same size with the first image's spectrum gives the first image back.
    GrayBitmap other = testimages::MakeNoiseImage(12, 10, 8);
    ASSERT_TRUE(WriteBmpFile(other, Path("other.bmp")));
    auto result = RunCli({"spectrum", Path("other.bmp"), Path("loaded.bmp"), "load-spectrum=" + spectrum});
    ASSERT_EQ(result.status, 0) << result.out;
    const GrayBitmap plain = Read(Path("plain.bmp")), loaded = Read(Path("loaded.bmp"));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_LE(std::abs(loaded.At(x, y) - image_.At(x, y)), 1);
            EXPECT_LE(image_.At(x, y) - plain.At(x, y), 1);
        }
    }
    // A white 32 x 16 bitmap imported as the filter is 1 + 0i everywhere: the plain result again.
    GrayBitmap white = CreateGrayBitmap(32, 16).value();
    for (auto& p : white.pixels) p = 255;
    ASSERT_TRUE(WriteBmpFile(white, Path("white.bmp")));
    result =
        RunCli({"spectrum", input_, Path("imported.bmp"), "multiply=0,3", "import=" + Path("white.bmp")});
    ASSERT_EQ(result.status, 0) << result.out;
    const GrayBitmap imported = Read(Path("imported.bmp"));
    EXPECT_TRUE(
        std::equal(imported.pixels.begin(), imported.pixels.end(), plain.pixels.begin(), plain.pixels.end()));
}

TEST_F(CliSpectrumTest, ManualSizeCentresTheImageAndTheInverseSettingsApply) {
    // Imaginary part of an unfiltered run is rounding noise: black, and stretched by --normalize.
    auto result =
        RunCli({"spectrum", "--size", "16,16,periodic", "--from", "imag", input_, Path("imag.bmp")});
    ASSERT_EQ(result.status, 0) << result.out;
    for (uint8_t p : Read(Path("imag.bmp")).pixels) EXPECT_EQ(p, 0);
    result = RunCli({"spectrum", "--size=16,16,0,6,mean", "--from=abs", "--add=-300", "--abs", "--scale",
                     "0.5", input_, Path("abs.bmp")});
    ASSERT_EQ(result.status, 0) << result.out;
    const GrayBitmap abs = Read(Path("abs.bmp"));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            const int expected = (300 - image_.At(x, y)) / 2;
            EXPECT_LE(std::abs(abs.At(x, y) - expected), 1) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace tarkemo
