// The histogram's wide kernel: bit planes of 512 pixels at a time, split value bit by value bit,
// counted with population counts. Same counts as the portable kernel; used where the processor has
// AVX-512 with byte permutes, population counts and GF(2) affine transforms.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/gray_histogram.h"

namespace tarkemo::detail {

// True when the processor runs CountBytesAvx512.
bool HistogramAvx512Available();

// Adds how often each value occurs among bytes[0 .. size) to `counts`.
void CountBytesAvx512(const uint8_t* bytes, size_t size, GrayCounts& counts);

}  // namespace tarkemo::detail
