#include "ops/combine.h"

#include "ops/cpu_features.h"

namespace tarkemo {
namespace {

template <typename Operation>
[[gnu::always_inline]] inline void CombineRow(uint8_t* __restrict p, const uint8_t* __restrict q,
                                              int32_t width, Operation operation) {
    for (int32_t x = 0; x < width; ++x) p[x] = operation(p[x], q[x]);
}

template <typename Operation>
void ForEachPair(GrayBitmap& current, const GrayBitmap& other, Operation operation) {
    const int32_t width = current.width;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < current.height; ++y) CombineRow(current.Row(y), other.Row(y), width, operation);
}

inline uint8_t Byte(int value) {
    return static_cast<uint8_t>(value);
}

// p * (q / 255.0) + 0.3 truncated equals (p * q + 76) / 255 in integers: the exact value
// (p * q + 76.5) / 255 lies at least 0.5 / 255 away from every whole number, far beyond the
// rounding of the double computation, and adding the half never crosses a multiple of 255.
// The 16-bit form lets the compiler divide whole registers by multiplication.
inline uint8_t Multiplied(uint8_t p, uint8_t q) {
    const auto product = static_cast<uint16_t>(p * q + 76);
    return static_cast<uint8_t>(product / 255);
}

// The multiplication needs 16-bit lanes; it pays to run it on the wider registers where they exist.
[[gnu::always_inline]] inline void MultiplyRowsBody(GrayBitmap& current, const GrayBitmap& other, int32_t y0,
                                                    int32_t y1) {
    for (int32_t y = y0; y < y1; ++y) {
        CombineRow(current.Row(y), other.Row(y), current.width,
                   [](uint8_t p, uint8_t q) { return Multiplied(p, q); });
    }
}

void MultiplyRowsDefault(GrayBitmap& current, const GrayBitmap& other, int32_t y0, int32_t y1) {
    MultiplyRowsBody(current, other, y0, y1);
}

__attribute__((target("avx2"))) void MultiplyRowsAvx2(GrayBitmap& current, const GrayBitmap& other,
                                                      int32_t y0, int32_t y1) {
    MultiplyRowsBody(current, other, y0, y1);
}

void Multiply(GrayBitmap& current, const GrayBitmap& other) {
    const auto rows = CpuHasAvx2() ? MultiplyRowsAvx2 : MultiplyRowsDefault;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < current.height; ++y) rows(current, other, y, y + 1);
}

}  // namespace

bool CombineWithOther(GrayBitmap& current, const GrayBitmap& other, CombineOp op) {
    if (current.width != other.width || current.height != other.height) return false;
    switch (op) {
        case CombineOp::And:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte(p & q); });
            break;
        case CombineOp::Or:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte(p | q); });
            break;
        case CombineOp::Xor:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte(p ^ q); });
            break;
        case CombineOp::Add:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte(p + q > 255 ? 255 : p + q); });
            break;
        case CombineOp::Mix:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte((p + q) >> 1); });
            break;
        case CombineOp::Subtract:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte(p > q ? p - q : 0); });
            break;
        case CombineOp::SubtractFrom:
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Byte(q > p ? q - p : 0); });
            break;
        case CombineOp::Multiply:
            Multiply(current, other);
            break;
    }
    return true;
}

}  // namespace tarkemo
