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

// The features an aarch64 Linux kernel reports in the auxiliary vector's AT_HWCAP word.
CpuFeatures decode_hwcap(uint64_t hwcap);

#ifdef TARVO_CT_CHECK
// The constant-time check's builds only, never a module or library that ships: valgrind's CPU model hides
// ADX although valgrind executes MULX/ADCX/ADOX, so the check program takes ADX as present to run those
// kernels. Call before the first cpu_features().
void assume_adx_for_check();
#endif

}  // namespace tarvo
