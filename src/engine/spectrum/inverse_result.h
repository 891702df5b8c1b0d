// The inverse-transform result: the back-transformed complex image of the context turned into
// new 8-bit pixel values of the source bitmap, over the region that the source occupies in the
// grid, with the settings of the inverse dialog.
#pragma once

#include "image/gray_bitmap.h"
#include "spectrum/complex_field.h"
#include "spectrum/spectrum_context.h"

namespace tarkemo {

// "Pixeldaten erzeugen aus:"
enum class InverseSource {
    kMagnitude,  // "Betrag": √(re² + im²)
    kPhase,      // "Phase": atan2(im, re) + π
    kReal,       // "Realteil"
    kImaginary,  // "Imaginärteil"
};

struct InverseSettings {
    InverseSource source = InverseSource::kReal;
    float add = 0.0f;         // "Vorzeichen: ... addieren"
    bool absolute = false;    // "Betrag bilden"
    float multiplier = 1.0f;  // "Multiplizieren mit"; ignored while normalising
    bool normalise = false;   // "Normalisieren": largest value of the region onto 255 (float factor)
};

// Writes the result into `target` (bw x bh): pixel (c, r) comes from element (offsetX + c,
// offsetY + r) of `image`, which must hold the whole region. v is the chosen source value, plus
// `add` when it is not 0, made absolute when asked, times the multiplier (unless it is exactly 1)
// or normalised; then 0 for v < 0 or NaN, 255 for v · factor >= 256, else v · factor truncated.
// `work` holds image.Count() floats for the values.
void ApplyInverseResult(ConstComplexField image, int32_t offsetX, int32_t offsetY,
                        const InverseSettings& settings, float* work, GrayBitmap& target);

// The same on a context after the inverse transform: the filtered arrays into the source bitmap.
void ApplyInverseResult(SpectrumContext& context, const InverseSettings& settings);

// The inverse dialog keeps the source's earlier pixels in the working bitmap while it previews:
// the source's whole pixel buffer (stride × height bytes, which the larger working bitmap always
// holds) is copied there, and back on cancel.
void BackupSourcePixels(SpectrumContext& context);
void RestoreSourcePixels(SpectrumContext& context);

}  // namespace tarkemo
