// The built-in palettes: colour tables computed on the spot (gray ramp, rainbow, double rainbow,
// contour lines, top value red) and the two pixel rewrites that turn a mapped or coloured view
// into gray pixel values (gray values from intensity, applying a gray-level mapping).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "image/gray_bitmap.h"

namespace tarkemo {

// A new gray value for every old gray value, as the palette editor and the .pal files hold it.
using GrayLevels = std::array<uint8_t, 256>;

enum class BuiltInPalette { kGray, kIntensity, kTopRed, kContourLines, kRainbow, kDoubleRainbow };

// What the program knows about each built-in palette command.
struct BuiltInPaletteInfo {
    BuiltInPalette palette;
    int commandId;              // the menu command
    std::string_view undoName;  // recorded with the undo snapshot
    std::string_view cliName;   // the name of tarkemo-cli's palette=NAME step
    bool grayRampAfter;         // whether the table is the identity gray ramp afterwards
};

// The six commands in menu order.
std::span<const BuiltInPaletteInfo> BuiltInPalettes();

// Four ramps of 64 entries: black to blue to green to yellow to red.
ColourTable RainbowTable();

// The rainbow in 128 entries, twice; the second copy starts from red instead of black.
ColourTable DoubleRainbowTable();

// The gray ramp with twelve coloured bands of three entries, 20 apart, from entry 255 down to 33.
ColourTable ContourLinesTable();

// For every index the mean of its entry's blue, green and red, truncated.
GrayLevels IntensityLevels(const ColourTable& table);

void ApplyRainbowPalette(GrayBitmap& bitmap);
void ApplyDoubleRainbowPalette(GrayBitmap& bitmap);
void ApplyContourLinesPalette(GrayBitmap& bitmap);

// Entry 255 becomes pure red; the other entries stay.
void MarkTopValueRed(GrayBitmap& bitmap);

// Rewrites every byte of the pixel buffer (row padding included) to the intensity of its colour,
// then sets the gray ramp: the image keeps its look in gray.
void GrayValuesFromIntensity(GrayBitmap& bitmap);

// Replaces every pixel p (padding excluded) by levels[p] and sets the gray ramp.
void ApplyGrayLevels(GrayBitmap& bitmap, const GrayLevels& levels);

// Runs one built-in palette command on the bitmap (without undo; the caller records it).
void ApplyBuiltInPalette(GrayBitmap& bitmap, BuiltInPalette palette);

}  // namespace tarkemo
