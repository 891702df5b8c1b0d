// The working parts of the rank filter (local_ops.h has the entry point and its checks):
// selection networks over SIMD registers for the 3 x 3 and 5 x 5 windows, and a two-level
// sliding histogram for every other window. Both give exactly the rank-th smallest value.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo::rank_kernels {

// Filters a request already checked by RankFilter. False, changing nothing, when memory is short.
bool RankFilterImage(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank);

// The two methods on their own, for tests that compare them on windows both can handle.
bool RankFilterByNetwork(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank);
bool RankFilterByHistogram(GrayBitmap& bitmap, int32_t windowWidth, int32_t windowHeight, int32_t rank);

// True when the networks handle this window (3 x 3 and 5 x 5).
bool NetworkHandles(int32_t windowWidth, int32_t windowHeight);

}  // namespace tarkemo::rank_kernels
