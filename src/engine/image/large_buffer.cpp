#include "image/large_buffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "image/memory_limits.h"

namespace tarkemo {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this the page faults cost little next to the work on the buffer.
constexpr size_t kLargeFrom = size_t{8} << 20;
// At most this many released buffers are kept, together at most an eighth of physical memory
// and never more than 1 GiB.
constexpr size_t kKeptCount = 4;
constexpr size_t kKeptBytesMax = size_t{1} << 30;

size_t Rounded(size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

struct Kept {
    void* p = nullptr;
    size_t bytes = 0;  // rounded size
};

class KeptBuffers {
  public:
    void* Take(size_t bytes) {
        std::lock_guard lock(mutex_);
        for (Kept& kept : kept_) {
            if (kept.p && kept.bytes == bytes) {
                total_ -= bytes;
                return std::exchange(kept.p, nullptr);
            }
        }
        return nullptr;
    }

    bool Keep(void* p, size_t bytes) {
        std::lock_guard lock(mutex_);
        if (total_ + bytes > Limit()) return false;
        for (Kept& kept : kept_) {
            if (!kept.p) {
                kept = {p, bytes};
                total_ += bytes;
                return true;
            }
        }
        return false;
    }

    void Clear() {
        std::lock_guard lock(mutex_);
        for (Kept& kept : kept_) std::free(std::exchange(kept.p, nullptr));
        total_ = 0;
    }

  private:
    static size_t Limit() {
        const size_t physical = PhysicalMemoryBytes();
        return physical == 0 ? kKeptBytesMax : std::min(kKeptBytesMax, physical / 8);
    }

    std::mutex mutex_;
    std::array<Kept, kKeptCount> kept_{};
    size_t total_ = 0;
};

// Trivially destructible, so releases from other objects' destructors at exit stay safe.
KeptBuffers& Buffers() {
    static KeptBuffers buffers;
    return buffers;
}

}  // namespace

void* AllocateLargeBuffer(size_t bytes) {
    if (bytes < kLargeFrom) {
        void* p = std::malloc(bytes != 0 ? bytes : 1);
        if (!p) throw std::bad_alloc();
        return p;
    }
    if (bytes > static_cast<size_t>(-1) - kHugePage) throw std::bad_alloc();
    const size_t rounded = Rounded(bytes);
    if (void* kept = Buffers().Take(rounded)) return kept;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
    madvise(p, rounded, MADV_HUGEPAGE);  // advice only: without it the pages are just small
    return p;
}

void ReleaseLargeBuffer(void* p, size_t bytes) noexcept {
    if (!p) return;
    if (bytes >= kLargeFrom && Buffers().Keep(p, Rounded(bytes))) return;
    std::free(p);
}

void ReleaseKeptBuffers() noexcept {
    Buffers().Clear();
}

}  // namespace tarkemo
