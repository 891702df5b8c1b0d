// The state of one spectrum run: the image it came from, the padded working bitmap and the seven
// float arrays (unfiltered spectrum, filter, filtered spectrum, work). The desktop editor, the
// inverse dialog and the command line all work on one of these.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "image/gray_bitmap.h"
#include "image/progress.h"
#include "spectrum/complex_field.h"
#include "spectrum/spectrum_size.h"

namespace tarkemo {

inline constexpr const char* kSpectrumNoMemoryText = "Nicht genügend Speicher vorhanden!";
inline constexpr const char* kSpectrumEditTitle = "Tarkemo - Spektrum bearbeiten";

// Largest side of a spectrum grid; larger ones are refused as lack of memory.
inline constexpr int64_t kMaxSpectrumSide = int64_t{1} << 30;

struct FreeFloats {
    void operator()(float* p) const;
};
using FloatArray = std::unique_ptr<float[], FreeFloats>;

// count floats, uninitialised; large arrays are aligned to 2 MiB and offered to the kernel for huge
// pages, so touching them the first time costs few page faults. Null when memory is short.
FloatArray AllocateFloatArray(size_t count);

struct SpectrumContext {
    GrayBitmap* source = nullptr;  // the document's bitmap, not owned; the inverse result goes here
    GrayBitmap working;            // width x height: the padded image, later the editor's display
    int32_t width = 0;             // powers of two
    int32_t height = 0;
    int32_t offsetX = 0;  // grid column of the source's first column
    int32_t offsetY = 0;  // grid row of the source's bottom row
    int32_t fillRule = 0;
    FloatArray spectrumRe, spectrumIm;  // the unfiltered spectrum
    FloatArray filterRe, filterIm;      // the frequency filter
    FloatArray filteredRe, filteredIm;  // spectrum x filter; after the inverse transform the image
    FloatArray work;                    // display values and scratch

    size_t Count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
    ComplexField Spectrum() { return {spectrumRe.get(), spectrumIm.get(), width, height}; }
    ComplexField Filter() { return {filterRe.get(), filterIm.get(), width, height}; }
    ComplexField Filtered() { return {filteredRe.get(), filteredIm.get(), width, height}; }
};

// Bytes a width x height context holds (seven float arrays, the working bitmap, the transform's
// scratch); saturates instead of overflowing.
uint64_t SpectrumContextBytes(int64_t width, int64_t height);

// Allocates the context for `source` in `layout` and makes the working bitmap (the source
// embedded at the offsets, margin by the fill rule); the spectrum real part holds its pixel
// values and the imaginary part 0, untransformed; the other arrays are unset. None when a side
// exceeds kMaxSpectrumSide, the memory needed is not below the machine's physical memory, an
// allocation fails, or the layout does not hold the source (callers check that first): every
// one of these is reported as kSpectrumNoMemoryText. Nothing stays allocated then.
std::optional<SpectrumContext> CreateSpectrumContext(GrayBitmap& source, const SpectrumLayout& layout);

// Forward transform of the unfiltered spectrum (zero frequency at (0, 0), scaled by 1/(W·H)).
// False when `progress` asked to stop.
bool TransformSpectrumForward(SpectrumContext& context, Progress* progress = nullptr);

// What the editor does when it opens: the zero frequency of the spectrum moved to (W/2, H/2), the
// filter 1 + 0i everywhere, the filtered spectrum a copy of the spectrum.
void BeginSpectrumEditing(SpectrumContext& context);

// What follows "Beenden und Rücktransformation": the filtered spectrum shifted back and
// transformed inversely, so it holds the filtered image. False when `progress` asked to stop.
bool FinishSpectrumEditing(SpectrumContext& context, Progress* progress = nullptr);

}  // namespace tarkemo
