// The constructions of the spectrum editor's filter menu: reset, copy, the Gauss filter and the
// pass and stop shapes taken from a marking, multiplication by a complex number, point
// reflection, conjugation, reciprocal and the import of a bitmap. All work on the filter in the
// centred layout (zero frequency at (W/2, H/2), row 0 at the bottom); values are computed in
// double precision and stored as floats.
#pragma once

#include "document/marking.h"
#include "image/gray_bitmap.h"
#include "spectrum/complex_field.h"

namespace tarkemo {

inline constexpr const char* kReciprocalZeroText =
    "Reziproke Amplituden können nicht gebildet werden. Division durch Null!";
inline constexpr const char* kFilterImportTitle = "Tarkemo - Filter importieren";
inline constexpr const char* kFilterImportReadErrorText =
    "Fehler beim Öffnen der Bitmap-Datei! Falsches Format?";
inline constexpr const char* kFilterImportSizeErrorText = "Bitmap hat nicht die korrekte Größe!";

// The shapes built from the marking. Pass shapes set 1 + 0i, stop shapes 0 + 0i; every other
// element keeps its value. "Inside" is the marking rectangle (elliptic: its points with e <= 1),
// "outside" the rest of the grid (elliptic: every grid point with e >= 1), where
// e = (x - cx)²/ax² + (y - cy)²/ay² with the marking's centre and half-sizes.
enum class FilterShape {
    kPassInsideEllipse,   // "Transmission innerhalb Markierung", elliptic
    kPassInsideRect,      // "Transmission innerhalb Markierung", rectangular
    kPassOutsideEllipse,  // "Transmission außerhalb Markierung", elliptic
    kPassOutsideRect,     // "Transmission außerhalb Markierung", rectangular
    kHighPassEllipse,     // stop inside, elliptic
    kHighPassRect,        // stop inside, rectangular
    kLowPassEllipse,      // stop outside, elliptic
    kLowPassRect,         // stop outside, rectangular
};

// Which parts of the filter an imported bitmap sets.
enum class FilterImportPart {
    kWhole,     // real = pixel / 255, imaginary = 0
    kReal,      // real = pixel / 255, imaginary unchanged
    kImaginary  // imaginary = pixel / 255, real unchanged
};

// Every element 1 + 0i.
void ResetFilter(ComplexField filter);

// filter = source element by element (same size).
void CopyField(ComplexField filter, ConstComplexField source);

// Every element exp(-e(x, y)) + 0i for the marking (ordered edges, inside the grid).
void ApplyGaussFilter(ComplexField filter, const Marking& marking);

// One of the eight pass and stop shapes from the marking (ordered edges, inside the grid).
void ApplyFilterShape(ComplexField filter, const Marking& marking, FilterShape shape);

// Every element f = f · (a + bi). False, with nothing changed, when a + bi is exactly 1 + 0i.
bool MultiplyFilter(ComplexField filter, float a, float b);

// Point reflection through the zero frequency: element (x, y) takes the value of
// ((W - x) mod W, (H - y) mod H); row 0 and column 0 are reflected within themselves.
void ReflectFilter(ComplexField filter);

// Every imaginary part negated.
void ConjugateFilter(ComplexField filter);

// Every element f = 1 / f, with m = re² + im² stored in `work` (Count() floats) on the way. False,
// with the filter unchanged, when some m is 0 (kReciprocalZeroText).
bool ReciprocalFilter(ComplexField filter, float* work);

// Sets the filter from a bitmap of exactly W x H pixels: the palette index at column x of stored
// row y, divided by 255, goes to element (x, y). False, with the filter unchanged, when the
// bitmap has another size (kFilterImportSizeErrorText).
bool ImportFilterBitmap(ComplexField filter, const GrayBitmap& bitmap, FilterImportPart part);

}  // namespace tarkemo
