// The working parts of the rank filter (local_ops.h has the entry point and its checks):
// selection networks over SIMD registers for the 3 x 3 and 5 x 5 windows (rank_filter_kernels.cpp)
// and a two-level sliding histogram for every other window (rank_histogram.cpp). Both give exactly
// the rank-th smallest value.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"
#include "image/pixel_buffer.h"
#include "image/progress.h"

namespace tarkemo::rank_kernels {

// The working copy both methods read: the image extended by padX columns and padY rows on every side,
// mirrored about the edge pixel without repeating it, so the pixel loops never test for the border.
struct Padded {
    PixelBuffer pixels;
    size_t stride = 0;  // bytes per row: the extended width plus slack for whole-register reads
    int32_t rows = 0;
    const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * stride; }
};

// Fills `out`; the slack bytes after each row are zero. False when memory is short.
bool MakePadded(const GrayBitmap& bitmap, int32_t padX, int32_t padY, size_t slack, Padded& out);

// After a run that wrote into `bitmap` from `padded`: a stopped run copies the original pixels back
// out of the padded copy. True when the run was not stopped.
bool KeepOrRestore(const ProgressCounter& counter, const Padded& padded, int32_t padX, int32_t padY,
                   GrayBitmap& bitmap);

// Filters a request already checked by RankFilter. False, changing nothing, when memory is short or
// the progress asked to stop.
bool RankFilterImage(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                     Progress* progress = nullptr);

// The two methods on their own, for tests that compare them on windows both can handle.
bool RankFilterByNetwork(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                         Progress* progress = nullptr);
bool RankFilterByHistogram(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank,
                           Progress* progress = nullptr);

// True when the networks handle this window (3 x 3 and 5 x 5).
bool NetworkHandles(int32_t windowWidth, int32_t windowHeight);

}  // namespace tarkemo::rank_kernels
