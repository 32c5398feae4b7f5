#include "crypto/base/cpu_features.h"

#include "crypto/base/target.h"

namespace tarvo {

namespace {

CpuFeatures detect() {
#if TARVO_X86_64
  // The compiler's run-time check also asks the OS (XGETBV) whether it saves the vector registers.
  __builtin_cpu_init();
  return {
      .adx = __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("adx"),
      .sha = __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1"),
      .avx2 = __builtin_cpu_supports("avx2") != 0,
      .avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                __builtin_cpu_supports("avx512bw"),
  };
#else
  return {};
#endif
}

}  // namespace

const CpuFeatures& cpu_features() {
  static const CpuFeatures features = detect();
  return features;
}

}  // namespace tarvo
