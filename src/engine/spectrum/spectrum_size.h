// How large the spectrum grid is and where the image lies in it: the automatic rule (one and a
// half times each side, up to the next power of two) and the manual rule from the remembered
// size settings, with the two refusals of the manual rule.
#pragma once

#include <cstdint>
#include <optional>

#include "document/app_settings.h"

namespace tarkemo {

// Grid of the spectrum: width x height (powers of two), the image's first column at offsetX and
// its bottom row at offsetY, the margin filled by fillRule (the border extension's rules).
// Computed in 64 bits; a side may exceed what can be allocated (see CreateSpectrumContext).
struct SpectrumLayout {
    int64_t width = 0;
    int64_t height = 0;
    int64_t offsetX = 0;
    int64_t offsetY = 0;
    int32_t fillRule = 0;
    friend bool operator==(const SpectrumLayout&, const SpectrumLayout&) = default;
};

enum class SpectrumSizeError {
    kNone,
    kTooSmall,       // the manual size is narrower or lower than the image
    kOffsetTooLarge  // the manual offsets push the image out of the grid
};

inline constexpr const char* kSpectrumSizeErrorText =
    "Die aktuelle Bitmap ist höher oder breiter als die entsprechende manuelle Angabe der Größe für das "
    "Spektrum! Kontrollieren Sie bitte Ihre Angaben unter 'Größe manuell festlegen...'!";
inline constexpr const char* kSpectrumSizeErrorTitle = "Spektrum berechnen - Fehlerhafte Größenangabe";
inline constexpr const char* kSpectrumOffsetErrorText =
    "Die in 'Größe manuell festlegen...' angegebenen Offsets sind zu groß. Bei dieser Einstellung würde "
    "sich die aktuelle Bitmap zum Teil ausserhalb des darstellbaren Bereichs befinden und teilweise "
    "abgeschnitten! Kontrollieren Sie bitte Ihre Angaben unter 'Größe manuell festlegen...'!";
inline constexpr const char* kSpectrumOffsetErrorTitle = "Spektrum berechnen - Fehlerhafte Offsetangabe";

// The smallest power of two (at least 2) strictly greater than side + side/2, for side >= 1.
int64_t AutomaticSpectrumSide(int64_t side);

// Automatic rule: each side by AutomaticSpectrumSide, image in the lower-left corner, margin 0.
SpectrumLayout AutomaticSpectrumLayout(int64_t imageWidth, int64_t imageHeight);

// Manual rule: the settings' width and height; centred offsets ((size - side) / 2) where centreX /
// centreY are on, else the settings' offsets; the settings' fill rule. None, with `error` set,
// when the image is wider or higher than the size (kTooSmall, tested first) or does not fit at
// the offsets (kOffsetTooLarge). Width and height are not checked for being powers of two here.
std::optional<SpectrumLayout> ManualSpectrumLayout(const SizeSettings& settings, int64_t imageWidth,
                                                   int64_t imageHeight, SpectrumSizeError& error);

// True when n is a power of two of at least 2.
bool IsSpectrumSide(int64_t n);

}  // namespace tarkemo
