#include "image/davis_samples.h"

#include <sys/mman.h>

namespace tarkemo::davis_detail {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this the page faults cost little next to the decoding.
constexpr size_t kHugePagesFrom = size_t{8} << 20;

}  // namespace

void* AllocateSampleBytes(size_t bytes) {
    if (bytes >= kHugePagesFrom) {
        if (bytes > static_cast<size_t>(-1) - kHugePage) throw std::bad_alloc();
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, rounded);
        if (!p) throw std::bad_alloc();
        madvise(p, rounded, MADV_HUGEPAGE);  // advice only: without it the pages are just small
        return p;
    }
    void* p = std::malloc(bytes != 0 ? bytes : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void ReleaseSampleBytes(void* p) noexcept {
    std::free(p);
}

}  // namespace tarkemo::davis_detail
