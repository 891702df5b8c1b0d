// The values that dialogs and commands remember while the program runs. Nothing is stored between
// runs: every field starts from the value given here when the main window is created.
#pragma once

#include <cstdint>
#include <string>

#include "document/local_op_settings.h"
#include "document/marking.h"
#include "document/palette_mapping.h"
#include "document/size_settings.h"
#include "particles/particle_params.h"

namespace tarkemo {

// What the spectrum editor keeps between its openings.
struct SpectrumEditorMemory {
    bool manualSize = false;  // "Größe manuell festlegen" checked instead of "automatisch"
    float exponent = 0.1f;    // exponent of the power-law scale
    std::string fftFileName;  // shared by the five .FFT commands
    std::string bmpFileName;  // bitmap save and the bitmap imports
    std::string rgbFileName;  // false-colour palette files
    Marking lastManualEntry;  // the manual marking dialog's last entry, all 0 at start
};

struct AppSettings {
    int penIndexLeft = 255;  // palette index drawn with the left mouse button
    int penIndexRight = 0;   // palette index drawn with the right mouse button
    int penSize = 2;         // 1 ... 9, the pen is penSize x penSize pixels
    SizeSettings resize;     // remembered entries of the resize command
    SizeSettings spectrumSize{1024, 1024, 0, 0, false, false, 0};
    ParticleParams particles;
    LocalOpSettings localOps;          // shared by the local normalisation and the rank filter
    uint8_t bitConstant = 0;           // the constant of AND, OR and XOR, kept between uses
    std::string linearFilterPath;      // file of the current linear filter; built-in kernels empty it
    std::string rgbPaletteFileName;    // last RGB palette file loaded or exported
    std::string secondBitmapFileName;  // last second image of the two-bitmap commands and the export
    ColourRange paletteRange;          // the palette editor's marked colour range, kept between openings
    SpectrumEditorMemory spectrumEditor;
};

}  // namespace tarkemo
