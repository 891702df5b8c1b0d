// The arrays that hold a DaVis file and its samples. Camera files run to tens of megabytes and the
// reader writes every element itself, so new elements are left uninitialised, and arrays of many
// megabytes are placed on transparent huge pages (see large_buffer.h): a 4096 x 4096 import
// otherwise spends a third of its time in the kernel's page faults.
#pragma once

#include <new>
#include <vector>

#include "image/large_buffer.h"

namespace tarkemo {

// The large-buffer allocator that also leaves new elements uninitialised: resize() keeps them as
// the allocation found them.
template <typename T>
struct SampleAllocator : LargeBufferAllocator<T> {
    using value_type = T;

    SampleAllocator() = default;
    template <typename U>
    SampleAllocator(const SampleAllocator<U>&) noexcept {}

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
