// The target's instruction set, for the code that has a hand-written x86-64 or aarch64 variant beside the
// portable C++: that variant is compiled only for its target and chosen there (at run time where the CPU
// may lack it).
#pragma once

#if defined(__x86_64__)
#define TARVO_X86_64 1
#else
#define TARVO_X86_64 0
#endif

#if defined(__aarch64__)
#define TARVO_AARCH64 1
#else
#define TARVO_AARCH64 0
#endif

// The target attributes of the vector kernels, one per instruction set. A kernel compiled with one
// runs only where the CPU has the capability of the same name (cpu_features.h), which covers every
// feature the attribute names. The MULX/ADCX/ADOX kernels are assembly and need no attribute.
#define TARVO_TARGET_SHA __attribute__((target("sha,sse4.1")))
#define TARVO_TARGET_AVX2 __attribute__((target("avx2")))
#define TARVO_TARGET_AVX512 __attribute__((target("avx512f,avx512vl,avx512bw")))
#define TARVO_TARGET_IFMA __attribute__((target("avx512f,avx512vl,avx512bw,avx512ifma")))
// The aarch64 kernels' one: the SHA-2 instructions.
#define TARVO_TARGET_ARMV8_SHA2 __attribute__((target("+crypto")))
