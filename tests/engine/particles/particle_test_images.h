// Small hand-drawn and random pictures for the counting tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "generator/particle_image.h"
#include "image/gray_bitmap.h"

namespace tarkemo::testing {

// A picture written as it looks: the first row given is the top row of the picture (the last
// stored row), so a value at (column c, row r) with r counted from the bottom is easy to place.
inline GrayBitmap Picture(std::initializer_list<std::vector<int>> topToBottom) {
    const auto height = static_cast<int32_t>(topToBottom.size());
    const auto width = static_cast<int32_t>(topToBottom.begin()->size());
    GrayBitmap b = *CreateGrayBitmap(width, height);
    int32_t r = height - 1;
    for (const std::vector<int>& row : topToBottom) {
        for (int32_t c = 0; c < width; ++c) b.At(c, r) = static_cast<uint8_t>(row[c]);
        --r;
    }
    return b;
}

inline GrayBitmap Uniform(int32_t width, int32_t height, uint8_t value) {
    GrayBitmap b = *CreateGrayBitmap(width, height);
    for (int32_t r = 0; r < height; ++r)
        for (int32_t c = 0; c < width; ++c) b.At(c, r) = value;
    return b;
}

// Random pictures whose values come from a few levels, so plateaus and touching regions abound;
// the padding bytes are random too, to show they never count.
inline GrayBitmap RandomPicture(testimages::Random& random, int32_t maxSide, int32_t levels) {
    const int32_t width = random.Between(1, maxSide), height = random.Between(1, maxSide);
    GrayBitmap b = *CreateGrayBitmap(width, height);
    const int32_t step = 255 / (levels - 1);
    for (uint8_t& p : b.pixels) p = static_cast<uint8_t>(random.Between(0, levels - 1) * step);
    return b;
}

}  // namespace tarkemo::testing
