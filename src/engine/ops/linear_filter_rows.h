// The row kernels of the linear filter engine: the double-precision correlation sums of one output
// row, vectorised across pixels while each pixel's sum keeps the order of the kernel (row by row
// from the bottom, left to right), so the result does not depend on the instruction set.
#pragma once

#include <cstdint>

namespace tarkemo {

// Pixels computed together; the length of a sums row must be a multiple of it.
inline constexpr int32_t kCorrelationBlock = 32;

// dst[x] = src[x] for x in 0 ... count-1.
void ConvertRowToDouble(const uint8_t* src, int32_t count, double* dst);

// sums[x] = sum over i < kernelHeight, j < kernelWidth of rows[i][x + j] * coefficients[i * kernelWidth + j],
// accumulated in that order from 0, for x in 0 ... count-1 (count a multiple of kCorrelationBlock;
// every rows[i] readable up to count + kernelWidth - 1).
void CorrelateRow(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                  int32_t kernelHeight, int32_t count, double* sums);

// Instruction sets the row sums are compiled for; all give bit-identical sums.
enum class RowIsa { kBaseline, kAvx2, kAvx512 };

bool RowIsaSupported(RowIsa isa);

// CorrelateRow with the given instruction set (the baseline when the processor lacks it).
void CorrelateRowWith(RowIsa isa, const double* const* rows, const double* coefficients, int32_t kernelWidth,
                      int32_t kernelHeight, int32_t count, double* sums);

// values[x] = float(sums[x] / divisors[x] + addOffset) computed in double precision, then the sign
// rule (kSignKeep, kSignAbs, kSignNegativeToZero). With `multiply` the divisors array holds the
// reciprocals of powers of two instead, for which the product equals the quotient exactly. When
// `pixels` is given, the values go through ValuesToPixels into it instead of into `values`.
void ScaleRow(const double* sums, const double* divisors, bool multiply, float addOffset, int32_t sign,
              int32_t count, float* values, uint8_t* pixels);

// pixels[x] = values[x] clamped to 0 ... 255 and truncated; NaN becomes 0.
void ValuesToPixels(const float* values, int32_t count, uint8_t* pixels);

}  // namespace tarkemo
