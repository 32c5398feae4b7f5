#include "crypto/base/cpu_features.h"

#include "crypto/base/target.h"

#if TARVO_X86_64
#include <cpuid.h>
#endif

namespace tarvo {

namespace {

CpuFeatures detect() {
#if TARVO_X86_64
  unsigned eax, ebx, ecx, edx;
  bool sse41 = false, bmi2 = false, adx = false, sha = false;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) sse41 = (ecx >> 19) & 1;
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
    bmi2 = (ebx >> 8) & 1;
    adx = (ebx >> 19) & 1;
    sha = (ebx >> 29) & 1;
  }
  // The vector extensions also need the OS to save their registers, which the compiler's run-time check
  // asks (XGETBV) besides the CPU.
  __builtin_cpu_init();
  return {
      .adx = bmi2 && adx,
      .sha = sha && sse41,
      .avx2 = __builtin_cpu_supports("avx2") != 0,
      .avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                __builtin_cpu_supports("avx512bw"),
  };
#else
  return {};
#endif
}

}  // namespace

#ifdef TARVO_CT_CHECK
namespace {
bool adx_assumed = false;
}

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
