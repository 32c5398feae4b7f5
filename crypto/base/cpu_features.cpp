#include "crypto/base/cpu_features.h"

#include "crypto/base/target.h"

#if TARVO_X86_64
#include <cpuid.h>
#endif

#include <cstdint>

namespace tarvo {

namespace {

#if TARVO_X86_64
// The register state the OS saves on a context switch (XCR0): 0x6 the SSE and AVX registers, 0xe0 also the
// AVX-512 mask and upper registers. A vector extension is usable only when the CPU has it and the OS saves
// it.
uint64_t os_saved_state() {
  uint32_t low, high;
  asm("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<uint64_t>(high) << 32) | low;
}
#endif

CpuFeatures detect() {
#if TARVO_X86_64
  unsigned eax, ebx, ecx, edx;
  bool sse41 = false, os_avx_state = false, os_avx512_state = false;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    sse41 = (ecx >> 19) & 1;
    const bool osxsave = (ecx >> 27) & 1, avx = (ecx >> 28) & 1;
    if (osxsave && avx) {
      const uint64_t state = os_saved_state();
      os_avx_state = (state & 0x6) == 0x6;
      os_avx512_state = (state & 0xe6) == 0xe6;
    }
  }
  CpuFeatures features{};
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
    const auto bit = [&](unsigned n) { return ((ebx >> n) & 1) != 0; };
    features.adx = bit(8) && bit(19);  // BMI2 (MULX) and ADX
    features.sha = bit(29) && sse41;
    features.avx2 = bit(5) && os_avx_state;
    features.avx512 = bit(16) && bit(30) && bit(31) && os_avx512_state;  // F, BW, VL
  }
  return features;
#else
  return {};
#endif
}

#ifdef TARVO_CT_CHECK
bool adx_assumed = false;
#endif

}  // namespace

#ifdef TARVO_CT_CHECK
void assume_adx_for_check() { adx_assumed = true; }
#endif

const CpuFeatures& cpu_features() {
  static const CpuFeatures features = [] {
    CpuFeatures detected = detect();
#ifdef TARVO_CT_CHECK
    detected.adx = detected.adx || adx_assumed;
#endif
    return detected;
  }();
  return features;
}

}  // namespace tarvo
