#include "image/memory_limits.h"

#include <unistd.h>

namespace tarkemo {

size_t PhysicalMemoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<size_t>(pages) * static_cast<size_t>(pageSize);
}

bool AllocationFits(size_t bytes) {
    const size_t physical = PhysicalMemoryBytes();
    return physical == 0 || bytes < physical;
}

}  // namespace tarkemo
