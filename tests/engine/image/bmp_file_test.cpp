#include "image/bmp_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(TARKEMO_TEST_DATA) / "bmp";

std::vector<uint8_t> Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (uint32_t(bytes[offset + 3]) << 24);
}

// A fresh folder per test, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "tarkemo-bmp-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    size_t EntryCount() const {
        return std::distance(fs::directory_iterator(path_), fs::directory_iterator());
    }

  private:
    fs::path path_;
};

// The image every good corpus file holds (see tests/data/bmp/make_corpus.py).
uint8_t CorpusPixel(int x, int y) {
    return static_cast<uint8_t>(7 * x + 31 * y + 1);
}

struct GoodFile {
    const char* name;
    int32_t width;
    int32_t height;
    int storedEntries;  // entries beyond these come from the gray ramp
    bool grayTable;     // the stored entries are gray; otherwise (i, 7i, 255 - i)
    int32_t xRes;
    int32_t yRes;
    bool grayRamp;
};

const GoodFile kGoodFiles[] = {
    {"info40.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"info40_gray.bmp", 5, 3, 256, true, 2835, 3780, true},
    {"info52.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"info56.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"info108.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"info124.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"core12.bmp", 5, 3, 256, false, 0, 0, false},
    {"colours_used_16_gray.bmp", 5, 3, 16, true, 2835, 3780, true},
    {"colours_used_2.bmp", 5, 3, 2, false, 2835, 3780, false},
    {"info124_colours_used_100.bmp", 5, 3, 100, false, 2835, 3780, false},
    {"top_down.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"info124_top_down.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"file_size_zero.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"file_size_too_large.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"file_size_too_small.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"trailing_bytes.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"gap_after_table.bmp", 5, 3, 256, false, 2835, 3780, false},
    {"one_pixel.bmp", 1, 1, 256, false, 2835, 3780, false},
    {"width_8.bmp", 8, 2, 256, false, 2835, 3780, false},
    {"resolution_zero.bmp", 5, 3, 256, false, 0, 0, false},
};

// Files other programs wrote from the same pattern (tests/data/bmp/make_third_party.sh). Palette
// writers order the table as they like, so their pixels are compared by the colour they stand for.
struct ThirdPartyFile {
    const char* name;
    int32_t width;
    int32_t height;
    bool grayPattern;  // value v shown as gray; otherwise as the colour of entry v of a "colour" table
    bool keepsValues;  // the indices are the values themselves and the table is the gray ramp
    int32_t xRes;
    int32_t yRes;
};

const ThirdPartyFile kThirdPartyFiles[] = {
    {"imagemagick_bmp3_gray.bmp", 37, 11, true, true, 2835, 3779},
    {"imagemagick_bmp3_palette.bmp", 37, 11, false, false, 2835, 3779},
    {"imagemagick_bmp2_gray.bmp", 37, 11, true, true, 0, 0},
    {"imagemagick_bmp4_gray.bmp", 37, 11, true, true, 2835, 3779},
    {"imagemagick_bmp5_palette.bmp", 37, 11, false, false, 2835, 3779},
    {"graphicsmagick_bmp3_palette.bmp", 37, 11, false, false, 2835, 3779},
    {"pillow_l.bmp", 37, 11, true, true, 3780, 3780},
    {"pillow_p_adaptive.bmp", 37, 11, false, false, 3780, 3780},
    {"pillow_p_45_colours.bmp", 9, 5, true, false, 2835, 3780},
    {"netpbm_windows_8bit.bmp", 37, 11, false, false, 0, 0},
    {"netpbm_os2_8bit.bmp", 37, 11, true, false, 0, 0},
    {"ffmpeg_gray.bmp", 37, 11, true, true, 0, 0},
    {"ffmpeg_pal8.bmp", 37, 11, false, false, 0, 0},
    {"opencv_gray.bmp", 37, 11, true, true, 0, 0},
};

// Entry i of a gray table, or of the "colour" table (blue i, green 7i, red 255 - i).
ColourEntry PatternEntry(bool gray, int i) {
    const auto v = static_cast<uint8_t>(i);
    if (gray) return {v, v, v, 0};
    return {v, static_cast<uint8_t>(7 * i), static_cast<uint8_t>(255 - i), 0};
}

ColourEntry ExpectedEntry(const GoodFile& file, int i) {
    return PatternEntry(i >= file.storedEntries || file.grayTable, i);
}

void ExpectCorpusImage(const LoadedBitmap& loaded, const GoodFile& file) {
    const GrayBitmap& b = loaded.bitmap;
    ASSERT_EQ(b.width, file.width);
    ASSERT_EQ(b.height, file.height);
    ASSERT_EQ(b.pixels.size(), b.ByteCount());
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) ASSERT_EQ(b.At(x, y), CorpusPixel(x, y)) << x << "," << y;
    }
    for (int i = 0; i < 256; ++i) ASSERT_EQ(b.colours[i], ExpectedEntry(file, i)) << "entry " << i;
    EXPECT_EQ(b.xPelsPerMeter, file.xRes);
    EXPECT_EQ(b.yPelsPerMeter, file.yRes);
    EXPECT_EQ(loaded.grayRamp, file.grayRamp);
}

void ExpectThirdPartyImage(const LoadedBitmap& loaded, const ThirdPartyFile& file) {
    const GrayBitmap& b = loaded.bitmap;
    ASSERT_EQ(b.width, file.width);
    ASSERT_EQ(b.height, file.height);
    ASSERT_EQ(b.pixels.size(), b.ByteCount());
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            const uint8_t value = CorpusPixel(x, y);
            ASSERT_EQ(b.colours[b.At(x, y)], PatternEntry(file.grayPattern, value)) << x << "," << y;
            if (file.keepsValues) {
                ASSERT_EQ(b.At(x, y), value) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(b.xPelsPerMeter, file.xRes);
    EXPECT_EQ(b.yPelsPerMeter, file.yRes);
    EXPECT_EQ(loaded.grayRamp, file.keepsValues);
}

TEST(BmpCorpusTest, EveryGoodFileLoadsWithItsPixelsAndTable) {
    for (const GoodFile& file : kGoodFiles) {
        SCOPED_TRACE(file.name);
        const auto loaded = ReadBmpFile((kCorpus / "good" / file.name).string());
        ASSERT_TRUE(loaded);
        ExpectCorpusImage(*loaded, file);
    }
}

TEST(BmpCorpusTest, FilesOfOtherProgramsLoadWithTheirColours) {
    for (const ThirdPartyFile& file : kThirdPartyFiles) {
        SCOPED_TRACE(file.name);
        const auto loaded = ReadBmpFile((kCorpus / "good" / file.name).string());
        ASSERT_TRUE(loaded);
        ExpectThirdPartyImage(*loaded, file);
    }
}

TEST(BmpCorpusTest, EveryGoodFileHasAnExpectation) {
    std::set<std::string> listed;
    for (const GoodFile& file : kGoodFiles) listed.insert(file.name);
    for (const ThirdPartyFile& file : kThirdPartyFiles) listed.insert(file.name);
    for (const auto& entry : fs::directory_iterator(kCorpus / "good")) {
        EXPECT_TRUE(listed.count(entry.path().filename().string())) << "no expectation for " << entry.path();
    }
}

TEST(BmpCorpusTest, EveryBrokenFileIsRefused) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus / "broken")) {
        EXPECT_FALSE(ReadBmpFile(entry.path().string())) << entry.path().filename();
        ++count;
    }
    EXPECT_GE(count, 40);
}

// Every prefix of a valid file misses some part it needs; copying it into a buffer of exactly that
// size lets the address sanitizer catch any read past the end.
TEST(BmpCorpusTest, EveryTruncationIsRefused) {
    for (const char* name : {"info40.bmp", "info124_top_down.bmp", "core12.bmp", "colours_used_2.bmp"}) {
        const std::vector<uint8_t> whole = Slurp(kCorpus / "good" / name);
        for (size_t size = 0; size < whole.size(); ++size) {
            const std::vector<uint8_t> prefix(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(size));
            ASSERT_FALSE(DecodeBmp(prefix)) << name << " cut to " << size;
        }
        EXPECT_TRUE(DecodeBmp(whole)) << name;
    }
}

// Arbitrary header values must never crash or read outside the buffer.
TEST(BmpCorpusTest, ScrambledHeadersNeverCrash) {
    const std::vector<uint8_t> whole = Slurp(kCorpus / "good" / "info40.bmp");
    testimages::Random random(7);
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> bytes = whole;
        const int changes = random.Between(1, 4);
        for (int i = 0; i < changes; ++i) {
            bytes[static_cast<size_t>(random.Between(0, 57))] = static_cast<uint8_t>(random.Between(0, 255));
        }
        if (round % 2 == 1)
            bytes.resize(static_cast<size_t>(random.Between(0, static_cast<int32_t>(bytes.size()))));
        if (auto loaded = DecodeBmp(bytes)) {
            EXPECT_LE(loaded->bitmap.ByteCount(), bytes.size());
        }
    }
}

TEST(BmpFileTest, EncodeWritesTheFixedLayout) {
    auto bitmap = CreateGrayBitmap(3, 2);
    ASSERT_TRUE(bitmap);
    bitmap->xPelsPerMeter = 3780;
    bitmap->yPelsPerMeter = 2835;
    SetColourEntry(*bitmap, 1, 0x00112233);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) bitmap->At(x, y) = static_cast<uint8_t>(10 * y + x + 1);
    }
    const auto file = EncodeBmp(*bitmap);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->size(), 1086u);
    const struct {
        size_t offset;
        int bytes;
        uint32_t value;
    } fields[] = {
        {0, 2, 0x4D42}, {2, 4, 1086},        {6, 4, 0},
        {10, 4, 1078},  {14, 4, 40},         {18, 4, 3},
        {22, 4, 2},     {26, 2, 1},          {28, 2, 8},
        {30, 4, 0},     {34, 4, 8},          {38, 4, 3780},
        {42, 4, 2835},  {46, 4, 256},        {50, 4, 0},
        {54, 4, 0},     {58, 4, 0x00332211}, {54 + 4 * 255, 4, 0x00FFFFFF},
    };
    for (const auto& f : fields) {
        const uint32_t got =
            f.bytes == 2 ? ((*file)[f.offset] | ((*file)[f.offset + 1] << 8)) : Le32(*file, f.offset);
        EXPECT_EQ(got, f.value) << "offset " << f.offset;
    }
    const std::vector<uint8_t> pixels(file->begin() + 1078, file->end());
    EXPECT_EQ(pixels, (std::vector<uint8_t>{1, 2, 3, 0, 11, 12, 13, 0}));
}

TEST(BmpFileTest, SaveAndLoadGiveBackPixelsTableAndResolution) {
    TempFolder folder;
    const struct {
        int32_t width;
        int32_t height;
        bool grayTable;
    } cases[] = {{1, 1, true}, {3, 2, false}, {5, 7, true}, {1023, 3, false}, {64, 64, true}};
    for (const auto& c : cases) {
        GrayBitmap bitmap = testimages::MakeNoiseImage(c.width, c.height, 42);  // padding included
        bitmap.xPelsPerMeter = 1234;
        bitmap.yPelsPerMeter = -5;
        if (!c.grayTable) SetColourEntry(bitmap, 200, 0x000000FF);
        const std::string path = (folder / "round.bmp").string();
        ASSERT_TRUE(WriteBmpFile(bitmap, path));
        EXPECT_EQ(fs::file_size(path), 1078 + bitmap.ByteCount());
        const auto loaded = ReadBmpFile(path);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->bitmap.width, c.width);
        EXPECT_EQ(loaded->bitmap.height, c.height);
        EXPECT_TRUE(std::equal(bitmap.pixels.begin(), bitmap.pixels.end(), loaded->bitmap.pixels.begin()));
        EXPECT_EQ(loaded->bitmap.colours, bitmap.colours);
        EXPECT_EQ(loaded->bitmap.xPelsPerMeter, 1234);
        EXPECT_EQ(loaded->bitmap.yPelsPerMeter, -5);
        EXPECT_EQ(loaded->grayRamp, c.grayTable);
        EXPECT_EQ(Slurp(path), *EncodeBmp(bitmap));
    }
    EXPECT_EQ(folder.EntryCount(), 1u);  // no temporary file left behind
}

void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Files larger than the reader's first read take the path that reads the rows straight into the
// bitmap; it must agree with decoding the same bytes in memory.
TEST(BmpFileTest, LargeFilesReadLikeTheirBytesDecode) {
    TempFolder folder;
    const GrayBitmap bitmap = testimages::MakeNoiseImage(401, 200, 5);  // stride 404, 80800 pixel bytes
    const std::vector<uint8_t> plain = *EncodeBmp(bitmap);
    const size_t rowBytes = 404;
    std::vector<uint8_t> topDown = plain;
    PutLe32(topDown, 22, static_cast<uint32_t>(-200));
    for (size_t row = 0; row < 200; ++row) {
        std::copy_n(plain.begin() + static_cast<ptrdiff_t>(1078 + (199 - row) * rowBytes), rowBytes,
                    topDown.begin() + static_cast<ptrdiff_t>(1078 + row * rowBytes));
    }
    std::vector<uint8_t> gap = plain;
    gap.insert(gap.begin() + 1078, 70000, 0xCC);
    PutLe32(gap, 10, 1078 + 70000);
    std::vector<uint8_t> wrongSize = plain;
    PutLe32(wrongSize, 2, 12);
    std::vector<uint8_t> offsetPastEnd = plain;
    PutLe32(offsetPastEnd, 10, static_cast<uint32_t>(plain.size() + 1));
    std::vector<uint8_t> lateOffset = gap;
    PutLe32(lateOffset, 10, 1078 + 70001);
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool loads;
    } cases[] = {
        {"plain", plain, true},
        {"top-down", topDown, true},
        {"gap before pixels", gap, true},
        {"wrong file size", wrongSize, true},
        {"one byte short", std::vector<uint8_t>(plain.begin(), plain.end() - 1), false},
        {"pixel offset past the end", offsetPastEnd, false},
        {"pixel offset one byte late", lateOffset, false},
    };
    for (const auto& c : cases) {
        const std::string path = (folder / "large.bmp").string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()),
                   static_cast<std::streamsize>(c.bytes.size()));
        const auto fromFile = ReadBmpFile(path);
        const auto fromBytes = DecodeBmp(c.bytes);
        ASSERT_EQ(fromFile.has_value(), c.loads) << c.what;
        ASSERT_EQ(fromBytes.has_value(), c.loads) << c.what;
        if (!c.loads) continue;
        EXPECT_TRUE(std::equal(bitmap.pixels.begin(), bitmap.pixels.end(), fromFile->bitmap.pixels.begin()))
            << c.what;
        EXPECT_TRUE(std::equal(bitmap.pixels.begin(), bitmap.pixels.end(), fromBytes->bitmap.pixels.begin()))
            << c.what;
        EXPECT_TRUE(fromFile->grayRamp);
    }
}

TEST(BmpFileTest, OneOffGrayEntryLoadsWithoutGrayRampFlag) {
    auto bitmap = CreateGrayBitmap(4, 4);
    ASSERT_TRUE(bitmap);
    SetColourEntry(*bitmap, 7, 0x00070708);  // blue 7, green 7, red 8
    const auto loaded = DecodeBmp(*EncodeBmp(*bitmap));
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->grayRamp);
    EXPECT_EQ(loaded->bitmap.colours[7], (ColourEntry{7, 7, 8, 0}));
}

TEST(BmpFileTest, MalformedBitmapIsNotWritten) {
    TempFolder folder;
    GrayBitmap inconsistent = *CreateGrayBitmap(8, 8);
    inconsistent.height = 9;  // buffer no longer matches
    const GrayBitmap cases[] = {GrayBitmap{}, inconsistent};
    for (const GrayBitmap& bitmap : cases) {
        EXPECT_FALSE(EncodeBmp(bitmap));
        EXPECT_FALSE(WriteBmpFile(bitmap, (folder / "bad.bmp").string()));
    }
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(BmpFileTest, SaveIntoMissingFolderFailsWithoutLeavingAFile) {
    TempFolder folder;
    const GrayBitmap bitmap = *CreateGrayBitmap(3, 2);
    EXPECT_FALSE(WriteBmpFile(bitmap, (folder / "missing" / "x.bmp").string()));
    EXPECT_FALSE(WriteBmpFile(bitmap, ""));
    EXPECT_FALSE(FileExists((folder / "missing").string()));
    EXPECT_EQ(folder.EntryCount(), 0u);
}

// A file-size limit makes the write fail halfway, as a full disk would.
TEST(BmpFileTest, FailedWriteKeepsTheOldFile) {
    TempFolder folder;
    const std::string path = (folder / "keep.bmp").string();
    const GrayBitmap small = testimages::MakeNoiseImage(4, 4, 1);
    ASSERT_TRUE(WriteBmpFile(small, path));
    const std::vector<uint8_t> before = Slurp(path);

    const GrayBitmap large = testimages::MakeNoiseImage(200, 200, 2);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = WriteBmpFile(large, path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Slurp(path), before);
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(BmpFileTest, SaveOverADirectoryFailsAndKeepsIt) {
    TempFolder folder;
    fs::create_directory(folder / "taken.bmp");
    EXPECT_FALSE(WriteBmpFile(*CreateGrayBitmap(2, 2), (folder / "taken.bmp").string()));
    EXPECT_TRUE(fs::is_directory(folder / "taken.bmp"));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(BmpFileTest, ReadRefusesWhatIsNoRegularFile) {
    TempFolder folder;
    fs::create_directory(folder / "dir.bmp");
    for (const std::string& path : {(folder / "none.bmp").string(), (folder / "dir.bmp").string(),
                                    std::string("/dev/null"), std::string()}) {
        EXPECT_FALSE(ReadBmpFile(path)) << path;
    }
}

TEST(BmpFileTest, FileExistsForFilesAndDirectories) {
    TempFolder folder;
    fs::create_directory(folder / "dir");
    std::ofstream(folder / "file.bmp") << "x";
    EXPECT_TRUE(FileExists((folder / "file.bmp").string()));
    EXPECT_TRUE(FileExists((folder / "dir").string()));
    EXPECT_FALSE(FileExists((folder / "missing.bmp").string()));
}

}  // namespace
}  // namespace tarkemo
