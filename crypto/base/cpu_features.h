// What the hand-written x86-64 kernels need of the CPU, detected once per process. Every flag is false
// on other targets, where the portable code runs.
#pragma once

namespace tarvo {

struct CpuFeatures {
  bool adx;     // MULX (BMI2) and ADCX/ADOX: the field multiplications
  bool sha;     // the SHA extensions and SSE4.1: the SHA-256 compression
  bool avx2;    // the 32-byte fixed-base scan
  bool avx512;  // AVX-512 F, VL and BW, with the registers saved by the OS: the 64-byte fixed-base scan
};

const CpuFeatures& cpu_features();

}  // namespace tarvo
