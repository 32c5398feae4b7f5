// Montgomery kernels for 4-limb moduli below 2^254 (both fields of this code base).
//
// The moduli leave the top two bits of the last limb clear, so the interleaved (CIOS) reduction
// never carries past the fifth word and one conditional subtraction at the end brings the result
// below p. The portable kernels (montgomery_portable.h) are plain C++ (128-bit products, carries written
// out), which compilers turn into the target's multiply-high and add-with-carry instructions. x86-64
// builds add MULX/ADCX/ADOX assembly kernels for CPUs with BMI2 and ADX (montgomery_x86_64.h); `mul` and
// `sqr` below pick one per process at run time.
// All kernels run in constant time: no branch or memory index depends on the operands.
#pragma once

#include <cstdint>

#include "crypto/base/cpu_features.h"
#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/field/limbs.h"
#include "crypto/field/montgomery_portable.h"
#include "crypto/field/montgomery_x86_64.h"

namespace tarvo::montgomery {

// True when the assembly kernels run: an x86-64 CPU with MULX (BMI2) and ADCX/ADOX (ADX). A local copy
// of the flag keeps the check in every multiplication to one load.
inline bool cpu_has_adx() {
  static const bool has_adx = cpu_features().adx;
  return has_adx;
}

TARVO_KERNEL Limbs sqr(const Limbs& a, const Limbs& p, const uint64_t& inv) {
#if TARVO_X86_64
  if (cpu_has_adx()) return sqr_adx(a, p, inv);
#endif
  return mul_portable(a, a, p, inv);
}

TARVO_KERNEL Limbs mul(const Limbs& a, const Limbs& b, const Limbs& p, const uint64_t& inv) {
#if TARVO_X86_64
  if (cpu_has_adx()) return mul_adx(a, b, p, inv);
#endif
  return mul_portable(a, b, p, inv);
}

}  // namespace tarvo::montgomery
