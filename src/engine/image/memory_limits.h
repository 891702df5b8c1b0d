// Guards against requests the machine cannot serve: on Linux a huge allocation may succeed
// and the process be killed later, so large buffers are compared with physical memory first.
#pragma once

#include <cstddef>

namespace tarkemo {

// Physical memory of the machine in bytes (0 when unknown).
size_t PhysicalMemoryBytes();

// True when `bytes` can reasonably be allocated: below the physical memory (or unknown memory).
bool AllocationFits(size_t bytes);

}  // namespace tarkemo
