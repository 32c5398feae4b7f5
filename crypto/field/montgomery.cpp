#include "crypto/field/montgomery.h"

#if TARVO_X86_64
#include <cpuid.h>
#endif

namespace tarvo::montgomery {

bool detect_adx() {
#if TARVO_X86_64
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
  const bool bmi2 = (ebx >> 8) & 1, adx = (ebx >> 19) & 1;
  return bmi2 && adx;
#else
  return false;
#endif
}

}  // namespace tarvo::montgomery
