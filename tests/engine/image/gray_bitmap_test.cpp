#include "image/gray_bitmap.h"

#include <gtest/gtest.h>

namespace tarkemo {
namespace {

TEST(GrayBitmapTest, StrideRoundsWidthUpToFourBytes) {
    const struct {
        int64_t width;
        int64_t stride;
    } cases[] = {{1, 4}, {2, 4},       {4, 4},       {5, 8},
                 {8, 8}, {1023, 1024}, {1024, 1024}, {2147483647, 2147483648}};
    for (const auto& c : cases) EXPECT_EQ(StrideFor(c.width), c.stride) << "width " << c.width;
}

TEST(GrayBitmapTest, SizeLimitKeepsThePixelBufferBelowTwoGibibytes) {
    const struct {
        int64_t width;
        int64_t height;
        bool allowed;
    } cases[] = {
        {1, 1, true},          {0, 1, false},          {1, 0, false},          {-1, 1, false},
        {1, -1, false},        {65536, 32767, true},   {65536, 32768, false},  // 2^31 bytes
        {2147483644, 1, true}, {2147483645, 1, false},                         // stride 2^31
        {4, 536870911, true},  {4, 536870912, false},  {1, 2147483648, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BitmapSizeAllowed(c.width, c.height), c.allowed) << c.width << " x " << c.height;
    }
}

TEST(GrayBitmapTest, CreateRefusesSidesBelowOne) {
    const struct {
        int32_t width;
        int32_t height;
    } cases[] = {{0, 1}, {1, 0}, {-5, 3}, {3, -5}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_FALSE(CreateGrayBitmap(c.width, c.height).has_value()) << c.width << " x " << c.height;
    }
}

TEST(GrayBitmapTest, OnePixelBitmapHasFourBytePaddedRow) {
    const auto bitmap = CreateGrayBitmap(1, 1);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->stride, 4);
    EXPECT_EQ(bitmap->pixels.size(), 4u);
    EXPECT_EQ(bitmap->xPelsPerMeter, 0);
    EXPECT_EQ(bitmap->yPelsPerMeter, 0);
}

TEST(GrayBitmapTest, RowsAreStoredBottomUpWithPadding) {
    auto bitmap = CreateGrayBitmap(5, 2);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->stride, 8);
    ASSERT_EQ(bitmap->pixels.size(), 16u);
    for (uint8_t value : bitmap->pixels) EXPECT_EQ(value, 0);
    bitmap->At(0, 0) = 11;  // bottom-left
    bitmap->At(0, 1) = 22;  // top-left of the image
    bitmap->At(4, 1) = 33;
    EXPECT_EQ(bitmap->pixels[0], 11);
    EXPECT_EQ(bitmap->pixels[8], 22);
    EXPECT_EQ(bitmap->pixels[12], 33);
}

TEST(GrayBitmapTest, NewBitmapShowsBlackToWhite) {
    const auto bitmap = CreateGrayBitmap(3, 3);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->colours[0], (ColourEntry{0, 0, 0, 0}));
    EXPECT_EQ(bitmap->colours[255], (ColourEntry{255, 255, 255, 0}));
    EXPECT_TRUE(IsIdentityGrayRamp(bitmap->colours));
}

TEST(GrayBitmapTest, GivenTableIsCopiedWithReservedBytesCleared) {
    ColourTable table{};
    for (int i = 0; i < 256; ++i) table[i] = ColourEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0x77};
    const auto bitmap = CreateGrayBitmap(2, 2, &table);
    ASSERT_TRUE(bitmap);
    ColourTable copy{};
    ReadColourTable(*bitmap, copy);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(copy[i], (ColourEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0})) << i;
    }
}

TEST(GrayBitmapTest, SetColourEntryTakesIndexModulo256AndBgrValue) {
    const struct {
        int index;
        uint32_t colour;
        int entry;
        ColourEntry expected;
    } cases[] = {
        {7, 0x000000FF, 7, {0, 0, 255, 0}},            // 255 is pure red
        {511, 0x00FF0000, 255, {255, 0, 0, 0}},        // blue in bits 16..23
        {256, 0x0000FF00, 0, {0, 255, 0, 0}},          // green in bits 8..15
        {-1, 0xFF123456, 255, {0x12, 0x34, 0x56, 0}},  // top byte ignored
    };
    for (const auto& c : cases) {
        auto bitmap = CreateGrayBitmap(1, 1);
        ASSERT_TRUE(bitmap);
        SetColourEntry(*bitmap, c.index, c.colour);
        EXPECT_EQ(bitmap->colours[c.entry], c.expected) << "index " << c.index;
        for (int i = 0; i < 256; ++i) {
            if (i == c.entry) continue;
            EXPECT_EQ(bitmap->colours[i].red, i) << "index " << c.index << " touched " << i;
        }
    }
}

TEST(GrayBitmapTest, IdentityRampComparesEveryChannelButNotTheReservedByte) {
    const struct {
        const char* what;
        int entry;
        ColourEntry value;
        bool identity;
    } cases[] = {
        {"ramp itself", 0, {0, 0, 0, 0}, true},
        {"reserved byte set", 100, {100, 100, 100, 9}, true},
        {"gray but not its index", 10, {20, 20, 20, 0}, false},
        {"red differs", 7, {7, 7, 8, 0}, false},
        {"blue differs in the last entry", 255, {254, 255, 255, 0}, false},
    };
    for (const auto& c : cases) {
        ColourTable table = GrayRampTable();
        table[c.entry] = c.value;
        EXPECT_EQ(IsIdentityGrayRamp(table), c.identity) << c.what;
    }
}

TEST(GrayBitmapTest, GrayMappingAndRampReplaceTheWholeTable) {
    auto bitmap = CreateGrayBitmap(1, 1);
    ASSERT_TRUE(bitmap);
    std::array<uint8_t, 256> levels{};
    for (int i = 0; i < 256; ++i) levels[i] = static_cast<uint8_t>(255 - i);
    SetGrayMapping(*bitmap, levels);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(255 - i);
        EXPECT_EQ(bitmap->colours[i], (ColourEntry{v, v, v, 0}));
    }
    EXPECT_FALSE(IsIdentityGrayRamp(bitmap->colours));
    SetGrayRamp(*bitmap);
    EXPECT_TRUE(IsIdentityGrayRamp(bitmap->colours));
}

}  // namespace
}  // namespace tarkemo
