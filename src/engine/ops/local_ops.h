// The neighbourhood operations of the "Lokale Operationen" menu: local normalisation, the rank
// filter and the gradient filter. Each reads an unchanged copy of the image, writes all W x H
// pixels and keeps the size and the colour table. Each takes an optional Progress, asked after
// every block of rows: an operation told to stop returns false with the image unchanged.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"
#include "image/progress.h"

namespace tarkemo {

// Stretches each pixel by the minimum and maximum of its window (columns x - w/2 ... x + w/2,
// rows y - h/2 ... y + h/2, cut off at the image edges): value - min scaled by 255 / (max - min),
// truncated. Where max - min < minContrast, or max == min, the pixel is thresholded instead:
// 0 below compareWith, else 255. Fails, changing nothing, unless w and h are positive and odd
// and the image is at least w x h, or when memory is short.
bool LocalNormalize(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t minContrast,
                    int32_t compareWith, Progress* progress = nullptr);

// Replaces each pixel by the rank-th smallest value of its w x h window (1 = minimum, w * h / 2 + 1
// = median, w * h = maximum). Outside the image the window is mirrored about the edge pixel without
// repeating it (index -i reads i, index n - 1 + i reads n - 1 - i). Fails, changing nothing, unless
// w and h are odd and at least 1, the window is larger than 1 x 1, 1 <= rank <= w * h and the image
// is at least w x h, or when memory is short.
bool RankFilter(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                Progress* progress = nullptr);

// Replaces each pixel by the magnitude of the gray-value gradient (central differences inside,
// one-sided at the edges) scaled so that the largest magnitude becomes 255, truncated; a uniform
// image becomes 0. Fails, changing nothing, for images below 3 x 3 or when memory is short.
bool GradientFilter(GrayBitmap& bitmap, Progress* progress = nullptr);

}  // namespace tarkemo
