// The values that dialogs and commands remember while the program runs. Nothing is stored between
// runs: every field starts from the value given here when the main window is created.
#pragma once

#include <cstdint>
#include <string>

#include "document/palette_mapping.h"
#include "particles/particle_params.h"

namespace tarkemo {

// The entries of the size dialog: the resize command keeps one instance, the manual spectrum size
// another. Width and height are set from the image each time the resize command runs.
struct SizeSettings {
    int32_t width = 0;
    int32_t height = 0;
    int32_t offsetX = 0;  // distance of the old image from the new left edge
    int32_t offsetY = 0;  // distance of the old image from the new bottom edge
    bool centreX = true;
    bool centreY = true;
    int32_t fillRule = 0;  // margin fill rule of the border extension (-4 ... 256)
};

struct AppSettings {
    int penIndexLeft = 255;  // palette index drawn with the left mouse button
    int penIndexRight = 0;   // palette index drawn with the right mouse button
    int penSize = 2;         // 1 ... 9, the pen is penSize x penSize pixels
    SizeSettings resize;     // remembered entries of the resize command
    SizeSettings spectrumSize{1024, 1024, 0, 0, false, false, 0};
    ParticleParams particles;
    std::string linearFilterPath;      // file of the current linear filter; built-in kernels empty it
    std::string rgbPaletteFileName;    // last RGB palette file loaded or exported
    std::string secondBitmapFileName;  // last second image of the two-bitmap commands and the export
    ColourRange paletteRange;          // the palette editor's marked colour range, kept between openings
};

}  // namespace tarkemo
