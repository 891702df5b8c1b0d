#include "ops/combine.h"

namespace tarkemo {
namespace {

template <typename Operation>
void ForEachPair(GrayBitmap& current, const GrayBitmap& other, Operation operation) {
    const int32_t width = current.width;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < current.height; ++y) {
        uint8_t* __restrict p = current.Row(y);
        const uint8_t* __restrict q = other.Row(y);
        for (int32_t x = 0; x < width; ++x) p[x] = operation(p[x], q[x]);
    }
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
            ForEachPair(current, other, [](uint8_t p, uint8_t q) { return Multiplied(p, q); });
            break;
    }
    return true;
}

}  // namespace tarkemo
