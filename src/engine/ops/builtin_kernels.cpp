#include "ops/builtin_kernels.h"

#include <array>
#include <new>
#include <string>
#include <vector>

#include "ops/border_extension.h"

namespace tarkemo {
namespace {

constexpr std::array<BuiltinKernelInfo, 9> kKernels{{
    {BuiltinKernel::kBox3, 40056, "Rechteck (3x3)", "Rechteck-Filter (3x3)"},
    {BuiltinKernel::kBox5, 40057, "Rechteck (5x5)", "Rechteck-Filter (5x5)"},
    {BuiltinKernel::kGauss3, 40058, "Gauss (3x3)", "Gauss-Filter (3x3)"},
    {BuiltinKernel::kGauss5, 40059, "Gauss (5x5)", "Gauss-Filter (5x5)"},
    {BuiltinKernel::kUnsharp3, 40060, "Unscharfmaske (3x3)", "Unscharfmaske (3x3)"},
    {BuiltinKernel::kUnsharp5, 40061, "Unscharfmaske (5x5)", "Unscharfmaske (5x5)"},
    {BuiltinKernel::kDerivativeHorizontal, 40062, "Ableitungsfilter horizontal",
     "Ableitungsfilter horizontal"},
    {BuiltinKernel::kDerivativeVertical, 40063, "Ableitungsfilter vertikal", "Ableitungsfilter vertikal"},
    {BuiltinKernel::kDerivativeDiagonal, 40064, "Ableitungsfilter diagonal", "Ableitungsfilter diagonal"},
}};

// Everything but the name: side, coefficients written top row first, and settings.
struct Recipe {
    int32_t side = 3;
    std::vector<float> topRowFirst;
    int32_t border = kFlipExc;
    float divBy = 1.0f;  // 0 here: computed from the coefficients (see sumDivisor)
    bool sumDivisor = false;
    float addOffset = 0.0f;
    int32_t sign = kSignKeep;
    int32_t normalize = kNormalizeDoNot;
};

std::vector<float> Binomial5() {
    const float row[5] = {1, 4, 6, 4, 1};
    std::vector<float> k;
    for (float a : row) {
        for (float b : row) k.push_back(a * b);
    }
    return k;
}

std::vector<float> UnsharpMask(int32_t side) {
    std::vector<float> k(static_cast<size_t>(side * side), -1.0f);
    k[k.size() / 2] = static_cast<float>(side * side - 1);
    return k;
}

Recipe RecipeOf(BuiltinKernel kernel) {
    switch (kernel) {
        case BuiltinKernel::kBox3:
            return {3, std::vector<float>(9, 1.0f), kFlipExc, 0.0f, false};
        case BuiltinKernel::kBox5:
            return {5, std::vector<float>(25, 1.0f), kFlipExc, 0.0f, false};
        case BuiltinKernel::kGauss3:
            return {3, {1, 2, 1, 2, 4, 2, 1, 2, 1}, kFlipExc, 0.0f, true};
        case BuiltinKernel::kGauss5:
            return {5, Binomial5(), kFlipExc, 0.0f, true};
        case BuiltinKernel::kUnsharp3:
            return {3, UnsharpMask(3), kFlipExc, 9.0f, false, 0.0f, kSignNegativeToZero, kNormalizeGlobal};
        case BuiltinKernel::kUnsharp5:
            return {5, UnsharpMask(5), kFlipExc, 25.0f, false, 0.0f, kSignNegativeToZero, kNormalizeGlobal};
        case BuiltinKernel::kDerivativeHorizontal:
            return {3, {0, 0, 0, -1, 0, 1, 0, 0, 0}, kFlipInc, 2.0f, false, 127.0f};
        case BuiltinKernel::kDerivativeVertical:
            return {3, {0, 1, 0, 0, 0, 0, 0, -1, 0}, kFlipInc, 2.0f, false, 127.0f};
        case BuiltinKernel::kDerivativeDiagonal:
            return {3, {0, 0, 1, 0, 0, 0, -1, 0, 0}, kFlipInc, 2.0f, false, 127.0f};
    }
    return {};
}

// The divisor of the box (number of coefficients) and Gauss (their sum) kernels.
float DerivedDivisor(const Recipe& recipe) {
    if (!recipe.sumDivisor) return static_cast<float>(recipe.side * recipe.side);
    float sum = 0.0f;
    for (float c : recipe.topRowFirst) sum += c;
    return sum;
}

}  // namespace

std::span<const BuiltinKernelInfo> BuiltinKernels() {
    return kKernels;
}

const BuiltinKernelInfo& InfoOf(BuiltinKernel kernel) {
    return kKernels[static_cast<size_t>(kernel)];
}

bool FillBuiltinKernel(BuiltinKernel kernel, LinearFilter& filter) {
    try {
        const Recipe recipe = RecipeOf(kernel);
        const auto side = static_cast<size_t>(recipe.side);
        std::vector<float> coefficients(side * side);
        // Written top row first, stored bottom row first.
        for (size_t row = 0; row < side; ++row) {
            for (size_t col = 0; col < side; ++col) {
                coefficients[(side - 1 - row) * side + col] = recipe.topRowFirst[row * side + col];
            }
        }
        std::string name(InfoOf(kernel).undoLabel);
        filter.kernel = std::move(coefficients);
        filter.name = std::move(name);
        filter.path.clear();
        filter.width = recipe.side;
        filter.height = recipe.side;
        filter.border = recipe.border;
        filter.divBy = recipe.divBy != 0.0f ? recipe.divBy : DerivedDivisor(recipe);
        filter.addOffset = recipe.addOffset;
        filter.sign = recipe.sign;
        filter.normalize = recipe.normalize;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace tarkemo
