// Which wider instruction sets the processor offers. Kernels that have a wider form ask here, so
// one switch lets the tests run the baseline forms on processors that have more; every form gives
// the same result.
#pragma once

namespace tarkemo {

// AVX2 (32-byte integer and float registers).
bool CpuHasAvx2();

// AVX-512 with byte permutes (VBMI and BW).
bool CpuHasAvx512Vbmi();

// While true, both report false. For tests only.
void RestrictToBaselineInstructions(bool restrict);

}  // namespace tarkemo
