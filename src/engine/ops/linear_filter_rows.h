// The row kernels of the linear filter engine: the correlation sums of a few output rows at a time,
// vectorised across pixels while each pixel's sum keeps the order of the kernel (rows from the
// bottom, columns from the left), so the result does not depend on the instruction set. Sums are
// taken in double precision, or in single precision where that is exact (see the engine).
#pragma once

#include <cstdint>

namespace tarkemo {

// Row lengths of the sums must be multiples of this many pixels.
inline constexpr int32_t kCorrelationBlock = 64;

// Output rows computed together when a band has that many left.
inline constexpr int32_t kRowsAtOnce = 4;

// dst[x] = src[x] for x in 0 ... count-1.
void ConvertRow(const uint8_t* src, int32_t count, double* dst);
void ConvertRow(const uint8_t* src, int32_t count, float* dst);

// For output rows r = 0 ... rowCount-1 (rowCount 1 ... kRowsAtOnce) and x = 0 ... count-1:
// sums[r][x] = sum over i < kernelHeight, j < kernelWidth of rows[r + i][x + j] * coefficients[i *
// kernelWidth + j], accumulated in that order from 0. count is a multiple of kCorrelationBlock and every
// source row is readable up to count + kernelWidth - 1.
void CorrelateRows(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                   int32_t kernelHeight, int32_t rowCount, int32_t count, double* const* sums);
void CorrelateRows(const float* const* rows, const float* coefficients, int32_t kernelWidth,
                   int32_t kernelHeight, int32_t rowCount, int32_t count, float* const* sums);

// Instruction sets the row sums are compiled for; all give bit-identical sums.
enum class RowIsa { kBaseline, kAvx2, kAvx512 };

bool RowIsaSupported(RowIsa isa);

// CorrelateRows with the given instruction set (the baseline when the processor lacks it).
void CorrelateRowsWith(RowIsa isa, const double* const* rows, const double* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t rowCount, int32_t count, double* const* sums);
void CorrelateRowsWith(RowIsa isa, const float* const* rows, const float* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t rowCount, int32_t count, float* const* sums);

// values[x] = float(sums[x] / divisors[x] + addOffset) computed in double precision, then the sign
// rule (kSignKeep, kSignAbs, kSignNegativeToZero). With `multiply` the divisors array holds the
// reciprocals of powers of two instead, for which the product equals the quotient exactly. When
// `pixels` is given, the values go through ValuesToPixels into it instead of into `values`.
void ScaleRow(const double* sums, const double* divisors, bool multiply, float addOffset, int32_t sign,
              int32_t count, float* values, uint8_t* pixels);
void ScaleRow(const float* sums, const double* divisors, bool multiply, float addOffset, int32_t sign,
              int32_t count, float* values, uint8_t* pixels);

// pixels[x] = values[x] clamped to 0 ... 255 and truncated; NaN becomes 0.
void ValuesToPixels(const float* values, int32_t count, uint8_t* pixels);

// The smallest and largest of values[0 ... count-1] (count >= 1, none of them NaN).
void RowRange(const float* values, int32_t count, float& low, float& high);

// pixels[x] = ValuesToPixels of float((values[x] - low) * factor), computed in double precision.
void StretchRow(const float* values, int32_t count, double low, double factor, uint8_t* pixels);

}  // namespace tarkemo
