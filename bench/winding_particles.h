// Pathological particle images: one spiral path filling the picture and one comb-shaped
// plateau. Raster-pass labelling needs a number of passes that grows with their windings,
// so they show whether counting time stays linear in the pixels.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "image/gray_bitmap.h"

namespace tarkemo::testimages {

inline GrayBitmap FilledBitmap(int32_t width, int32_t height, uint8_t background) {
    auto bitmap = CreateGrayBitmap(width, height);
    if (!bitmap) throw std::runtime_error("test image too large");
    for (int32_t r = 0; r < height; ++r)
        for (int32_t c = 0; c < width; ++c) bitmap->At(c, r) = background;
    return std::move(*bitmap);
}

// A square spiral of one-pixel walls with one-pixel gaps, from the bottom-left corner inwards.
// Its pixels have the value `path`, all others `background`.
inline GrayBitmap MakeSpiralImage(int32_t width, int32_t height, uint8_t background, uint8_t path) {
    GrayBitmap b = FilledBitmap(width, height, background);
    const int32_t dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    int32_t x = 0, y = 0, horizontal = width - 1, vertical = height - 1;
    b.At(0, 0) = path;
    for (int32_t segment = 0;; ++segment) {
        const int32_t dir = segment % 4;
        const bool isHorizontal = dir % 2 == 0;
        const int32_t length = isHorizontal ? horizontal : vertical;
        if (length <= 0) break;
        for (int32_t s = 0; s < length; ++s) {
            x += dx[dir];
            y += dy[dir];
            b.At(x, y) = path;
        }
        // The first horizontal wall is as long as the one opposite; later ones shrink by two.
        if (isHorizontal && segment > 0) horizontal -= 2;
        if (!isHorizontal) vertical -= 2;
    }
    return b;
}

// A comb: a spine along the top row and teeth of one column in every other column reaching down
// to the bottom row, of value `comb` on `background`.
inline GrayBitmap MakeCombImage(int32_t width, int32_t height, uint8_t background, uint8_t comb) {
    GrayBitmap b = FilledBitmap(width, height, background);
    for (int32_t c = 0; c < width; ++c) b.At(c, height - 1) = comb;
    for (int32_t c = 0; c < width; c += 2)
        for (int32_t r = 0; r < height; ++r) b.At(c, r) = comb;
    return b;
}

// The same density without windings: straight vertical lines of value `line` in every other
// column, each its own component; the baseline the spiral and the comb are measured against.
inline GrayBitmap MakeLinesImage(int32_t width, int32_t height, uint8_t background, uint8_t line) {
    GrayBitmap b = FilledBitmap(width, height, background);
    for (int32_t c = 0; c < width; c += 2)
        for (int32_t r = 0; r < height; ++r) b.At(c, r) = line;
    return b;
}

}  // namespace tarkemo::testimages
