// Allocation of large working buffers (pixels, samples, labels). A fresh buffer of many megabytes
// costs more in the kernel's page faults than most operations cost themselves, so buffers from
// 8 MiB on are aligned to 2 MiB and advised onto transparent huge pages, and a few released ones
// are kept for the next request of the same size: the steps of a multi-step run then work in
// memory that is already mapped.
#pragma once

#include <cstddef>
#include <new>

namespace tarkemo {

// Allocates `bytes` (uninitialised); throws std::bad_alloc.
void* AllocateLargeBuffer(size_t bytes);

// Releases what AllocateLargeBuffer(bytes) returned (null is ignored).
void ReleaseLargeBuffer(void* p, size_t bytes) noexcept;

// Gives the kept buffers back to the system.
void ReleaseKeptBuffers() noexcept;

// A standard allocator over the functions above.
template <typename T>
struct LargeBufferAllocator {
    using value_type = T;

    LargeBufferAllocator() = default;
    template <typename U>
    LargeBufferAllocator(const LargeBufferAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(AllocateLargeBuffer(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept { ReleaseLargeBuffer(p, n * sizeof(T)); }

    friend bool operator==(const LargeBufferAllocator&, const LargeBufferAllocator&) { return true; }
};

}  // namespace tarkemo
