#include "image/packed_dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (uint32_t(bytes[offset + 3]) << 24);
}

void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutLe16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// A 10 x 10 image whose pixel (x, y) is 10y + x, with a non-gray entry and a resolution.
GrayBitmap TenByTen() {
    GrayBitmap bitmap = *CreateGrayBitmap(10, 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) bitmap.At(x, y) = static_cast<uint8_t>(10 * y + x);
    }
    SetColourEntry(bitmap, 3, 0x00010203);
    bitmap.xPelsPerMeter = 100;
    bitmap.yPelsPerMeter = 200;
    return bitmap;
}

TEST(PackedDibTest, EncodesMarkedRectangleWithZeroPadding) {
    const std::vector<uint8_t> block = EncodePackedDib(TenByTen(), 2, 1, 4, 0);
    ASSERT_EQ(block.size(), 40u + 1024u + 8u);
    const struct {
        size_t offset;
        uint32_t value;
    } fields[] = {
        {0, 40},
        {4, 3},
        {8, 2},
        {12, 0x00080001},
        {16, 0},
        {20, 8},
        {24, 100},
        {28, 200},
        {32, 256},
        {36, 0},
        {40 + 4 * 3, 0x00030201},
        {40 + 4 * 200, 0x00C8C8C8},
    };
    for (const auto& f : fields) EXPECT_EQ(Le32(block, f.offset), f.value) << "offset " << f.offset;
    const std::vector<uint8_t> pixels(block.begin() + 1064, block.end());
    EXPECT_EQ(pixels, (std::vector<uint8_t>{2, 3, 4, 0, 12, 13, 14, 0}));
}

TEST(PackedDibTest, RectangleOutsideTheBitmapGivesNothing) {
    const GrayBitmap bitmap = TenByTen();
    const struct {
        int32_t left, top, right, bottom;
    } cases[] = {
        {-1, 5, 4, 0}, {0, 5, 10, 0}, {5, 5, 4, 0}, {0, 10, 4, 0}, {0, 5, 4, -1}, {0, 2, 4, 3},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(EncodePackedDib(bitmap, c.left, c.top, c.right, c.bottom).empty())
            << c.left << " " << c.top << " " << c.right << " " << c.bottom;
    }
    EXPECT_EQ(EncodePackedDib(bitmap, 9, 9, 9, 9).size(), 40u + 1024u + 4u);
}

TEST(PackedDibTest, CopyThenDecodeGivesBackTheImage) {
    for (const bool grayTable : {true, false}) {
        GrayBitmap bitmap = testimages::MakeNoiseImage(37, 11, 9);
        for (int y = 0; y < bitmap.height; ++y) std::memset(bitmap.Row(y) + 37, 0, 3);  // zero padding
        bitmap.xPelsPerMeter = 3000;
        if (!grayTable) SetColourEntry(bitmap, 255, 0);
        const auto loaded = DecodePackedDib(EncodePackedDib(bitmap, 0, 10, 36, 0));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->grayRamp, grayTable);
        EXPECT_EQ(loaded->bitmap.width, 37);
        EXPECT_EQ(loaded->bitmap.height, 11);
        EXPECT_TRUE(std::equal(bitmap.pixels.begin(), bitmap.pixels.end(), loaded->bitmap.pixels.begin()));
        EXPECT_EQ(loaded->bitmap.colours, bitmap.colours);
        EXPECT_EQ(loaded->bitmap.xPelsPerMeter, 3000);
    }
}

TEST(PackedDibTest, TopDownBlockIsTurnedUpright) {
    const GrayBitmap bitmap = TenByTen();
    std::vector<uint8_t> block = EncodePackedDib(bitmap, 0, 9, 9, 0);
    std::vector<uint8_t> flipped = block;
    PutLe32(flipped, 8, static_cast<uint32_t>(-10));
    for (size_t row = 0; row < 10; ++row) {
        std::memcpy(&flipped[1064 + row * 12], &block[1064 + (9 - row) * 12], 12);
    }
    EXPECT_EQ(PackedDibSize(flipped).height, -10);
    const auto loaded = DecodePackedDib(flipped);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bitmap.height, 10);
    EXPECT_EQ(loaded->bitmap.At(3, 0), 3);
    EXPECT_EQ(loaded->bitmap.At(3, 9), 93);
}

// The BMP corpus minus its 14-byte file header is a packed DIB of every header variant, as long as
// the pixels follow the table directly.
TEST(PackedDibTest, EveryHeaderVariantDecodesLikeItsBmpFile) {
    const fs::path folder = fs::path(TARKEMO_TEST_DATA) / "bmp" / "good";
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() == "gap_after_table.bmp") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto fromFile = DecodeBmp(file);
        const auto fromBlock = DecodePackedDib(std::vector<uint8_t>(file.begin() + 14, file.end()));
        ASSERT_TRUE(fromFile && fromBlock) << entry.path().filename();
        EXPECT_EQ(fromBlock->bitmap.width, fromFile->bitmap.width);
        EXPECT_EQ(fromBlock->bitmap.height, fromFile->bitmap.height);
        EXPECT_TRUE(std::equal(fromFile->bitmap.pixels.begin(), fromFile->bitmap.pixels.end(),
                               fromBlock->bitmap.pixels.begin()))
            << entry.path().filename();
        EXPECT_EQ(fromBlock->bitmap.colours, fromFile->bitmap.colours) << entry.path().filename();
        EXPECT_EQ(fromBlock->grayRamp, fromFile->grayRamp);
        ++count;
    }
    EXPECT_GE(count, 15);
}

// A header field changed, with what the size query must still report for the 10 x 10 block.
struct Fault {
    const char* what;
    size_t offset;
    int bytes;
    uint32_t value;
    DibSize size;
};

const Fault kFaults[] = {
    {"header size 0", 0, 4, 0, {0, 0}},
    {"header size 64", 0, 4, 64, {0, 0}},
    {"header size huge", 0, 4, 0xFFFFFFF0, {0, 0}},
    {"width 0", 4, 4, 0, {0, 10}},
    {"width negative", 4, 4, 0xFFFFFFFF, {-1, 10}},
    {"height 0", 8, 4, 0, {10, 0}},
    {"height -2^31", 8, 4, 0x80000000, {10, INT32_MIN}},
    {"absurd height", 8, 4, 0x7FFFFFFF, {10, INT32_MAX}},
    {"planes 2", 12, 2, 2, {0, 0}},
    {"24 bits", 14, 2, 24, {0, 0}},
    {"4 bits", 14, 2, 4, {0, 0}},
    {"rle8", 16, 4, 1, {0, 0}},
    {"bitfields", 16, 4, 3, {0, 0}},
    {"colours used 257", 32, 4, 257, {10, 10}},
    {"colours used huge", 32, 4, 0xFFFFFFFF, {10, 10}},
};

std::vector<uint8_t> WithFault(std::vector<uint8_t> block, const Fault& fault) {
    if (fault.bytes == 2) {
        PutLe16(block, fault.offset, static_cast<uint16_t>(fault.value));
    } else {
        PutLe32(block, fault.offset, fault.value);
    }
    return block;
}

// A block with the 12-byte core header, 3-byte table entries and zero pixels.
std::vector<uint8_t> CoreBlock(uint16_t width, uint16_t height) {
    std::vector<uint8_t> block(12 + 768 + static_cast<size_t>(StrideFor(width)) * height, 0);
    PutLe32(block, 0, 12);
    PutLe16(block, 4, width);
    PutLe16(block, 6, height);
    PutLe16(block, 8, 1);
    PutLe16(block, 10, 8);
    return block;
}

TEST(PackedDibTest, FaultyHeadersAreRefusedAndSizedByTheirStoredFields) {
    const std::vector<uint8_t> good = EncodePackedDib(TenByTen(), 0, 9, 9, 0);
    for (const Fault& f : kFaults) {
        const std::vector<uint8_t> block = WithFault(good, f);
        EXPECT_FALSE(DecodePackedDib(block)) << f.what;
        const DibSize size = PackedDibSize(block);
        EXPECT_EQ(size.width, f.size.width) << f.what;
        EXPECT_EQ(size.height, f.size.height) << f.what;
    }
}

// Each prefix goes into a buffer of exactly its size so the sanitizer sees any read beyond it.
TEST(PackedDibTest, EveryShortBlockIsRefused) {
    std::vector<uint8_t> fewColours = EncodePackedDib(TenByTen(), 0, 1, 2, 0);
    PutLe32(fewColours, 32, 16);
    fewColours.erase(fewColours.begin() + 40 + 64, fewColours.begin() + 40 + 1024);
    for (const auto& whole : {EncodePackedDib(TenByTen(), 0, 1, 2, 0), CoreBlock(3, 2), fewColours}) {
        ASSERT_TRUE(DecodePackedDib(whole));
        for (size_t size = 0; size < whole.size(); ++size) {
            const std::vector<uint8_t> prefix(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(size));
            ASSERT_FALSE(DecodePackedDib(prefix)) << "cut to " << size;
        }
    }
}

TEST(PackedDibTest, SizeQueryNeedsOnlyTheHeader) {
    const std::vector<uint8_t> good = EncodePackedDib(TenByTen(), 0, 5, 6, 0);  // 7 x 6
    const std::vector<uint8_t> core = CoreBlock(300, 200);
    const auto prefix = [](const std::vector<uint8_t>& block, ptrdiff_t size) {
        return std::vector<uint8_t>(block.begin(), block.begin() + size);
    };
    const struct {
        const char* what;
        std::vector<uint8_t> block;
        DibSize size;
    } cases[] = {
        {"whole block", good, {7, 6}},
        {"header only", prefix(good, 40), {7, 6}},
        {"core header only", prefix(core, 12), {300, 200}},
        {"empty", {}, {0, 0}},
        {"header cut short", prefix(good, 39), {0, 0}},
        {"core header cut short", prefix(core, 11), {0, 0}},
    };
    for (const auto& c : cases) {
        const DibSize size = PackedDibSize(c.block);
        EXPECT_EQ(size.width, c.size.width) << c.what;
        EXPECT_EQ(size.height, c.size.height) << c.what;
    }
}

}  // namespace
}  // namespace tarkemo
