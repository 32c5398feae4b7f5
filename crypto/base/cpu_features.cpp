#include "crypto/base/cpu_features.h"

#include "crypto/base/target.h"

#if TARVO_X86_64
#include <cpuid.h>
#if defined(__APPLE__)
#include <sys/sysctl.h>

#include <cstdio>
#endif
#elif TARVO_AARCH64 && defined(__linux__)
#include <sys/auxv.h>
#endif

#include <cstdint>

namespace tarvo {

namespace {

#if TARVO_X86_64
uint64_t os_saved_state() {
  uint32_t low, high;
  asm("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<uint64_t>(high) << 32) | low;
}

#if defined(__APPLE__)
DarwinAvx512 darwin_avx512() {
  struct Extension {
    const char* name;
    uint32_t leaf7_bit;
  };
  static constexpr Extension kExtensions[] = {{"hw.optional.avx512f", kLeaf7Avx512F},
                                              {"hw.optional.avx512ifma", kLeaf7Ifma},
                                              {"hw.optional.avx512bw", kLeaf7Avx512Bw},
                                              {"hw.optional.avx512vl", kLeaf7Avx512Vl}};
  DarwinAvx512 kernel{};
  for (const Extension& extension : kExtensions) {
    int value = 0;
    size_t size = sizeof(value);
    if (sysctlbyname(extension.name, &value, &size, nullptr, 0) == 0 && value != 0) {
      kernel.leaf7_ebx |= extension.leaf7_bit;
    }
  }
  char release[32] = {};
  size_t size = sizeof(release) - 1;
  if (sysctlbyname("kern.osrelease", release, &size, nullptr, 0) != 0 ||
      std::sscanf(release, "%u.%u", &kernel.kernel_major, &kernel.kernel_minor) != 2) {
    return {};
  }
  return kernel;
}
#endif
#endif

CpuFeatures detect() {
#if TARVO_X86_64
  unsigned eax, ebx, ecx, edx;
  CpuIdWords words{};
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    words.leaf1_ecx = ecx;
    const bool osxsave = (ecx >> 27) & 1, avx = (ecx >> 28) & 1;
    if (osxsave && avx) words.xcr0 = os_saved_state();  // xgetbv faults without OSXSAVE
  }
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) words.leaf7_ebx = ebx;
#if defined(__APPLE__)
  return decode_cpu_features_darwin(words, darwin_avx512());
#else
  return decode_cpu_features(words);
#endif
#elif TARVO_AARCH64 && defined(__APPLE__)
  CpuFeatures features{};
  features.sha = true;  // every Apple arm64 CPU has the SHA-2 instructions
  return features;
#elif TARVO_AARCH64 && defined(__linux__)
  return decode_hwcap(getauxval(AT_HWCAP));
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

CpuFeatures decode_cpu_features(const CpuIdWords& words) {
  const auto bit = [](uint64_t word, unsigned n) { return ((word >> n) & 1) != 0; };
  const uint32_t ecx = words.leaf1_ecx, ebx = words.leaf7_ebx;
  // A vector extension is usable only when the CPU has it and the OS saves its registers: XCR0 0x6 the
  // SSE and AVX registers, 0xe0 also the AVX-512 mask and upper registers.
  const bool os_saves = bit(ecx, 27) && bit(ecx, 28);  // OSXSAVE and AVX: XCR0 is there to read
  const bool os_avx_state = os_saves && (words.xcr0 & 0x6) == 0x6;
  const bool os_avx512_state = os_saves && (words.xcr0 & 0xe6) == 0xe6;
  CpuFeatures features{};
  features.adx = bit(ebx, 8) && bit(ebx, 19);   // BMI2 (MULX) and ADX
  features.sha = bit(ebx, 29) && bit(ecx, 19);  // SHA and SSE4.1
  features.avx2 = bit(ebx, 5) && os_avx_state;
  features.avx512 = bit(ebx, 16) && bit(ebx, 30) && bit(ebx, 31) && os_avx512_state;  // F, BW, VL
  features.ifma = bit(ebx, 16) && bit(ebx, 21) && os_avx512_state;                    // F, IFMA
  return features;
}

CpuFeatures decode_hwcap(uint64_t hwcap) {
  constexpr uint64_t kSha2 = uint64_t{1} << 6;  // the kernel's HWCAP_SHA2
  CpuFeatures features{};
  features.sha = (hwcap & kSha2) != 0;
  return features;
}

bool cpu_has(Capability capability) {
  const CpuFeatures& cpu = cpu_features();
  switch (capability) {
    case Capability::none:
      return true;
    case Capability::adx:
      return cpu.adx;
    case Capability::sha_ni:
      return TARVO_X86_64 && cpu.sha;
    case Capability::armv8_sha2:
      return TARVO_AARCH64 && cpu.sha;
    case Capability::avx2_adx:
      return cpu.avx2 && cpu.adx;
    case Capability::avx512_adx:
      return cpu.avx512 && cpu.adx;
    case Capability::avx512_ifma:
      return cpu.avx512 && cpu.ifma && cpu.adx;
  }
  return false;
}

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
