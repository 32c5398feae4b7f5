// Montgomery kernels for 4-limb moduli below 2^254 (both fields of this code base).
//
// The moduli leave the top two bits of the last limb clear, so the interleaved (CIOS) reduction
// never carries past the fifth word and one conditional subtraction at the end brings the result
// below p. The portable kernels (montgomery_portable.h) are plain C++ (128-bit products, carries written
// out), which compilers turn into the target's multiply-high and add-with-carry instructions. x86-64
// builds add MULX/ADCX/ADOX assembly kernels for CPUs with BMI2 and ADX (montgomery_x86_64.h); `mul` and
// `sqr` below take the fastest of FieldKernels, chosen once per process.
// All kernels run in constant time: no branch or memory index depends on the operands.
#pragma once

#include <cstdint>
#include <span>

#include "crypto/base/kernel.h"
#include "crypto/base/kernel_choice.h"
#include "crypto/base/target.h"
#include "crypto/field/limbs.h"
#include "crypto/field/montgomery_portable.h"
#include "crypto/field/montgomery_x86_64.h"

namespace tarvo::montgomery {

// The field multiplications: portable C++, or the MULX/ADCX/ADOX assembly.
enum class FieldKernels { portable, adx };
inline constexpr KernelEntry<FieldKernels> FIELD_KERNELS[] = {
    {FieldKernels::portable, "portable", Capability::none}, {FieldKernels::adx, "adx", Capability::adx}};
constexpr std::span<const KernelEntry<FieldKernels>> kernel_list(FieldKernels) { return FIELD_KERNELS; }

// True when the assembly kernels run.
inline bool cpu_has_adx() { return fastest_kernels<FieldKernels>() == FieldKernels::adx; }

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
