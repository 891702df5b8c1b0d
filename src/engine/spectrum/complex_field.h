// A view of one complex field of the spectrum: real and imaginary parts in two float arrays of
// width x height elements, element (x, y) at index y * width + x, row 0 the bottom row.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarkemo {

struct ComplexField {
    float* re = nullptr;
    float* im = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    size_t Count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    }
};

struct ConstComplexField {
    const float* re = nullptr;
    const float* im = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    ConstComplexField() = default;
    ConstComplexField(const float* re_, const float* im_, int32_t width_, int32_t height_)
        : re(re_), im(im_), width(width_), height(height_) {}
    ConstComplexField(const ComplexField& field)  // NOLINT: a writable field reads as well
        : re(field.re), im(field.im), width(field.width), height(field.height) {}

    size_t Count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

}  // namespace tarkemo
