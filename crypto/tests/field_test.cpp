#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "crypto/field/divsteps.h"
#include "crypto/field/fr.h"
#include "crypto/field/fs.h"

namespace tarvo {
namespace {

constexpr Limbs kRMinusOne = {0x43e1f593f0000000, 0x2833e84879b97091, 0xb85045b68181585d, 0x30644e72e131a029};
constexpr Limbs kAllOnes = {~0ull, ~0ull, ~0ull, ~0ull};

template <typename F>
F random_element(std::mt19937_64& rng) {
  return F::from_u256_reduced({rng(), rng(), rng(), rng()});
}

TEST(FrEncodings, FromReprAcceptsBelowModulusOnly) {
  EXPECT_TRUE(Fr::from_repr(kRMinusOne).ok());
  const auto at_r = Fr::from_repr(Fr::MODULUS);
  ASSERT_FALSE(at_r.ok());
  EXPECT_EQ(
      at_r.error().message(),
      "0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000001 is not an element of the field");
  const auto max = Fr::from_repr(kAllOnes);
  ASSERT_FALSE(max.ok());
  EXPECT_EQ(
      max.error().message(),
      "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff is not an element of the field");
}

TEST(FrEncodings, CanonicalLimbsRoundTrip) {
  EXPECT_EQ(Fr::from_repr(kRMinusOne)->into_repr(), kRMinusOne);
  EXPECT_EQ(Fr::one().into_repr(), (Limbs{1, 0, 0, 0}));
  EXPECT_EQ(Fr::zero().into_repr(), (Limbs{0, 0, 0, 0}));
}

TEST(FrEncodings, ByteOrders) {
  std::array<uint8_t, 32> one_le{};
  one_le[0] = 1;
  std::array<uint8_t, 32> one_be{};
  one_be[31] = 1;
  EXPECT_EQ(Fr::one().to_le_bytes(), one_le);
  EXPECT_EQ(Fr::one().to_be_bytes(), one_be);
}

TEST(FrEncodings, FromU128AndWideBytes) {
  EXPECT_EQ(Fr::from_u128(0, 1).into_repr(), (Limbs{0, 1, 0, 0}));
  // (2^512 - 1) mod r = 2^512 mod r - 1; 2^512 mod r = (2^256 mod r)^2 mod r.
  std::array<uint8_t, 64> ff;
  ff.fill(0xff);
  const Fr two_256 = Fr::from_u128(0, 1) * Fr::from_u128(0, 1) * Fr::from_u128(0, 1) * Fr::from_u128(0, 1);
  EXPECT_EQ(Fr::from_bytes_wide(ff), two_256 * two_256 - Fr::one());
}

TEST(FrEncodings, DecimalTextRules) {
  EXPECT_EQ(Fr::from_str("0"), Fr::zero());
  EXPECT_EQ(Fr::from_str("12345")->into_repr(), (Limbs{12345, 0, 0, 0}));
  for (const char* bad : {"", "00", "01", "-1", " 1", "1 ", "1a", "+1"}) {
    EXPECT_FALSE(Fr::from_str(bad).has_value()) << bad;
  }
  EXPECT_EQ(Fr::from_str("21888242871839275222246405745257275088548364400416034343698204186575808495617"),
            Fr::zero());
  EXPECT_EQ(Fr::from_str("21888242871839275222246405745257275088548364400416034343698204186575808495618"),
            Fr::one());
}

TEST(FrArithmetic, InverseSqrtLegendre) {
  EXPECT_FALSE(Fr::zero().inverse().has_value());
  EXPECT_EQ(Fr::zero().legendre(), Legendre::zero);
  const Fr five = Fr::from_u128(5, 0);
  EXPECT_EQ(five.legendre(), Legendre::quadratic_non_residue);
  EXPECT_FALSE(five.sqrt().has_value());
  EXPECT_EQ(Fr::from_u128(4, 0).sqrt()->square(), Fr::from_u128(4, 0));
  EXPECT_EQ(Fr::from_repr(kRMinusOne)->square(), Fr::one());
}

// Both divsteps inversions against Fermat's chain.
template <typename F>
void check_inverse(const F& a) {
  EXPECT_EQ(a.inverse(), a.inverse_reference());
  EXPECT_EQ(a.inverse_var(), a.inverse_reference());
}

// The target's divstep batches (CMOV assembly on x86-64) against the portable ones, from zeta near -1,
// where swaps are frequent, and far from it.
template <int LastSteps>
void check_divstep_batches_agree(uint64_t seed) {
  std::mt19937_64 rng(seed);
  for (int i = 0; i < 20000; ++i) {
    const uint64_t f = rng() | 1, g = rng();
    const int64_t zeta = static_cast<int64_t>(rng() % (i % 2 == 0 ? 8 : 1200)) - (i % 2 == 0 ? 4 : 600);
    modinv::Transition target, portable;
    ASSERT_EQ(modinv::divsteps<LastSteps>(zeta, f, g, target),
              (modinv::divsteps<LastSteps, true>(zeta, f, g, portable)));
    ASSERT_EQ(target, portable) << "seed " << seed << " iteration " << i;
  }
}

TEST(DivstepBatches, TargetAndPortableAgree) {
  check_divstep_batches_agree<modinv::ROUND_STEPS>(13);
  check_divstep_batches_agree<modinv::LAST_BATCH_STEPS - 2 * modinv::ROUND_STEPS>(14);
}

// A residue's root squares back to it; a non-residue has none.
template <typename F>
void check_sqrt(const F& a) {
  const auto root = a.sqrt();
  if (a.legendre() == Legendre::quadratic_non_residue) {
    EXPECT_FALSE(root.has_value());
  } else {
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(root->square(), a);
  }
}

// Element j has order 2^j, for j = 0 .. S where p - 1 = 2^S·T with T odd: the T-th power of the least
// non-residue and its squares, derived here from the modulus alone.
template <typename F>
std::vector<F> roots_of_unity_of_every_order() {
  Limbs odd_part = F::characteristic();
  odd_part[0] -= 1;  // p is odd
  unsigned s = 0;
  for (; odd_part[0] % 2 == 0; ++s) {
    for (int i = 0; i < 4; ++i) odd_part[i] = (odd_part[i] >> 1) | (i < 3 ? odd_part[i + 1] << 63 : 0);
  }
  F non_residue = F::from_u128(2, 0);
  while (non_residue.legendre() != Legendre::quadratic_non_residue) non_residue += F::one();
  std::vector<F> roots(s + 1);
  roots[s] = non_residue.pow(odd_part);
  for (unsigned j = s; j-- > 0;) roots[j] = roots[j + 1].square();
  return roots;
}

template <typename F>
void check_field_laws(uint64_t seed) {
  for (const F& edge : {F::zero(), F::one(), -F::one(), F::from_u128(2, 0)}) {
    check_inverse(edge);
    check_sqrt(edge);
  }
  // Square roots of residues and non-residues whose a^T has each order 2^j, alone and times random
  // squares and random elements.
  const std::vector<F> roots_of_unity = roots_of_unity_of_every_order<F>();
  ASSERT_EQ(roots_of_unity[1], -F::one());
  std::mt19937_64 sqrt_rng(seed);
  for (const F& root_of_unity : roots_of_unity) {
    check_sqrt(root_of_unity);
    for (int i = 0; i < 8; ++i) {
      const F a = random_element<F>(sqrt_rng);
      check_sqrt(root_of_unity * a.square());
      check_sqrt(root_of_unity * a);
    }
  }
  std::mt19937_64 rng(seed);
  for (int i = 0; i < 200; ++i) {
    const F a = random_element<F>(rng), b = random_element<F>(rng), c = random_element<F>(rng);
    SCOPED_TRACE(testing::Message() << "seed " << seed << " iteration " << i);
    EXPECT_EQ((a + b) * c, a * c + b * c);
    EXPECT_EQ(a * b, b * a);
    EXPECT_EQ((a - b) + b, a);
    EXPECT_EQ(a + (-a), F::zero());
    EXPECT_EQ(a.square(), a * a);
    EXPECT_EQ(a.doubled(), a + a);
    if (!a.is_zero()) {
      EXPECT_EQ(a * *a.inverse(), F::one());
    }
    check_inverse(a);
    check_sqrt(a);
    const auto root = a.square().sqrt();
    ASSERT_TRUE(root.has_value());
    EXPECT_TRUE(*root == a || *root == -a);
    EXPECT_EQ(F::from_repr(a.into_repr()).value(), a);
  }
}

TEST(FrArithmetic, FieldLawsOnRandomElements) { check_field_laws<Fr>(1); }
TEST(FsArithmetic, FieldLawsOnRandomElements) { check_field_laws<Fs>(2); }

TEST(FrArithmetic, EdgeValuesWrapAround) {
  const Fr max = *Fr::from_repr(kRMinusOne);
  EXPECT_EQ(max + Fr::one(), Fr::zero());
  EXPECT_EQ(Fr::zero() - Fr::one(), max);
  EXPECT_EQ(-Fr::zero(), Fr::zero());
  EXPECT_EQ(max * max, Fr::one());
}

TEST(FsEncodings, ModulusAndRangeCheck) {
  EXPECT_EQ(Fs::characteristic(),
            (Limbs{0x677297dc392126f1, 0xab3eedb83920ee0a, 0x370a08b6d0302b0b, 0x060c89ce5c263405}));
  Limbs l_minus_one = Fs::characteristic();
  l_minus_one[0] -= 1;
  EXPECT_TRUE(Fs::from_repr(l_minus_one).ok());
  const auto at_l = Fs::from_repr(Fs::characteristic());
  ASSERT_FALSE(at_l.ok());
  EXPECT_EQ(
      at_l.error().message(),
      "0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f1 is not an element of the field");
  EXPECT_FALSE(Fs::from_repr(kAllOnes).ok());
  EXPECT_EQ(Fs::one().into_repr(), (Limbs{1, 0, 0, 0}));
}

TEST(FsEncodings, UniformReductionOf32Bytes) {
  std::array<uint8_t, 32> bytes{};
  EXPECT_EQ(to_uniform_32(bytes), Fs::zero());
  bytes[0] = 1;
  EXPECT_EQ(to_uniform_32(bytes), Fs::one());
  const Limbs l = Fs::characteristic();
  for (int i = 0; i < 32; ++i) bytes[i] = static_cast<uint8_t>(l[i / 8] >> (8 * (i % 8)));
  EXPECT_EQ(to_uniform_32(bytes), Fs::zero());
  bytes.fill(0xff);
  // (2^256 - 1) mod l is one less than R mod l, the Montgomery form of one.
  EXPECT_EQ(to_uniform_32(bytes).into_repr(),
            (Limbs{0x073315dea08f9c75, 0xe7acffc6a098f24b, 0xf85a9201d818f015, 0x01f16424e1bb7724}));
  const std::array<uint8_t, 31> short_input{};
  EXPECT_THROW(to_uniform_32(short_input), FatalError);
}

}  // namespace
}  // namespace tarvo
