// .FFT files: the exact layout, bit-for-bit round trips of any float, the result codes on a
// corpus of broken files, and writes that never leave a partial file.
#include "spectrum/frequency_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace tarkemo {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Append(Bytes& bytes, const void* data, size_t size) {
    const size_t at = bytes.size();
    bytes.resize(at + size);
    if (size > 0) std::memcpy(bytes.data() + at, data, size);
}

// A file as the format describes it, with `count` floats per part (independent of the sizes).
Bytes MakeFile(std::string_view id, int32_t width, int32_t height, size_t count, float re = 1.5f,
               float im = -2.0f) {
    Bytes bytes;
    Append(bytes, id.data(), id.size());
    Append(bytes, &width, 4);
    Append(bytes, &height, 4);
    for (size_t i = 0; i < count; ++i) Append(bytes, &re, 4);
    for (size_t i = 0; i < count; ++i) Append(bytes, &im, 4);
    return bytes;
}

Bytes Prefix(const Bytes& bytes, size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

class FrequencyFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tarkemo-fft-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return Path(name);
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path folder_;
};

TEST_F(FrequencyFileTest, WritesTheLayoutAndReadsEveryBitPatternBack) {
    const int32_t w = 4, h = 2;
    std::vector<float> re(8, 1.0f), im(8, 0.0f);
    re[1] = std::numeric_limits<float>::quiet_NaN();
    re[2] = std::bit_cast<float>(0x7fa00001u);  // a signalling NaN with a payload
    re[3] = -std::numeric_limits<float>::infinity();
    im[4] = std::numeric_limits<float>::denorm_min();
    im[5] = -0.0f;
    const std::string path = Path("field.fft");
    ASSERT_TRUE(WriteFrequencyFile(path, re.data(), im.data(), w, h));
    const Bytes file = Read(path);
    ASSERT_EQ(file.size(), kFrequencyFileId.size() + 8 + 8 * 8);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 13), "Tarkemo - FFT");
    EXPECT_EQ((Bytes{file.begin() + 13, file.begin() + 21}), (Bytes{4, 0, 0, 0, 2, 0, 0, 0}));

    std::vector<float> re2(8, 9.0f), im2(8, 9.0f);
    ASSERT_EQ(ReadFrequencyFile(path, re2.data(), im2.data(), w, h), FrequencyFileResult::kOk);
    EXPECT_EQ(std::memcmp(re.data(), re2.data(), 32), 0);
    EXPECT_EQ(std::memcmp(im.data(), im2.data(), 32), 0);
}

TEST_F(FrequencyFileTest, BrokenFilesGiveTheirResultCodes) {
    const int32_t w = 4, h = 2;
    Bytes wrongId = MakeFile("Tarkemo - FFT", w, h, 8);
    wrongId[12] = 'X';
    Bytes cutInImaginary = MakeFile("Tarkemo - FFT", w, h, 8);
    cutInImaginary.resize(cutInImaginary.size() - 3);
    const Bytes header = MakeFile("Tarkemo - FFT", w, h, 0);
    Bytes trailing = MakeFile("Tarkemo - FFT", w, h, 8);
    for (uint8_t extra : {1, 2, 3}) trailing.push_back(extra);
    const struct {
        const char* name;
        Bytes bytes;
        FrequencyFileResult result;
    } cases[] = {
        {"empty.fft", {}, FrequencyFileResult::kCannotRead},
        {"short_identification.fft", Bytes{'T', 'a', 'r'}, FrequencyFileResult::kCannotRead},
        {"other_format.fft", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         FrequencyFileResult::kWrongIdentification},
        {"wrong_identification.fft", wrongId, FrequencyFileResult::kWrongIdentification},
        {"identification_only.fft", Prefix(header, 13), FrequencyFileResult::kCannotRead},
        {"missing_height.fft", Prefix(header, 19), FrequencyFileResult::kCannotRead},
        {"other_width.fft", MakeFile("Tarkemo - FFT", 8, h, 16), FrequencyFileResult::kWrongSize},
        {"swapped_sizes.fft", MakeFile("Tarkemo - FFT", h, w, 8), FrequencyFileResult::kWrongSize},
        {"negative_size.fft", MakeFile("Tarkemo - FFT", -4, -2, 0), FrequencyFileResult::kWrongSize},
        {"huge_size.fft", MakeFile("Tarkemo - FFT", 2147483647, 2147483647, 0),
         FrequencyFileResult::kWrongSize},
        {"no_data.fft", MakeFile("Tarkemo - FFT", w, h, 0), FrequencyFileResult::kTruncatedData},
        {"cut_in_imaginary.fft", cutInImaginary, FrequencyFileResult::kTruncatedData},
        {"trailing_bytes.fft", trailing, FrequencyFileResult::kOk},
    };
    for (const auto& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        std::vector<float> re(8, 7.0f), im(8, 7.0f);
        EXPECT_EQ(ReadFrequencyFile(path, re.data(), im.data(), w, h), c.result) << c.name;
        if (c.result != FrequencyFileResult::kOk && c.result != FrequencyFileResult::kTruncatedData) {
            EXPECT_EQ(re, std::vector<float>(8, 7.0f)) << c.name << ": arrays must stay untouched";
        }
    }
    std::vector<float> re(8), im(8);
    EXPECT_EQ(ReadFrequencyFile(Path("missing.fft"), re.data(), im.data(), w, h),
              FrequencyFileResult::kCannotRead);
    EXPECT_EQ(ReadFrequencyFile(folder_.string(), re.data(), im.data(), w, h),
              FrequencyFileResult::kCannotRead);
}

TEST_F(FrequencyFileTest, FileOfOtherSpectrumSizeGivesCode3) {
    std::vector<float> re(1024 * 1024, 1.0f), im(1024 * 1024, 0.0f);
    const std::string path = Path("big.fft");
    ASSERT_TRUE(WriteFrequencyFile(path, re.data(), im.data(), 1024, 1024));
    EXPECT_EQ(ReadFrequencyFile(path, re.data(), im.data(), 2048, 1024), FrequencyFileResult::kWrongSize);
}

TEST_F(FrequencyFileTest, MessagesForEachCode) {
    EXPECT_STREQ(FrequencyLoadMessage(FrequencyFileResult::kCannotRead),
                 "Fehler beim Öffnen bzw. Laden der Datei!");
    EXPECT_STREQ(FrequencyLoadMessage(FrequencyFileResult::kTruncatedData),
                 "Fehler beim Öffnen bzw. Laden der Datei!");
    EXPECT_STREQ(FrequencyLoadMessage(FrequencyFileResult::kWrongIdentification),
                 "Ungültige Kennung in der Datei! Falsches Dateiformat?");
    EXPECT_STREQ(FrequencyLoadMessage(FrequencyFileResult::kWrongSize),
                 "Größe des Filters stimmt nicht mit dem der Datei überein!");
}

TEST_F(FrequencyFileTest, FailedWriteLeavesNoFileAndKeepsTheOldOne) {
    std::vector<float> re(4, 1.0f), im(4, 0.0f);
    EXPECT_FALSE(WriteFrequencyFile(Path("no/such/folder/f.fft"), re.data(), im.data(), 2, 2));
    const std::string old = Write("old.fft", Bytes{1, 2, 3});
    EXPECT_FALSE(WriteFrequencyFile(old, re.data(), im.data(), 0, 2));
    EXPECT_EQ(Read(old), (Bytes{1, 2, 3}));
    EXPECT_FALSE(WriteFrequencyFile(folder_.string(), re.data(), im.data(), 2, 2));  // a folder as target
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++entries;
    EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace tarkemo
