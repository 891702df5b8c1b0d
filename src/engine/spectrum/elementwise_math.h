// The per-element transcendental functions of the spectrum display and the inverse result
// (phase, power law, natural logarithm) on whole float arrays. Each value is computed in double
// precision, several lanes at a time, and rounded to float once; it agrees with the scalar
// formula (the Reference* functions) except, rarely, by one unit in the last place of the float.
#pragma once

#include <cstddef>

namespace tarkemo {

// π as the float 3.1415927, which the phase adds to atan2.
inline constexpr float kPhaseOffset = 3.1415927f;

// out[i] = atan2(im[i], re[i]) + kPhaseOffset, in 0 .. 2π; NaN where an input is NaN.
void PhaseArray(const float* re, const float* im, float* out, size_t count);

// values[i] = values[i]^exponent for values >= 0 (0 stays 0, +inf stays +inf), NaN for NaN and for
// negative values; exponent > 0 and finite.
void PowerArray(float* values, size_t count, float exponent);

// values[i] = ln(values[i]) where values[i] > 0 (+inf stays +inf), floorValue elsewhere (0, negative, NaN).
void LogArray(float* values, size_t count, float floorValue);

// pixels[i] = (values[i] − min) · factor in double precision, truncated: 0 for NaN and values
// at or below 0, 255 for 255 and above (also +inf). factor >= 0.
void ToPixels(const float* values, size_t count, float min, float factor, unsigned char* pixels);

// Largest and smallest value and smallest value above 0, NaN skipped (-inf, +inf and +inf when
// there is none).
struct ValueRange {
    float max;
    float min;
    float smallestPositive;
};
ValueRange RangeOf(const float* values, size_t count);

// The scalar formulas, through the C library in double precision.
float ReferencePhase(float re, float im);
float ReferencePower(float value, float exponent);
float ReferenceLog(float value, float floorValue);

}  // namespace tarkemo
