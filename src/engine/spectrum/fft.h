// The two-dimensional fast Fourier transform of the spectrum subsystem, on split float arrays
// (real and imaginary part apart), row-major with row 0 the bottom row of the image, and the
// cyclic shift that moves the zero frequency between (0, 0) and the middle of the grid.
#pragma once

#include "image/progress.h"

namespace tarkemo {

// In-place transform of `re`/`im` (width·height floats each). Width and height are powers of two
// (at least 2). sign +1: forward, X[k] = Σ x[m]·e^(−2πi·mk/n), every element divided by width·height
// afterwards; sign −1: inverse, e^(+2πi·mk/n), unscaled, so inverse(forward(x)) = x. The result does
// not depend on the number of threads. False, with the arrays unchanged, when the sizes are not
// powers of two or the working memory cannot be had; false with the arrays in an unspecified state
// when `progress` asked to stop.
bool Fft2D(float* re, float* im, int width, int height, int sign, Progress* progress = nullptr);

// Cyclic shift by half the width and half the height: element (x, y) and element
// ((x + W/2) mod W, (y + H/2) mod H) change places. `scratch` holds width·height floats.
// direction +1 puts the zero frequency at (W/2, H/2), −1 moves it back; for even sizes both are
// the same permutation.
void ShiftSpectrum(float* re, float* im, float* scratch, int width, int height, int direction);

}  // namespace tarkemo
