// The nine linear filters built into the menu "&Lokale Operationen": box, Gauss, unsharp mask and
// derivative kernels, each with its menu text, undo label and settings.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ops/linear_filter.h"

namespace tarkemo {

enum class BuiltinKernel {
    kBox3,
    kBox5,
    kGauss3,
    kGauss5,
    kUnsharp3,
    kUnsharp5,
    kDerivativeHorizontal,
    kDerivativeVertical,
    kDerivativeDiagonal,
};

struct BuiltinKernelInfo {
    BuiltinKernel kernel;
    int32_t commandId;           // 40056 ... 40064
    std::string_view menuText;   // e.g. "Gauss (3x3)"
    std::string_view undoLabel;  // the filter's name, e.g. "Gauss-Filter (3x3)"
};

// The nine kernels in menu order.
std::span<const BuiltinKernelInfo> BuiltinKernels();

const BuiltinKernelInfo& InfoOf(BuiltinKernel kernel);

// Fills the filter with the built-in kernel and its settings and empties `path`. The divisors of
// the box and Gauss kernels are computed from the coefficients (count, respectively sum). False,
// with the filter unchanged, when the coefficients cannot be allocated.
bool FillBuiltinKernel(BuiltinKernel kernel, LinearFilter& filter);

}  // namespace tarkemo
