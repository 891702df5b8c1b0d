#include "image/davis_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "generator/davis_encoder.h"
#include "image/davis_convert.h"
#include "image/davis_packed.h"

namespace tarkemo {
namespace {

using testimages::DavisHeaderFields;
using testimages::MakeDavisHeader;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint16_t>;

Bytes Hex(const std::string& text) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

void Append(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
}

// ---- The packed stream ----

struct StreamCase {
    const char* id;
    size_t count;
    Bytes stream;
    Words expected;
};

Bytes V14Stream() {
    Bytes s = Hex("7F 00");
    for (unsigned w = 1; w <= 256; ++w) Append(s, {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
    s.push_back(0x01);
    return s;
}

Words Ramp(unsigned from, unsigned to) {
    Words w(to - from + 1);
    std::iota(w.begin(), w.end(), static_cast<uint16_t>(from));
    return w;
}

const Words kV13 = {100,  101,  103,   102,   102,   104,   105,   103,   110,
                    5000, 5001, 20000, 20001, 20002, 40000, 39999, 39999, 39990};

std::vector<StreamCase> StreamCases() {
    return {
        {"V1", 3, Hex("05 03 FE"), {5, 8, 6}},
        {"V2", 4, Hex("0A 01 01 01"), {10, 11, 12, 13}},
        {"V3", 2, Hex("80 34 12 01"), {4660, 4661}},
        {"V4", 3, Hex("7F 03 10 00 20 00 30 00"), {16, 32, 48}},
        {"V5", 6, Hex("81 12 3F 48 02"), {1, 3, 6, 5, 9, 11}},
        {"V6", 4, Hex("14 81 79 F8"), {20, 27, 20, 19}},
        {"V7", 2, Hex("81 08 05"), {0, 5}},
        {"V8", 2, Hex("80 FF FF 01"), {65535, 0}},
        {"V9", 8, Hex("81 00 00 00 08 00"), Words(8, 0)},
        {"V10", 9, Hex("00 81 00 00 00 08 00"), Words(9, 0)},
        {"V11", 20, Hex("81 70 00 00 00 08 00 81 00 00 00 00 08 00"), Words(20, 7)},
        {"V12", 6, Hex("7F 05 E8 03 B8 0B 88 13 58 1B 28 23 01"), {1000, 3000, 5000, 7000, 9000, 9001}},
        {"V13", 18, Hex("64 81 12 F0 21 E8 07 80 88 13 01 80 20 4E 01 01 80 40 9C FF 00 F7"), kV13},
        {"V14", 257, V14Stream(), Ramp(1, 257)},
        {"high nibble 8 is -8", 4, Hex("0A 81 8F 08"), {10, 2, 1, 1}},
    };
}

TEST(DavisPackedStream, DecodesEveryVectorAndConsumesExactlyItsBytes) {
    for (const StreamCase& c : StreamCases()) {
        SCOPED_TRACE(c.id);
        Words out(c.count);
        PackedStreamState state;
        ASSERT_TRUE(DecodePackedWords(c.stream, state, out.data(), out.size()));
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(state.pos, c.stream.size());
    }
}

// The first frame and the later ones are decoded in separate calls, so every mode must survive a
// stop at any sample.
TEST(DavisPackedStream, DecodingOneSampleAtATimeGivesTheSameSamples) {
    for (const StreamCase& c : StreamCases()) {
        SCOPED_TRACE(c.id);
        Words out(c.count);
        PackedStreamState state;
        for (size_t i = 0; i < c.count; ++i) ASSERT_TRUE(DecodePackedWords(c.stream, state, &out[i], 1));
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(state.pos, c.stream.size());
    }
}

TEST(DavisPackedStream, EveryShortenedVectorRunsOut) {
    for (const StreamCase& c : StreamCases()) {
        for (size_t cut = 0; cut < c.stream.size(); ++cut) {
            SCOPED_TRACE(std::string(c.id) + " cut at " + std::to_string(cut));
            const Bytes shortened(c.stream.begin(), c.stream.begin() + static_cast<long>(cut));
            Words out(c.count);
            PackedStreamState state;
            const bool ok = DecodePackedWords(shortened, state, out.data(), out.size());
            // V6 ends on a pending end marker: its last byte is needed, so every cut fails.
            EXPECT_FALSE(ok);
            EXPECT_LE(state.pos, shortened.size());
        }
    }
}

TEST(DavisPackedStream, TheWriterProducesTheRealisticVectorsByteForByte) {
    const std::map<std::string, int32_t> widths = {
        {"V9", 8}, {"V10", 9}, {"V11", 10}, {"V12", 3}, {"V13", 9}};
    for (const StreamCase& c : StreamCases()) {
        const auto width = widths.find(c.id);
        if (width == widths.end()) continue;
        SCOPED_TRACE(c.id);
        EXPECT_EQ(testimages::EncodeDavisPackedStream(c.expected, width->second), c.stream);
    }
}

TEST(DavisPackedStream, WriterRoundTripsLongWordRunsAcrossLines) {
    Words samples;
    for (int i = 0; i < 700; ++i) samples.push_back(static_cast<uint16_t>(i % 2 ? 60000 - i : i * 7));
    for (int i = 0; i < 50; ++i) samples.push_back(static_cast<uint16_t>(1000 + (i % 5)));
    const Bytes stream = testimages::EncodeDavisPackedStream(samples, 25);
    Words out(samples.size());
    PackedStreamState state;
    ASSERT_TRUE(DecodePackedWords(stream, state, out.data(), out.size()));
    EXPECT_EQ(out, samples);
    EXPECT_EQ(state.pos, stream.size());
}

// ---- Header rules ----

struct HeaderCase {
    const char* id;
    DavisHeaderFields fields;
    int32_t nx, ny, nf, nz;
    int64_t lines;
};

DavisHeaderFields Fields(int16_t type, int16_t rows, int16_t columns, uint8_t version, int16_t fdim,
                         int32_t longZDim, int32_t longRows = 0, int32_t longColumns = 0) {
    DavisHeaderFields f;
    f.imageType = type;
    f.rows = rows;
    f.columns = columns;
    f.version = version;
    f.frameCount = fdim;
    f.longZDim = longZDim;
    f.longRows = longRows;
    f.longColumns = longColumns;
    return f;
}

TEST(DavisHeader, DimensionRulesOfTheHeaderVersions) {
    const HeaderCase cases[] = {
        {"H1", Fields(19, 2, 9, 55, 1, 1), 9, 2, 1, 1, 2},
        {"H2", Fields(18, -1, -1, 55, 1, 1, 40000, 3), 3, 40000, 1, 1, 40000},
        {"H3", Fields(18, 4, 2, 54, 2, 0), 2, 2, 2, 1, 4},
        {"H4", Fields(18, 2, 2, 55, 2, 1), 2, 2, 2, 1, 4},
        {"H5", Fields(18, 3, 2, 40, 5, 7), 2, 3, 1, 1, 3},
        {"H6", Fields(18, 3, 2, 54, 1, 7), 2, 3, 1, 1, 3},
        {"H7", Fields(18, 5, 5, 150, 0, 0), 384, 286, 1, 1, 286},
        {"planes", Fields(20, 2, 3, 55, 2, 3), 3, 2, 2, 3, 12},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.id);
        DavisError error = DavisError::kTruncated;
        const auto header = ParseDavisHeader(MakeDavisHeader(c.fields), error);
        ASSERT_TRUE(header);
        EXPECT_EQ(error, DavisError::kNone);
        EXPECT_EQ(header->nx, c.nx);
        EXPECT_EQ(header->ny, c.ny);
        EXPECT_EQ(header->nf, c.nf);
        EXPECT_EQ(header->nz, c.nz);
        EXPECT_EQ(header->lines, c.lines);
    }
}

TEST(DavisHeader, RefusesWhatIsNoImage) {
    struct Case {
        const char* id;
        DavisHeaderFields fields;
        DavisError expected;
    };
    auto with = [](DavisHeaderFields f, auto change) {
        change(f);
        return f;
    };
    const DavisHeaderFields h1 = Fields(19, 2, 9, 55, 1, 1);
    const Case cases[] = {
        {"type 21", with(h1, [](auto& f) { f.imageType = 21; }), DavisError::kUnsupportedType},
        {"type 22", with(h1, [](auto& f) { f.imageType = 22; }), DavisError::kUnsupportedType},
        {"type 23", with(h1, [](auto& f) { f.imageType = 23; }), DavisError::kUnsupportedType},
        {"type 40", with(h1, [](auto& f) { f.imageType = 40; }), DavisError::kUnsupportedType},
        {"type 0", with(h1, [](auto& f) { f.imageType = 0; }), DavisError::kUnsupportedType},
        {"vector field", with(h1, [](auto& f) { f.subtype = 3; }), DavisError::kVectorField},
        {"columns 0", with(h1, [](auto& f) { f.columns = 0; }), DavisError::kBadDimensions},
        {"rows 0", with(h1, [](auto& f) { f.rows = 0; }), DavisError::kBadDimensions},
        {"rows -2", with(h1, [](auto& f) { f.rows = -2; }), DavisError::kBadDimensions},
        {"long columns negative", with(h1, [](auto& f) { f.columns = -1, f.longColumns = -9; }),
         DavisError::kBadDimensions},
        {"frame count 0 (X4)", Fields(18, 2, 9, 54, 0, 1), DavisError::kBadDimensions},
        {"frame count -3", Fields(18, 2, 9, 55, -3, 1), DavisError::kBadDimensions},
        {"fewer rows than frames", Fields(18, 2, 9, 54, 3, 1), DavisError::kBadDimensions},
        {"plane count 0", Fields(18, 2, 9, 55, 1, 0), DavisError::kBadDimensions},
        {"lines overflow", Fields(18, -1, 9, 55, 32767, 2147483647, 2147483647), DavisError::kTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        DavisError error = DavisError::kNone;
        EXPECT_FALSE(ParseDavisHeader(MakeDavisHeader(c.fields), error));
        EXPECT_EQ(error, c.expected);
    }
}

// ---- Whole tiny files ----

Bytes F1() {
    Bytes file = MakeDavisHeader(Fields(19, 2, 9, 55, 1, 1, 2, 9));
    Append(file, Hex("09 02 00 00 00 00 00 00 00 00 00 04 04 13 13 13 27 27 27 27"));
    Append(file, Hex("64 81 12 F0 21 E8 07 80 88 13 01 80 20 4E 01 01 80 40 9C FF 00 F7"));
    Append(file, Hex("06 00 00 00 03 00 00 00 61 3D 62"));
    Append(file, Bytes(8, 0));
    return file;
}

Bytes F2() {
    Bytes file = MakeDavisHeader(Fields(18, 2, 9, 55, 1, 1, 2, 9));
    for (uint16_t v : kV13) Append(file, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    Append(file, Bytes(8, 0));
    return file;
}

Bytes F3() {
    Bytes file = MakeDavisHeader(Fields(20, 1, 3, 55, 1, 1));
    Append(file, Hex("00 00 80 BF 00 00 00 00 00 00 80 3F"));
    return file;
}

TEST(DavisFile, TinyWholeFiles) {
    ASSERT_EQ(F1().size(), 317u);
    ASSERT_EQ(F2().size(), 300u);
    ASSERT_EQ(F3().size(), 268u);
    DavisError error = DavisError::kNone;
    const auto f1 = DecodeDavis(F1(), error);
    ASSERT_TRUE(f1);
    EXPECT_EQ(f1->kind, DavisSampleKind::kWords);
    EXPECT_EQ(f1->width, 9);
    EXPECT_EQ(f1->height, 2);
    EXPECT_THAT(f1->words, ElementsAreArray(kV13));
    EXPECT_EQ(f1->dataEnd, 298u);
    const auto f2 = DecodeDavis(F2(), error);
    ASSERT_TRUE(f2);
    EXPECT_THAT(f2->words, ElementsAreArray(kV13));
    EXPECT_EQ(f2->dataEnd, 292u);
    const auto f3 = DecodeDavis(F3(), error);
    ASSERT_TRUE(f3);
    EXPECT_EQ(f3->kind, DavisSampleKind::kFloats);
    EXPECT_THAT(f3->floats, ElementsAre(-1.0f, 0.0f, 1.0f));
}

TEST(DavisFile, KeepsTheFirstFrameButNeedsThemAll) {
    Words samples(3 * 2 * 2);
    std::iota(samples.begin(), samples.end(), 500);
    for (const bool packed : {true, false}) {
        SCOPED_TRACE(packed ? "packed" : "raw");
        Bytes file = packed ? testimages::MakeDavisPackedFile(samples, 3, 2, 2)
                            : testimages::MakeDavisWordFile(samples, 3, 2, 2);
        DavisError error = DavisError::kNone;
        const auto image = DecodeDavis(file, error);
        ASSERT_TRUE(image);
        EXPECT_THAT(image->words, ElementsAreArray(samples.data(), 6));
        EXPECT_EQ(image->dataEnd, file.size() - 8);
        file.resize(file.size() - 9);  // the END record and the last byte of the second frame
        EXPECT_FALSE(DecodeDavis(file, error));
        EXPECT_EQ(error, DavisError::kTruncated);
    }
}

TEST(DavisFile, HostileFilesAreRefused) {
    struct Case {
        const char* id;
        Bytes file;
        DavisError expected;
    };
    auto cut = [](Bytes b, size_t size) {
        b.resize(size);
        return b;
    };
    Bytes x9 = MakeDavisHeader(Fields(19, -1, -1, 55, 1, 1, 60000, 60000));
    Append(x9, Bytes(1024 - 256, 0));
    Bytes x8 = MakeDavisHeader(Fields(19, 1, 3, 55, 1, 1));
    Append(x8, Hex("00 00 7F 03 10 00 20 00 30"));
    Bytes hugeRaw = MakeDavisHeader(Fields(20, -1, -1, 55, 1, 1, 2147483647, 2147483647));
    Append(hugeRaw, Bytes(64, 0));
    std::vector<Case> cases;
    for (size_t size : {0, 1, 100, 255}) cases.push_back({"X1", cut(F1(), size), DavisError::kShortHeader});
    cases.push_back({"X5", cut(F2(), 256 + 35), DavisError::kTruncated});
    cases.push_back({"X6", cut(F1(), 270), DavisError::kTruncated});
    cases.push_back({"X6 header only", cut(F1(), 256), DavisError::kTruncated});
    cases.push_back({"X7", cut(F1(), 276 + 10), DavisError::kTruncated});
    cases.push_back({"X8", x8, DavisError::kTruncated});
    cases.push_back({"X9", x9, DavisError::kTruncated});
    cases.push_back({"float sides at the limit", hugeRaw, DavisError::kTruncated});
    cases.push_back({"F3 one byte short", cut(F3(), 267), DavisError::kTruncated});
    cases.push_back({"H7 without 384 x 286 words", cut(F2(), 300), DavisError::kTruncated});
    cases.back().file[33] = 150;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        DavisError error = DavisError::kNone;
        EXPECT_FALSE(DecodeDavis(c.file, error));
        EXPECT_EQ(error, c.expected);
        EXPECT_STREQ(DavisErrorMessage(error).text, kDavisReadErrorText);
    }
}

// A complete file whose frame no 8-bit bitmap can hold (a buffer above 2^31 - 1 bytes) is refused
// from its header, before its samples are decoded. The file is mapped, not written: only its
// header page is ever touched, so the test needs neither the disk nor the memory of such a file.
TEST(DavisFile, FramesBeyondTheBitmapLimitAreRefusedBeforeDecoding) {
    struct Case {
        const char* id;
        int16_t type;
        int32_t nx, ny;
        DavisError expected;
    };
    const Case cases[] = {
        {"packed 65536 x 32769", 19, 65536, 32769, DavisError::kBitmapFailed},
        {"packed 65536 x 32768, one byte over", 19, 65536, 32768, DavisError::kBitmapFailed},
        {"raw words 46341 x 46341", 18, 46341, 46341, DavisError::kBitmapFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const Bytes header = MakeDavisHeader(Fields(c.type, -1, -1, 55, 1, 1, c.ny, c.nx));
        const size_t size = 256 + 2 + uint64_t{2} * static_cast<uint64_t>(c.nx) * static_cast<uint64_t>(c.ny);
        void* mapped =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        ASSERT_NE(mapped, MAP_FAILED);
        std::memcpy(mapped, header.data(), header.size());  // an empty thumbnail, then zero differences
        DavisError error = DavisError::kNone;
        EXPECT_FALSE(DecodeDavis(std::span(static_cast<const uint8_t*>(mapped), size), error));
        EXPECT_EQ(error, c.expected);
        EXPECT_STREQ(DavisErrorMessage(error).text, kDavisBitmapErrorText);
        munmap(mapped, size);
    }
}

TEST(DavisFile, BrokenAttributesDoNotMatter) {
    for (const char* size : {"FF FF FF 7F", "FF FF FF FF"}) {
        Bytes file = F1();
        const Bytes bad = Hex(size);
        std::copy(bad.begin(), bad.end(), file.begin() + 302);
        DavisError error = DavisError::kNone;
        const auto image = DecodeDavis(file, error);
        ASSERT_TRUE(image);
        EXPECT_THAT(image->words, ElementsAreArray(kV13));
    }
}

TEST(DavisFile, ReadIMXReportsZeroOrTheReason) {
    const std::string path = ::testing::TempDir() + "davis_import_test_f1.IMX";
    {
        const Bytes f1 = F1();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f1.data()), f1.size());
    }
    DavisImage image;
    EXPECT_EQ(ReadIMX(path, image), 0);
    EXPECT_THAT(image.words, ElementsAreArray(kV13));
    EXPECT_EQ(ReadIMX(path + ".missing", image), static_cast<int>(DavisError::kCannotRead));
    EXPECT_EQ(ReadIMX(::testing::TempDir(), image), static_cast<int>(DavisError::kCannotRead));
    std::remove(path.c_str());
}

TEST(DavisFile, NamesOfferedToTheImport) {
    for (const char* name : {"a.imx", "B.IMG", "dir.x/c.iMx", ".img"})
        EXPECT_TRUE(IsDavisFileName(name)) << name;
    for (const char* name : {"imx", "a.bmp", "a.imxx", "a_imx", "a.im7", "a.vec", ""}) {
        EXPECT_FALSE(IsDavisFileName(name)) << name;
    }
}

// ---- Conversion ----

DavisImage WordImage(int32_t width, int32_t height, Words words) {
    DavisImage image;
    image.width = width;
    image.height = height;
    image.words.assign(words.begin(), words.end());
    return image;
}

DavisImage FloatImage(int32_t width, int32_t height, std::vector<float> floats) {
    DavisImage image;
    image.kind = DavisSampleKind::kFloats;
    image.width = width;
    image.height = height;
    image.floats.assign(floats.begin(), floats.end());
    return image;
}

// Pixels of a one-line image, left to right.
std::vector<int> LinePixels(const GrayBitmap& b) {
    std::vector<int> pixels;
    for (int32_t x = 0; x < b.width; ++x) pixels.push_back(b.At(x, 0));
    return pixels;
}

TEST(DavisConvert, WorkedNumbers) {
    struct Case {
        const char* id;
        DavisImage image;
        std::vector<int> expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"all 1000", WordImage(3, 1, {1000, 1000, 1000}), {0, 0, 0}},
        {"100..356", WordImage(3, 1, {100, 356, 228}), {0, 255, 127}},
        {"0..25", WordImage(3, 1, {0, 25, 24}), {0, 254, 244}},
        {"real sample's range", WordImage(2, 1, {687, 0}), {254, 0}},
        {"full range", WordImage(3, 1, {65535, 0, 32768}), {255, 0, 127}},
        {"floats", FloatImage(3, 1, {-1.0f, 0.0f, 1.0f}), {0, 127, 255}},
        {"floats multiply before dividing", FloatImage(2, 1, {0.0f, 25.0f}), {0, 255}},
        {"equal floats", FloatImage(2, 1, {2.5f, 2.5f}), {0, 0}},
        {"non-finite floats", FloatImage(5, 1, {nan, -1.0f, inf, 1.0f, -inf}), {0, 0, 0, 255, 0}},
        {"no finite float", FloatImage(2, 1, {nan, inf}), {0, 0}},
        {"huge floats", FloatImage(3, 1, {-3e38f, 3e38f, 0.0f}), {0, 255, 127}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const auto bitmap = ConvertDavisToBitmap(c.image);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(LinePixels(*bitmap), c.expected);
        EXPECT_TRUE(IsIdentityGrayRamp(bitmap->colours));
    }
}

TEST(DavisConvert, WordsFollowTheFormulaForEveryValue) {
    for (const auto& [lo, hi] : {std::pair{0u, 25u}, {100u, 356u}, {7u, 65535u}, {1000u, 1001u}}) {
        Words words(hi - lo + 1);
        std::iota(words.begin(), words.end(), static_cast<uint16_t>(lo));
        const auto bitmap = ConvertDavisToBitmap(WordImage(static_cast<int32_t>(words.size()), 1, words));
        ASSERT_TRUE(bitmap);
        const double factor = 255.0 / static_cast<double>(hi - lo);
        for (unsigned s = lo; s <= hi; ++s) {
            ASSERT_EQ(bitmap->At(static_cast<int32_t>(s - lo), 0), static_cast<int>((s - lo) * factor)) << s;
        }
    }
}

TEST(DavisConvert, FirstLineOnTopAndPaddingZero) {
    const auto bitmap = ConvertDavisToBitmap(WordImage(3, 2, {0, 0, 0, 10, 10, 10}));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->stride, 4);
    const Bytes rows(bitmap->pixels.begin(), bitmap->pixels.end());
    EXPECT_EQ(rows, Hex("FF FF FF 00 00 00 00 00"));  // row 0 (bottom) is the file's last line
    const auto floats = ConvertDavisToBitmap(FloatImage(1, 2, {5.0f, -5.0f}));
    ASSERT_TRUE(floats);
    EXPECT_EQ(floats->At(0, 1), 255);
    EXPECT_EQ(floats->At(0, 0), 0);
}

TEST(DavisConvert, ImportReadsAndConvertsOrNamesTheMessage) {
    DavisError error = DavisError::kNone;
    EXPECT_FALSE(ImportDavisFile(::testing::TempDir() + "no such file.imx", error));
    EXPECT_EQ(error, DavisError::kCannotRead);
    EXPECT_FALSE(ConvertDavisToBitmap(WordImage(3, 2, {1, 2})));
    const DavisMessage bitmapMessage = DavisErrorMessage(DavisError::kBitmapFailed);
    EXPECT_STREQ(bitmapMessage.text, kDavisBitmapErrorText);
    EXPECT_TRUE(bitmapMessage.exclamation);
    EXPECT_STREQ(bitmapMessage.caption, "Tarkemo - Fehler beim Öffnen");
    EXPECT_FALSE(DavisErrorMessage(DavisError::kTruncated).exclamation);
}

// ---- The real file written by the acquisition software ----

// A small MD5 (RFC 1321) for the published checksums of the decoded samples.
std::string Md5(const Bytes& message) {
    static const uint32_t kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                        5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                        4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                        6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    uint32_t k[64];
    for (int i = 0; i < 64; ++i)
        k[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
    Bytes data = message;
    data.push_back(0x80);
    while (data.size() % 64 != 56) data.push_back(0);
    for (int i = 0; i < 8; ++i)
        data.push_back(static_cast<uint8_t>((uint64_t{message.size()} * 8) >> (8 * i)));
    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (size_t block = 0; block < data.size(); block += 64) {
        uint32_t m[16];
        std::memcpy(m, data.data() + block, 64);
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (uint32_t i = 0; i < 64; ++i) {
            uint32_t f, g;
            if (i < 16)
                f = (b & c) | (~b & d), g = i;
            else if (i < 32)
                f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
            else if (i < 48)
                f = b ^ c ^ d, g = (3 * i + 5) % 16;
            else
                f = c ^ (b | ~d), g = (7 * i) % 16;
            const uint32_t rotated = std::rotl(a + f + k[i] + m[g], static_cast<int>(kShift[i]));
            a = d, d = c, c = b, b = b + rotated;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d;
    }
    std::string hex;
    for (uint32_t word : h) {
        for (int i = 0; i < 4; ++i) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", (word >> (8 * i)) & 0xFF);
            hex += digits;
        }
    }
    return hex;
}

Bytes LittleEndian(const uint16_t* samples, size_t count) {
    Bytes bytes(2 * count);
    for (size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(samples[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(samples[i] >> 8);
    }
    return bytes;
}

TEST(DavisSample, Md5OfKnownText) {
    EXPECT_EQ(Md5(Bytes{'a', 'b', 'c'}), "900150983cd24fb0d6963f7d28e17f72");
}

class DavisRealSample : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ifstream in(path_, std::ios::binary);
        if (!in) GTEST_SKIP() << "sample not present: " << path_;
        file_.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string path_ = TARKEMO_SHARED_DIR "/corpus/imx/test_IMX.imx";
    Bytes file_;
};

TEST_F(DavisRealSample, DecodesToThePublishedSamples) {
    DavisImage image;
    ASSERT_EQ(ReadIMX(path_, image), 0);
    EXPECT_EQ(image.header.imageType, 19);
    EXPECT_EQ(image.header.version, 55);
    EXPECT_EQ(image.width, 1376);
    EXPECT_EQ(image.height, 1024);
    EXPECT_EQ(image.header.nf, 1);
    EXPECT_EQ(image.dataEnd, 723334u);
    const Words s(image.words.begin(), image.words.end());
    EXPECT_EQ(Words(s.begin(), s.begin() + 16), (Words{1, 2, 0, 2, 2, 3, 1, 2, 3, 1, 4, 2, 3, 1, 3, 3}));
    EXPECT_EQ(Words(s.begin() + 1368, s.begin() + 1376), (Words{0, 0, 0, 0, 1, 3, 0, 0}));
    EXPECT_EQ(Words(s.begin() + 1376, s.begin() + 1384), (Words{0, 2, 1, 1, 3, 0, 1, 2}));
    EXPECT_EQ(s[511 * 1376 + 688], 1);
    EXPECT_EQ(s[1023 * 1376], 1);
    EXPECT_EQ(s.back(), 0);
    EXPECT_EQ(std::accumulate(s.begin(), s.end(), uint64_t{0}), 4830523u);
    EXPECT_EQ(std::count(s.begin(), s.end(), 0), 642787);
    EXPECT_EQ(Md5(LittleEndian(s.data(), s.size())), "b2b15eeb1ee99cc7c9b1379c1315678f");
    EXPECT_EQ(Md5(LittleEndian(s.data(), 1376)), "efa14ec3ace51e8f3a1a461a5609019f");
    const DavisSampleRange range = FindDavisSampleRange(image);
    EXPECT_EQ(range.min, 0);
    EXPECT_EQ(range.max, 687);
}

TEST_F(DavisRealSample, TheWriterRulesReproduceThumbnailAndStream) {
    DavisError error = DavisError::kNone;
    const auto image = DecodeDavis(file_, error);
    ASSERT_TRUE(image);
    const Bytes thumbnail = testimages::MakeDavisThumbnail(image->words, 1376, 1024);
    EXPECT_TRUE(std::equal(thumbnail.begin(), thumbnail.end(), file_.begin() + 256));
    ASSERT_EQ(256 + thumbnail.size(), 7584u);
    const Bytes stream = testimages::EncodeDavisPackedStream(image->words, 1376);
    ASSERT_EQ(stream.size(), 723334u - 7584u);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), file_.begin() + 7584));
}

TEST_F(DavisRealSample, ConvertsWithTheFirstLineOnTop) {
    DavisError error = DavisError::kNone;
    const auto image = DecodeDavis(file_, error);
    ASSERT_TRUE(image);
    const auto bitmap = ConvertDavisToBitmap(*image);
    ASSERT_TRUE(bitmap);
    const double factor = 255.0 / 687.0;
    for (int32_t x = 0; x < 1376; ++x) {
        ASSERT_EQ(bitmap->At(x, 1023), static_cast<int>(image->words[x] * factor));
        ASSERT_EQ(bitmap->At(x, 0), static_cast<int>(image->words[1023 * 1376 + x] * factor));
    }
    const auto top = std::max_element(image->words.begin(), image->words.end()) - image->words.begin();
    EXPECT_EQ(bitmap->At(static_cast<int32_t>(top % 1376), static_cast<int32_t>(1023 - top / 1376)), 254);
}

}  // namespace
}  // namespace tarkemo
