// What the hand-written kernels need of the CPU, detected once per process (the x86-64 ones, and on
// aarch64 the SHA-256 compression), and the capabilities the kernel sets (kernel_choice.h) require. Every
// feature the target has no kernel for is false, and the portable
// code runs.
#pragma once

#include <cstdint>

namespace tarvo {

// The features as the CPU and the OS report them, each vector extension only with its registers saved.
struct CpuFeatures {
  bool adx;     // MULX (BMI2) and ADCX/ADOX
  bool sha;     // the SHA extensions and SSE4.1, or on aarch64 the SHA-2 instructions
  bool avx2;    // AVX2
  bool avx512;  // AVX-512 F, VL and BW
  bool ifma;    // AVX-512 F and IFMA (52-bit multiply-accumulate)
};

const CpuFeatures& cpu_features();

// What a kernel set needs, one requirement per name: the features its instructions use (its target
// attribute, target.h, and the MULX/ADCX/ADOX assembly the vector kernels call for scalar work).
enum class Capability {
  none,         // portable C++
  adx,          // MULX/ADCX/ADOX
  sha_ni,       // TARVO_TARGET_SHA (x86-64)
  armv8_sha2,   // TARVO_TARGET_ARMV8_SHA2 (aarch64)
  avx2_adx,     // TARVO_TARGET_AVX2 and adx
  avx512_adx,   // TARVO_TARGET_AVX512 and adx
  avx512_ifma,  // TARVO_TARGET_IFMA (AVX-512 F, VL, BW and IFMA) and adx
};

// Whether this CPU has the capability.
bool cpu_has(Capability capability);

// What the detection reads: CPUID leaf 1's ECX, leaf 7 (subleaf 0)'s EBX, and XCR0, the register state
// the OS saves (read only where leaf 1 reports OSXSAVE and AVX; 0 otherwise), each 0 where not there.
struct CpuIdWords {
  uint32_t leaf1_ecx;
  uint32_t leaf7_ebx;
  uint64_t xcr0;
};

// The features those words report.
CpuFeatures decode_cpu_features(const CpuIdWords& words);

// The AVX-512 extensions the kernels use, as their bits in CPUID leaf 7's EBX.
inline constexpr uint32_t kLeaf7Avx512F = 1u << 16, kLeaf7Ifma = 1u << 21, kLeaf7Avx512Bw = 1u << 30,
                          kLeaf7Avx512Vl = 1u << 31;

// macOS on x86-64 gives a thread the AVX-512 register state only at its first AVX-512 instruction, so
// XCR0 may lack it where the kernel supports it; the kernel reports that support instead (the sysctls
// hw.optional.avx512f and the like). Kernels before 21.3 (macOS 12.2) may corrupt the AVX-512 mask
// registers when a signal handler returns, so there AVX-512 is not used at all.
struct DarwinAvx512 {
  uint32_t leaf7_ebx;     // the AVX-512 extensions the kernel reports, as their bits in CPUID leaf 7's EBX
  unsigned kernel_major;  // the kernel's release (kern.osrelease), such as 21.3
  unsigned kernel_minor;
};

// The features on macOS: those of the words, AVX-512 and IFMA where the CPU and the kernel report them, the
// OS saves the AVX state and the kernel is recent enough, whatever XCR0 says of the AVX-512 state. Inline:
// no other system's build carries it.
inline CpuFeatures decode_cpu_features_darwin(const CpuIdWords& words, const DarwinAvx512& kernel) {
  constexpr uint32_t kAvx512 = kLeaf7Avx512F | kLeaf7Ifma | kLeaf7Avx512Bw | kLeaf7Avx512Vl;
  const bool kernel_fixed =
      kernel.kernel_major > 21 || (kernel.kernel_major == 21 && kernel.kernel_minor >= 3);
  CpuIdWords enabled_on_use = words;
  enabled_on_use.leaf7_ebx &= ~kAvx512 | (kernel_fixed ? kernel.leaf7_ebx : 0);
  enabled_on_use.xcr0 |= 0xe0;  // the mask and upper registers, which the kernel enables at first use
  const CpuFeatures on_use = decode_cpu_features(enabled_on_use);
  CpuFeatures features = decode_cpu_features(words);
  features.avx512 = on_use.avx512;
  features.ifma = on_use.ifma;
  return features;
}

// The features an aarch64 Linux kernel reports in the auxiliary vector's AT_HWCAP word.
CpuFeatures decode_hwcap(uint64_t hwcap);

#ifdef TARVO_CT_CHECK
// The constant-time check's builds only, never a module or library that ships: valgrind's CPU model hides
// ADX although valgrind executes MULX/ADCX/ADOX, so the check program takes ADX as present to run those
// kernels. Call before the first cpu_features().
void assume_adx_for_check();
#endif

}  // namespace tarvo
