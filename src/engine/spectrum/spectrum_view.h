// The spectrum editor's display without the window: one complex field of the context turned
// into 8-bit pixel values of the working bitmap, as squared magnitude, phase or the magnitude of
// one part, on a power-law or a logarithmic (dB) scale stretched onto 0 .. 255.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"
#include "spectrum/complex_field.h"
#include "spectrum/spectrum_context.h"

namespace tarkemo {

enum class SpectrumViewField { kSpectrum, kFilter, kFiltered };

enum class SpectrumQuantity {
    kMagnitude,           // "Betrag": re² + im² (no square root)
    kPhase,               // "Phase": atan2(im, re) + π, 0 .. 2π
    kRealMagnitude,       // "Betrag des Realteils": |re|
    kImaginaryMagnitude,  // "Betrag des Imaginärteils": |im|
};

enum class SpectrumScale {
    kPowerLaw,  // q^exponent, 0 .. max onto 0 .. 255
    kDecibel,   // ln q (values <= 0 at ln(smallest positive / 10)), min .. max onto 0 .. 255
};

struct SpectrumViewSettings {
    SpectrumViewField field = SpectrumViewField::kSpectrum;
    SpectrumQuantity quantity = SpectrumQuantity::kMagnitude;
    SpectrumScale scale = SpectrumScale::kPowerLaw;
    float exponent = 0.1f;  // power-law exponent, > 0
};

// filtered = spectrum × filter, element by element (complex product in double precision).
void MultiplySpectrumByFilter(SpectrumContext& context);

// Draws `field` into `target` (same width x height) using `work` (Count() floats) for the display
// values: the quantity, then the scale with a float factor (255 / max, or 255 / (max − min)), then
// (q − min) · factor truncated. NaN becomes 0, values of 255 and above (also +inf) 255; a largest
// value of +inf makes the factor 0. The colour table is not touched.
void RenderComplexField(ConstComplexField field, const SpectrumViewSettings& settings, float* work,
                        GrayBitmap& target);

// The editor's re-render: with `recompute` the filtered spectrum is first recomputed from the
// spectrum and the filter; then the chosen field is drawn into the working bitmap.
void RenderSpectrumView(SpectrumContext& context, const SpectrumViewSettings& settings, bool recompute);

}  // namespace tarkemo
