#include "image/palettes.h"

namespace tarkemo {

namespace {

constexpr BuiltInPaletteInfo kBuiltInPalettes[] = {
    {BuiltInPalette::kGray, 40105, "Grauwerte-Palette einsetzen", "gray", true},
    {BuiltInPalette::kIntensity, 40110, "Grauwerte aus Intensität berechnen", "intensity", true},
    {BuiltInPalette::kTopRed, 40104, "Obersten Palettenwert rot markieren", "top-red", false},
    {BuiltInPalette::kContourLines, 40151, "Höhenlinien", "contour", false},
    {BuiltInPalette::kRainbow, 40108, "Regenbogen", "rainbow", false},
    {BuiltInPalette::kDoubleRainbow, 40149, "Doppelter Regenbogen", "double-rainbow", false},
};

ColourEntry Bgr(int blue, int green, int red) {
    return ColourEntry{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 0};
}

// One rainbow ramp position: `step` is 4 for the 256-entry rainbow and 8 for the 128-entry one,
// i the index within the rainbow (0 .. 256 / step * 4 - 1).
ColourEntry RainbowEntry(int i, int step) {
    const int v = step * i;  // 0 .. 1020
    if (v < 256) return Bgr(v, 0, 0);
    if (v < 512) return Bgr(255 - (v - 256), v - 256, 0);
    if (v < 768) return Bgr(0, 255, v - 512);
    return Bgr(0, 255 - (v - 768), 255);
}

}  // namespace

std::span<const BuiltInPaletteInfo> BuiltInPalettes() {
    return kBuiltInPalettes;
}

ColourTable RainbowTable() {
    ColourTable table{};
    for (int i = 0; i < 256; ++i) table[i] = RainbowEntry(i, 4);
    return table;
}

ColourTable DoubleRainbowTable() {
    ColourTable table{};
    for (int i = 0; i < 128; ++i) {
        table[i] = RainbowEntry(i, 8);
        table[i + 128] = table[i];
    }
    // The second copy's first ramp runs from red to blue instead of from black.
    for (int i = 0; i < 32; ++i) table[i + 128] = Bgr(8 * i, 0, 255 - 8 * i);
    return table;
}

ColourTable ContourLinesTable() {
    ColourTable table = GrayRampTable();
    for (int k = 0; k < 12; ++k) {
        const int c = k % 6;
        const int red = (c == 0 || c == 4 || c == 5) ? 255 : 0;
        const int green = (c == 1 || c == 3 || c == 5) ? 255 : 0;
        const int blue = (c == 2 || c == 3 || c == 4) ? 255 : 0;
        for (int j = 0; j < 3; ++j) table[255 - j - 20 * k] = Bgr(blue, green, red);
    }
    return table;
}

GrayLevels IntensityLevels(const ColourTable& table) {
    GrayLevels levels{};
    for (int v = 0; v < 256; ++v) {
        levels[v] = static_cast<uint8_t>((table[v].blue + table[v].green + table[v].red) / 3);
    }
    return levels;
}

void ApplyRainbowPalette(GrayBitmap& bitmap) {
    WriteColourTable(bitmap, RainbowTable());
}

void ApplyDoubleRainbowPalette(GrayBitmap& bitmap) {
    WriteColourTable(bitmap, DoubleRainbowTable());
}

void ApplyContourLinesPalette(GrayBitmap& bitmap) {
    WriteColourTable(bitmap, ContourLinesTable());
}

void MarkTopValueRed(GrayBitmap& bitmap) {
    SetColourEntry(bitmap, 255, 0x0000FF);
}

void GrayValuesFromIntensity(GrayBitmap& bitmap) {
    const GrayLevels levels = IntensityLevels(bitmap.colours);
    for (uint8_t& byte : bitmap.pixels) byte = levels[byte];
    SetGrayRamp(bitmap);
}

void ApplyGrayLevels(GrayBitmap& bitmap, const GrayLevels& levels) {
    for (int32_t y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < bitmap.width; ++x) row[x] = levels[row[x]];
    }
    SetGrayRamp(bitmap);
}

void ApplyBuiltInPalette(GrayBitmap& bitmap, BuiltInPalette palette) {
    switch (palette) {
        case BuiltInPalette::kGray:
            SetGrayRamp(bitmap);
            break;
        case BuiltInPalette::kIntensity:
            GrayValuesFromIntensity(bitmap);
            break;
        case BuiltInPalette::kTopRed:
            MarkTopValueRed(bitmap);
            break;
        case BuiltInPalette::kContourLines:
            ApplyContourLinesPalette(bitmap);
            break;
        case BuiltInPalette::kRainbow:
            ApplyRainbowPalette(bitmap);
            break;
        case BuiltInPalette::kDoubleRainbow:
            ApplyDoubleRainbowPalette(bitmap);
            break;
    }
}

}  // namespace tarkemo
