// The arrays that hold a DaVis file and its samples. Camera files run to tens of megabytes and the
// reader writes every element itself, so new elements are left uninitialised, and arrays of many
// megabytes are placed on transparent huge pages (see large_buffer.h): a 4096 x 4096 import
// otherwise spends a third of its time in the kernel's page faults.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

namespace tarkemo {

namespace davis_detail {
// Allocates bytes, on 2 MiB-aligned huge pages when they are many; throws std::bad_alloc.
void* AllocateSampleBytes(size_t bytes);
void ReleaseSampleBytes(void* p, size_t bytes) noexcept;
}  // namespace davis_detail

template <typename T>
struct SampleAllocator {
    using value_type = T;

    SampleAllocator() = default;
    template <typename U>
    SampleAllocator(const SampleAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(davis_detail::AllocateSampleBytes(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept { davis_detail::ReleaseSampleBytes(p, n * sizeof(T)); }

    // Default-initialisation: resize() leaves the new elements as the allocation found them.
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(static_cast<Args&&>(args)...);
    }

    friend bool operator==(const SampleAllocator&, const SampleAllocator&) { return true; }
};

template <typename T>
using SampleArray = std::vector<T, SampleAllocator<T>>;

}  // namespace tarkemo
