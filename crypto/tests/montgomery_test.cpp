#include "crypto/field/montgomery.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <utility>
#include <vector>

#include "crypto/base/cpu_features.h"
#include "crypto/field/fr.h"
#include "crypto/field/fs.h"
#include "crypto/field/montgomery_dot.h"

namespace tarvo {
namespace {

// Both multiplication kernels, the squaring kernel, the multiply-adds and the dot products (with and
// without an addend) must compute the same function; the assembly ones only where the target and the
// CPU have them.
template <typename Params>
void check_kernels_agree(uint64_t seed) {
#if !TARVO_X86_64
  (void)seed;
  GTEST_SKIP() << "no assembly kernels on this target: only the portable kernel runs";
#else
  if (!montgomery::cpu_has_adx()) GTEST_SKIP() << "CPU without BMI2/ADX: only the portable kernel runs";
  const Limbs& p = Params::MODULUS;
  const Limbs p_minus_one = {p[0] - 1, p[1], p[2], p[3]};
  std::vector<Limbs> below_p = {{0, 0, 0, 0}, {1, 0, 0, 0}, p_minus_one, Params::R, Params::R2};
  std::vector<Limbs> any = below_p;
  any.push_back(p);
  any.push_back({~0ull, ~0ull, ~0ull, ~0ull});
  std::mt19937_64 rng(seed);
  for (int i = 0; i < 2000; ++i) {
    const Limbs random = {rng(), rng(), rng(), rng()};
    any.push_back(random);
    below_p.push_back(PrimeField<Params>::from_u256_reduced(random).into_repr());
  }
  for (const Limbs& a : below_p) {
    for (size_t j = 0; j < any.size(); j += 7) {
      const Limbs& b = any[j];
      const Limbs portable = montgomery::mul_portable(a, b, p, Params::INV);
      ASSERT_EQ(portable, montgomery::mul_adx(a, b, p, Params::INV)) << "seed " << seed;
      ASSERT_TRUE(limbs_less_var(portable, p));
      for (const Limbs& c : {a, p_minus_one}) {
        ASSERT_EQ(montgomery::mul_add_adx(a, b, c, p, Params::INV),
                  montgomery::mul_add_portable(a, b, c, p, Params::INV))
            << "seed " << seed;
      }
    }
    ASSERT_EQ(montgomery::sqr_adx(a, p, Params::INV), montgomery::mul_portable(a, a, p, Params::INV))
        << "seed " << seed;
  }
  // Dot products of nine, the largest sum first (every term (p - 1)²), then sliding windows.
  below_p.insert(below_p.begin(), 9, p_minus_one);
  for (size_t start = 0; start + 18 <= below_p.size(); start += 5) {
    const std::span<const Limbs, 9> a(below_p.data() + start, 9), b(below_p.data() + start + 9, 9);
    for (const auto& [x, y] : {std::pair{a, b}, std::pair{a, a}}) {
      ASSERT_EQ(montgomery::dot_adx<9>(x, y, p, Params::INV),
                montgomery::dot_portable<9>(x, y, p, Params::INV))
          << "seed " << seed << " start " << start;
      ASSERT_EQ(
          montgomery::dot_add_adx<4>(x.template first<4>(), y.template first<4>(), x[8], p, Params::INV),
          montgomery::dot_add_portable<4>(x.template first<4>(), y.template first<4>(), x[8], p, Params::INV))
          << "seed " << seed << " start " << start;
    }
  }
#endif
}

TEST(MontgomeryKernels, AssemblyAndPortableAgreeForFr) { check_kernels_agree<FrParams>(11); }
TEST(MontgomeryKernels, AssemblyAndPortableAgreeForFs) { check_kernels_agree<FsParams>(12); }

TEST(MontgomeryKernels, ReductionOfFullWidthIntegers) {
  // 2^256 - 1 = 5r + (2^256 - 1 - 5r): any 256-bit integer reduces to its residue.
  const Fr all_ones = Fr::from_u256_reduced({~0ull, ~0ull, ~0ull, ~0ull});
  const Fr two_64 = Fr::from_u128(0, 1);
  const Fr two_256 = two_64 * two_64 * two_64 * two_64;
  EXPECT_EQ(all_ones, two_256 - Fr::one());
  EXPECT_EQ(Fr::from_u256_reduced(FrParams::MODULUS), Fr::zero());
  EXPECT_EQ(Fs::from_u256_reduced(FsParams::MODULUS), Fs::zero());
}

// The kernels run where the detection finds their features: the detection's decoding of CPUID and XCR0,
// fed made-up CPUs with some parts and not others.
TEST(CpuFeatures, DecodedFromCpuidAndTheSavedRegisterState) {
  constexpr uint32_t kSse41 = 1u << 19, kOsxsave = 1u << 27, kAvx = 1u << 28;  // leaf 1, ECX
  constexpr uint32_t kAvx2 = 1u << 5, kBmi2 = 1u << 8, kAvx512F = 1u << 16, kAdx = 1u << 19, kIfma = 1u << 21,
                     kSha = 1u << 29, kAvx512Bw = 1u << 30, kAvx512Vl = 1u << 31;  // leaf 7, EBX
  constexpr uint32_t kLeaf1 = kSse41 | kOsxsave | kAvx;
  constexpr uint32_t kLeaf7 = kAvx2 | kBmi2 | kAvx512F | kAdx | kIfma | kSha | kAvx512Bw | kAvx512Vl;
  constexpr uint64_t kAllState = 0xe7, kAvxState = 0x7;
  struct Case {
    CpuIdWords words;
    bool adx, sha, avx2, avx512, ifma;
  };
  const Case cases[] = {
      {{0, 0, 0}, false, false, false, false, false},
      {{kLeaf1, kLeaf7, kAllState}, true, true, true, true, true},
      // AVX-512 needs F, BW and VL, and the OS saving the mask and upper registers.
      {{kLeaf1, kLeaf7 & ~(kAvx512Bw | kAvx512Vl), kAllState}, true, true, true, false, true},
      {{kLeaf1, kLeaf7 & ~kAvx512Bw, kAllState}, true, true, true, false, true},
      {{kLeaf1, kLeaf7 & ~kAvx512Vl, kAllState}, true, true, true, false, true},
      {{kLeaf1, kLeaf7 & ~kAvx512F, kAllState}, true, true, true, false, false},
      // IFMA needs F and IFMA (not BW or VL) and the same register state.
      {{kLeaf1, kLeaf7 & ~kIfma, kAllState}, true, true, true, true, false},
      {{kLeaf1, kLeaf7, kAvxState}, true, true, true, false, false},
      {{kLeaf1, kLeaf7, kAllState & ~0x40}, true, true, true, false, false},
      // AVX2 needs the AVX state saved, which XCR0 reports only with OSXSAVE and AVX.
      {{kLeaf1, kLeaf7, kAllState & ~0x4}, true, true, false, false, false},
      {{kLeaf1 & ~kOsxsave, kLeaf7, kAllState}, true, true, false, false, false},
      {{kLeaf1 & ~kAvx, kLeaf7, kAllState}, true, true, false, false, false},
      {{kLeaf1, kLeaf7 & ~kAvx2, kAllState}, true, true, false, true, true},
      // The field kernels need MULX (BMI2) and ADX; the SHA-256 kernels SHA and SSE4.1.
      {{kLeaf1, kLeaf7 & ~kBmi2, kAllState}, false, true, true, true, true},
      {{kLeaf1, kLeaf7 & ~kAdx, kAllState}, false, true, true, true, true},
      {{kLeaf1, kLeaf7 & ~kSha, kAllState}, true, false, true, true, true},
      {{kLeaf1 & ~kSse41, kLeaf7, kAllState}, true, false, true, true, true},
      {{kSse41, kBmi2 | kAdx | kSha, 0}, true, true, false, false, false},
  };
  for (const Case& c : cases) {
    const CpuFeatures features = decode_cpu_features(c.words);
    SCOPED_TRACE(::testing::Message()
                 << std::hex << c.words.leaf1_ecx << " " << c.words.leaf7_ebx << " " << c.words.xcr0);
    EXPECT_EQ(features.adx, c.adx);
    EXPECT_EQ(features.sha, c.sha);
    EXPECT_EQ(features.avx2, c.avx2);
    EXPECT_EQ(features.avx512, c.avx512);
    EXPECT_EQ(features.ifma, c.ifma);
  }
}

// macOS on x86-64: AVX-512 and IFMA from what the CPU and the kernel report, whether or not the thread's
// AVX-512 state is enabled yet, never on a kernel with the mask-register fault; the rest as elsewhere.
TEST(CpuFeatures, DarwinTakesAvx512FromTheKernel) {
  constexpr uint32_t kOsxsave = 1u << 27, kAvx = 1u << 28, kLeaf1 = (1u << 19) | kOsxsave | kAvx;
  constexpr uint32_t kAvx512F = 1u << 16, kIfma = 1u << 21, kAvx512Bw = 1u << 30, kAvx512Vl = 1u << 31;
  constexpr uint32_t kAvx512All = kAvx512F | kIfma | kAvx512Bw | kAvx512Vl;
  constexpr uint32_t kLeaf7 = (1u << 5) | (1u << 8) | (1u << 19) | (1u << 29) | kAvx512All;
  constexpr uint64_t kAvxState = 0x7, kAllState = 0xe7;
  struct Case {
    CpuIdWords words;
    DarwinAvx512 kernel;
    bool avx512, ifma;
  };
  const Case cases[] = {
      // The AVX-512 state not yet enabled, or already: the kernel's word decides.
      {{kLeaf1, kLeaf7, kAvxState}, {kAvx512All, 21, 3}, true, true},
      {{kLeaf1, kLeaf7, kAllState}, {kAvx512All, 24, 0}, true, true},
      {{kLeaf1, kLeaf7, kAvxState}, {0, 23, 6}, false, false},
      {{kLeaf1, kLeaf7, kAllState}, {0, 23, 6}, false, false},
      // Kernels up to 21.2 (macOS 12.1) never, whatever XCR0 shows.
      {{kLeaf1, kLeaf7, kAvxState}, {kAvx512All, 21, 2}, false, false},
      {{kLeaf1, kLeaf7, kAllState}, {kAvx512All, 20, 6}, false, false},
      {{kLeaf1, kLeaf7, kAllState}, {kAvx512All, 0, 0}, false, false},  // release unknown
      // Each extension needs both the CPU's bit and the kernel's.
      {{kLeaf1, kLeaf7, kAvxState}, {kAvx512All & ~kIfma, 21, 3}, true, false},
      {{kLeaf1, kLeaf7, kAvxState}, {kAvx512All & ~kAvx512Vl, 21, 3}, false, true},
      {{kLeaf1, kLeaf7 & ~kIfma, kAvxState}, {kAvx512All, 21, 3}, true, false},
      {{kLeaf1, kLeaf7 & ~kAvx512Bw, kAvxState}, {kAvx512All, 21, 3}, false, true},
      // Without the AVX state saved (or XCR0 to read) nothing of AVX-512.
      {{kLeaf1, kLeaf7, 0x3}, {kAvx512All, 21, 3}, false, false},
      {{kLeaf1 & ~kOsxsave, kLeaf7, kAllState}, {kAvx512All, 21, 3}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << std::hex << c.words.leaf7_ebx << " " << c.words.xcr0 << " " << c.kernel.leaf7_ebx
                 << std::dec << " " << c.kernel.kernel_major << "." << c.kernel.kernel_minor);
    const CpuFeatures darwin = decode_cpu_features_darwin(c.words, c.kernel);
    const CpuFeatures elsewhere = decode_cpu_features(c.words);
    EXPECT_EQ(darwin.avx512, c.avx512);
    EXPECT_EQ(darwin.ifma, c.ifma);
    EXPECT_EQ(darwin.adx, elsewhere.adx);
    EXPECT_EQ(darwin.sha, elsewhere.sha);
    EXPECT_EQ(darwin.avx2, elsewhere.avx2);
  }
}

// aarch64 Linux: the SHA-2 instructions from AT_HWCAP (the words qemu reports for a Cortex-A53 and for its
// "max" CPU, each with and without HWCAP_SHA2); nothing else is taken from it.
TEST(CpuFeatures, DecodesTheSha2BitOfTheAuxiliaryVector) {
  constexpr uint64_t kSha2 = 1 << 6;
  for (const uint64_t hwcap : {uint64_t{0x8fb}, uint64_t{0xecfffffb}}) {
    EXPECT_TRUE(decode_hwcap(hwcap).sha) << std::hex << hwcap;
    const CpuFeatures without = decode_hwcap(hwcap & ~kSha2);
    EXPECT_FALSE(without.sha || without.adx || without.avx2 || without.avx512 || without.ifma)
        << std::hex << hwcap;
  }
}

}  // namespace
}  // namespace tarvo
