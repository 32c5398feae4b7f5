#include "crypto/curve/jubjub_params.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "crypto/curve/edwards.h"
#include "crypto/tests/support/references.h"
#include "crypto/tests/test_hex.h"
#include "crypto/tools/group_hash.h"

namespace tarvo {
namespace {

using test::le_bytes_from_hex;
using test::limbs_from_hex;

struct GeneratorVector {
  const char* tag;
  const char* personalisation;
  const char* x;
  const char* y;
  uint8_t counter;
  const char* packed;
};

// Index order; counter is the byte of the successful attempt.
const GeneratorVector kGenerators[] = {
    {"", "Zcash_H_", "0x1ee77350e12c9895b2ce939094e92af260b4a56c9a4f09230e0ff0c5786a30ca",
     "0x18c6409592649c36a79a15177b4aec5784075f5a03f9a1b09a57af4b288f929d", 2,
     "0x18c6409592649c36a79a15177b4aec5784075f5a03f9a1b09a57af4b288f929d"},
    {"r", "Zcash_PH", "0x1f8151972518489ee4e4877f27a98ee98b16045a3df8a623f782090b4592bcee",
     "0x2590f9fbe09f7f5e83a29e97bb97981a6125edb96af6577c738af072bf1142e4", 2,
     "0x2590f9fbe09f7f5e83a29e97bb97981a6125edb96af6577c738af072bf1142e4"},
    {"", "Zcash_J_", "0x06365233b672101388d5d99a9514a8ba26ccbbae043205293d8aa2b1254dda88",
     "0x063007fe32cc0f6934b24bfc11bdaaf82cdaab270e596c1a1cac59ab9d85ab81", 0,
     "0x063007fe32cc0f6934b24bfc11bdaaf82cdaab270e596c1a1cac59ab9d85ab81"},
    {"v", "Zcash_cv", "0x0a71462a426047520559654bf211850d5060582816d27c4a80dd05c85112b2ad",
     "0x0042358566d0cd4c9cfa3b48b85b5b7653cd483fa71222b378a6952ab6232e5f", 1,
     "0x8042358566d0cd4c9cfa3b48b85b5b7653cd483fa71222b378a6952ab6232e5f"},
    {"r", "Zcash_cv", "0x21108e5b084a15ced07f197a5e7ae8b7c52076fdb63c5b9b245ba5e2711b8abc",
     "0x0c4ea6f36b841e28a3bea6b126ac247e7f0558d717b6d5c4734063cd762a5099", 7,
     "0x0c4ea6f36b841e28a3bea6b126ac247e7f0558d717b6d5c4734063cd762a5099"},
    {"", "Zcash_G_", "0x2ef3f9b423a2c8c74e9803958f6c320e854a1c1c06cd5cc8fd221dc052d76df7",
     "0x05a01167ea785d3f784224644a68e4067532c815f5f6d57d984b5c0e9c6c94b7", 1,
     "0x85a01167ea785d3f784224644a68e4067532c815f5f6d57d984b5c0e9c6c94b7"},
};

TEST(AltJubjubBn256, EdwardsDIsTheRatioOfTheMontgomeryCoefficients) {
  const Fr d = JUBJUB_PARAMS->edwards_d();
  EXPECT_EQ(d * Fr::from_u128(168700, 0), -Fr::from_u128(168696, 0));
  EXPECT_EQ(d.into_repr(),
            limbs_from_hex("0x1aee90f15f2189693df072d799fd11fc039b2959ebb7c867d075ca8cf4d7eb8e"));
}

TEST(AltJubjubBn256, GeneratorsMatchKnownAnswers) {
  const AltJubjubBn256& params = *JUBJUB_PARAMS;
  for (size_t i = 0; i < AltJubjubBn256::GENERATOR_COUNT; ++i) {
    SCOPED_TRACE(i);
    const auto [x, y] = edwards::to_affine(params.generator(i));
    EXPECT_EQ(x.into_repr(), limbs_from_hex(kGenerators[i].x));
    EXPECT_EQ(y.into_repr(), limbs_from_hex(kGenerators[i].y));
    EXPECT_EQ(edwards::write(params.generator(i)), le_bytes_from_hex(kGenerators[i].packed));
  }
}

// The generators are compiled in from the committed tables; derived afresh, they must come out the same.
TEST(AltJubjubBn256, EachGeneratorIsTheFirstGroupHashHit) {
  const AltJubjubBn256& params = *JUBJUB_PARAMS;
  const auto derived = derive_generators();
  for (size_t i = 0; i < AltJubjubBn256::GENERATOR_COUNT; ++i) {
    EXPECT_EQ(derived[i], params.generator(i)) << i;
    SCOPED_TRACE(i);
    const GeneratorVector& v = kGenerators[i];
    std::vector<uint8_t> input(v.tag, v.tag + std::strlen(v.tag));
    input.push_back(0);
    for (uint8_t counter = 0; counter < v.counter; ++counter) {
      input.back() = counter;
      EXPECT_FALSE(baby_group_hash(input, v.personalisation, params).has_value()) << int{counter};
    }
    input.back() = v.counter;
    EXPECT_EQ(*baby_group_hash(input, v.personalisation, params), params.generator(i));
    EXPECT_EQ(find_group_hash(v.tag, v.personalisation, params), params.generator(i));
  }
}

TEST(AltJubjubBn256, GeneratorsAreDistinctSubgroupPoints) {
  const AltJubjubBn256& params = *JUBJUB_PARAMS;
  for (size_t i = 0; i < AltJubjubBn256::GENERATOR_COUNT; ++i) {
    const auto& g = params.generator(i);
    EXPECT_FALSE(edwards::is_zero(g));
    EXPECT_TRUE(edwards::is_zero(edwards::mul_reference_var(g, Fs::characteristic(), params))) << i;
    const auto [x, y] = edwards::to_affine(g);
    EXPECT_TRUE(edwards::from_xy(x, y, params).has_value()) << i;
    for (size_t j = i + 1; j < AltJubjubBn256::GENERATOR_COUNT; ++j) EXPECT_FALSE(g == params.generator(j));
  }
}

TEST(AltJubjubBn256, GeneratorIndexPastFiveIsFatal) {
  EXPECT_THROW(JUBJUB_PARAMS->generator(6), FatalError);
  EXPECT_THROW(JUBJUB_PARAMS->mul_generator(6, Fs::one()), FatalError);
}

TEST(AltJubjubBn256, GroupHashNeedsAnEightBytePersonalisation) {
  const std::vector<uint8_t> input = {0};
  EXPECT_THROW(baby_group_hash(input, "Zcash_G", *JUBJUB_PARAMS), FatalError);
  EXPECT_THROW(baby_group_hash(input, "Zcash_G__", *JUBJUB_PARAMS), FatalError);
}

}  // namespace
}  // namespace tarvo
