#include "image/palettes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

struct EntryCase {
    int index;
    int blue, green, red;
};

void ExpectEntries(const ColourTable& table, std::initializer_list<EntryCase> cases, const char* what) {
    for (const EntryCase& c : cases) {
        EXPECT_EQ(table[c.index], (ColourEntry{static_cast<uint8_t>(c.blue), static_cast<uint8_t>(c.green),
                                               static_cast<uint8_t>(c.red), 0}))
            << what << " entry " << c.index;
    }
}

TEST(PalettesTest, RainbowRamps) {
    ExpectEntries(RainbowTable(),
                  {{0, 0, 0, 0},
                   {1, 4, 0, 0},
                   {63, 252, 0, 0},
                   {64, 255, 0, 0},
                   {65, 251, 4, 0},
                   {127, 3, 252, 0},
                   {128, 0, 255, 0},
                   {191, 0, 255, 252},
                   {192, 0, 255, 255},
                   {255, 0, 3, 255}},
                  "rainbow");
}

TEST(PalettesTest, DoubleRainbowSecondCopyStartsFromRed) {
    const ColourTable table = DoubleRainbowTable();
    ExpectEntries(table,
                  {{0, 0, 0, 0},
                   {31, 248, 0, 0},
                   {32, 255, 0, 0},
                   {63, 7, 248, 0},
                   {64, 0, 255, 0},
                   {96, 0, 255, 255},
                   {127, 0, 7, 255},
                   {128, 0, 0, 255},
                   {159, 248, 0, 7},
                   {160, 255, 0, 0},
                   {255, 0, 7, 255}},
                  "double rainbow");
    for (int i = 32; i < 128; ++i) EXPECT_EQ(table[i + 128], table[i]) << i;
}

TEST(PalettesTest, ContourLinesBandsAndGrayElsewhere) {
    const ColourTable table = ContourLinesTable();
    ExpectEntries(table,
                  {{252, 252, 252, 252},
                   {253, 0, 0, 255},
                   {255, 0, 0, 255},
                   {235, 0, 255, 0},
                   {215, 255, 0, 0},
                   {195, 255, 255, 0},
                   {175, 255, 0, 255},
                   {155, 0, 255, 255},
                   {135, 0, 0, 255},
                   {35, 0, 255, 255},
                   {33, 0, 255, 255},
                   {32, 32, 32, 32},
                   {0, 0, 0, 0}},
                  "contour");
    std::set<int> coloured;
    for (int i = 0; i < 256; ++i) {
        const ColourEntry& e = table[i];
        if (e.blue != i || e.green != i || e.red != i) coloured.insert(i);
    }
    EXPECT_EQ(coloured.size(), 36u);
}

TEST(PalettesTest, TopValueRedChangesOnlyEntry255) {
    GrayBitmap image = testimages::MakeNoiseImage(3, 3);
    ApplyRainbowPalette(image);
    const ColourTable before = image.colours;
    MarkTopValueRed(image);
    for (int i = 0; i < 255; ++i) EXPECT_EQ(image.colours[i], before[i]);
    EXPECT_EQ(image.colours[255], (ColourEntry{0, 0, 255, 0}));
}

TEST(PalettesTest, GrayValuesFromIntensityRewritesEveryByteIncludingPadding) {
    GrayBitmap image = *CreateGrayBitmap(3, 2);  // stride 4: one padding byte per row
    ApplyRainbowPalette(image);
    const uint8_t values[] = {64, 0, 255, 128, 1, 2, 127, 64};
    for (size_t i = 0; i < 8; ++i) image.pixels[i] = values[i];
    GrayValuesFromIntensity(image);
    const GrayLevels levels = IntensityLevels(RainbowTable());
    EXPECT_EQ(image.pixels[0], 85);  // (255 + 0 + 0) / 3
    EXPECT_EQ(image.pixels[1], 0);
    EXPECT_EQ(image.pixels[3], levels[128]);  // padding byte too
    EXPECT_EQ(image.pixels[7], 85);
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(image.pixels[i], levels[values[i]]) << i;
    EXPECT_TRUE(IsIdentityGrayRamp(image.colours));
}

TEST(PalettesTest, IntensityLevelsOfEveryIndexAgainstTheFormula) {
    ColourTable table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = ColourEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                               static_cast<uint8_t>((i * 7) & 255), 0};
    }
    const GrayLevels levels = IntensityLevels(table);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(levels[i], (i + (255 - i) + ((i * 7) & 255)) / 3) << i;
}

TEST(PalettesTest, ApplyGrayLevelsMapsPixelsButNotPadding) {
    GrayBitmap image = *CreateGrayBitmap(3, 2);
    ApplyContourLinesPalette(image);
    for (size_t i = 0; i < 8; ++i) image.pixels[i] = static_cast<uint8_t>(10 * i);
    GrayLevels inverse{};
    for (int i = 0; i < 256; ++i) inverse[i] = static_cast<uint8_t>(255 - i);
    ApplyGrayLevels(image, inverse);
    EXPECT_EQ(image.At(0, 0), 255);
    EXPECT_EQ(image.At(2, 0), 235);
    EXPECT_EQ(image.pixels[3], 30);  // padding untouched
    EXPECT_EQ(image.At(0, 1), 215);
    EXPECT_TRUE(IsIdentityGrayRamp(image.colours));
}

TEST(PalettesTest, BuiltInCommandsAndTheirGrayRampState) {
    std::set<std::string_view> names;
    for (const BuiltInPaletteInfo& info : BuiltInPalettes()) {
        names.insert(info.cliName);
        GrayBitmap image = testimages::MakeNoiseImage(5, 4);
        ApplyRainbowPalette(image);
        ApplyBuiltInPalette(image, info.palette);
        EXPECT_EQ(IsIdentityGrayRamp(image.colours), info.grayRampAfter) << info.undoName;
    }
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(BuiltInPalettes()[4].undoName, "Regenbogen");
    EXPECT_EQ(BuiltInPalettes()[4].commandId, 40108);
}

}  // namespace
}  // namespace tarkemo
