#include <gtest/gtest.h>

#include <utility>

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/packed_public_key.h"

namespace tarvo {
namespace {

const std::string kZeros64(64, '0');
const std::string kL = "060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f1";
const std::string kLMinusOne = "060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0";

TEST(PrivateKeyText, AcceptedForms) {
  EXPECT_TRUE(private_key_from_string("0x" + kZeros64)->sk.is_zero());
  EXPECT_TRUE(private_key_from_string("0x0x" + kZeros64)->sk.is_zero());  // every leading 0x goes
  EXPECT_EQ(private_key_from_string(kLMinusOne)->sk, -Fs::one());
  EXPECT_EQ(private_key_from_string(std::string(63, '0') + "A")->sk, Fs::from_u128(10, 0));
}

TEST(PrivateKeyText, RefusedFormsWithTheirTexts) {
  const std::pair<std::string, std::string> cases[] = {
      {"0X" + kZeros64, "Invalid character 'X' at position 1"},
      {"", "Incorrect input size. Actual: 0, expected: 32"},
      {std::string(62, '1'), "Incorrect input size. Actual: 31, expected: 32"},
      {std::string(66, '1'), "Incorrect input size. Actual: 33, expected: 32"},
      {std::string(63, '1'), "Odd number of digits"},
      {"0x" + std::string(62, '0') + "g0", "Invalid character 'g' at position 62"},
      {std::string(62, '0') + "\xc3\xa9", "Invalid character '\xc3\xa9' at position 62"},
      {kL, "Cannot convert into prime field value: 0x" + kL + " is not an element of the field"},
  };
  for (const auto& [text, message] : cases) {
    const auto key = private_key_from_string(text);
    ASSERT_FALSE(key.ok()) << text;
    EXPECT_EQ(key.error().message(), message) << text;
  }
}

TEST(FieldHexText, BigEndianSixtyFourDigits) {
  EXPECT_EQ(FeConvert::to_hex(Fs::one()), std::string(63, '0') + "1");
  EXPECT_EQ(FeConvert::to_hex(-Fs::one()), kLMinusOne);
  EXPECT_EQ(FeConvert::to_hex(Fr::from_u128(0, 1)), std::string(47, '0') + "1" + std::string(16, '0'));
}

TEST(PackedPublicKey, AddressesBelow2To160UnpackWithoutDecoding) {
  EXPECT_EQ(unpack_public_key(U256::from_u64(1)), (BabyJubjubPoint{U256{}, U256::from_u64(1)}));
  const U256 max_address = U256{{~0ull, ~0ull, 0xffffffff, 0}};
  EXPECT_EQ(unpack_public_key(max_address), (BabyJubjubPoint{U256{}, max_address}));
  // 0 is not an address: it decodes as the point with y = 0.
  const BabyJubjubPoint zero_y = unpack_public_key(U256{});
  EXPECT_EQ(zero_y.y, U256{});
  EXPECT_FALSE(zero_y.x.is_zero());
}

TEST(PackedPublicKey, UndecodableValuesAreFatal) {
  EXPECT_THROW(unpack_public_key(U256{{0, 0, 0, ~0ull}}), FatalError);  // y >= r
}

TEST(PackedPublicKey, DerivedKeyUnpacksToTheAffineProduct) {
  for (uint64_t k : {2ull, 12345ull, 0xfedcba9876543210ull}) {
    const eddsa::PrivateKey key{Fs::from_u128(k, 0)};
    const auto [x, y] = edwards::to_affine(JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, key.sk));
    const auto [packed, point] = public_key_and_point(key);
    EXPECT_EQ(point, (BabyJubjubPoint{fr_to_u256(x), fr_to_u256(y)}));
    EXPECT_EQ(unpack_public_key(packed), point);
  }
  EXPECT_EQ(public_key_and_point(eddsa::PrivateKey{Fs::zero()}).first, U256::from_u64(1));
}

TEST(VerificationKey, FromAffineCoordinates) {
  EXPECT_TRUE(convert_to_pubkey(U256{}, U256::from_u64(1)).ok());
  EXPECT_EQ(convert_to_pubkey(U256::from_u64(1), U256::from_u64(1)).error().message(),
            "could not decode public key by x and y");
  const U256 r{Fr::MODULUS};
  for (const auto& [x, y] : {std::pair{r, U256::from_u64(1)}, std::pair{U256{}, r}}) {
    EXPECT_EQ(
        convert_to_pubkey(x, y).error().message(),
        "0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000001 is not an element of the field");
  }
}

}  // namespace
}  // namespace tarvo
