#include "ops/cpu_features.h"

#include <atomic>

namespace tarkemo {
namespace {

std::atomic<bool> restricted{false};

}  // namespace

bool CpuHasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has && !restricted.load(std::memory_order_relaxed);
}

bool CpuHasAvx512Vbmi() {
    static const bool has = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
    return has && !restricted.load(std::memory_order_relaxed);
}

void RestrictToBaselineInstructions(bool restrict) {
    restricted.store(restrict, std::memory_order_relaxed);
}

}  // namespace tarkemo
