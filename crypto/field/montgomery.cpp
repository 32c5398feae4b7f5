#include "crypto/field/montgomery.h"

#include <cpuid.h>

namespace tarvo::montgomery {

bool detect_adx() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
  const bool bmi2 = (ebx >> 8) & 1, adx = (ebx >> 19) & 1;
  return bmi2 && adx;
}

}  // namespace tarvo::montgomery
