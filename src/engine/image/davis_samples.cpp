#include "image/davis_samples.h"

#include "image/large_buffer.h"

namespace tarkemo::davis_detail {

void* AllocateSampleBytes(size_t bytes) {
    return AllocateLargeBuffer(bytes);
}

void ReleaseSampleBytes(void* p, size_t bytes) noexcept {
    ReleaseLargeBuffer(p, bytes);
}

}  // namespace tarkemo::davis_detail
