#include <gtest/gtest.h>

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/packed_public_key.h"
#include "sdk/src/signing/packed_signature.h"
#include "sdk/src/signing/sign.h"

namespace tarvo {
namespace {

const std::array<uint8_t, 32> kMessage = message_bytes(U256{{0x0123456789abcdef, 42, 7, 0x0fedcba987654321}});

eddsa::PrivateKey key_of(uint64_t k) { return {Fs::from_u128(k, 0x1234)}; }

TEST(TransactionSigner, SignaturesAreDeterministicAndVerify) {
  const auto key = key_of(99);
  const TxSignature first = TxSignature::sign_msg(key, kMessage);
  const TxSignature second = TxSignature::sign_msg(key, kMessage);
  const JubjubSignature affine = first.to_jubjub_signature();
  EXPECT_EQ(affine, second.to_jubjub_signature());
  EXPECT_EQ(affine.to_json(), second.to_jubjub_signature().to_json());
  EXPECT_EQ(first.to_l1_signature().pk_x, public_key_and_point(key).first.to_hex());

  const std::string text = affine.to_json();
  const auto public_key = eddsa::PublicKey::from_private(key, GENERATOR_INDEX, *JUBJUB_PARAMS);
  EXPECT_TRUE(public_key.verify_for_raw_message(
      kMessage, packed_signature_from_str(text.substr(6, 66), text.substr(79, 66)), GENERATOR_INDEX,
      *JUBJUB_PARAMS));
  EXPECT_TRUE(limbs_less_var(affine.s.limbs, Fs::characteristic()));
  EXPECT_TRUE(edwards::from_xy(affine.r.first, affine.r.second, *JUBJUB_PARAMS));
}

TEST(TransactionSigner, ZeroKeySignsWithTheNonceAsScalar) {
  const eddsa::PrivateKey zero{Fs::zero()};
  const TxSignature signature = TxSignature::sign_msg(zero, kMessage);
  EXPECT_EQ(signature.to_l1_signature().pk_x, U256::from_u64(1).to_hex());
  EXPECT_EQ(signature.signature.s, eddsa::Seed::deterministic_seed(zero, kMessage).r);
}

TEST(SignatureText, JsonIsCompactAndRoundTrips) {
  const TxSignature signed_message = TxSignature::sign_msg(key_of(5), kMessage);
  const std::string json = signed_message.to_jubjub_signature().to_json();
  ASSERT_EQ(json.size(), 147u);
  EXPECT_EQ(json.substr(0, 8), "{\"r\":\"0x");
  EXPECT_EQ(json.find(' '), std::string::npos);
  const std::string r = json.substr(6, 66), s = json.substr(79, 66);
  EXPECT_EQ(json.substr(72, 7), "\",\"s\":\"");
  // Every prefix form reads the same: R (projectively) and s as signed.
  for (const char* prefix : {"0x", "0X", "0x0x", "0x0X", ""}) {
    const eddsa::Signature read = packed_signature_from_str(std::string(prefix) + r.substr(2), s);
    EXPECT_EQ(edwards::to_affine(read.r), signed_message.signature.r) << prefix;
    EXPECT_EQ(read.s, signed_message.signature.s) << prefix;
  }
}

TEST(SignatureText, NeutralPointAndScalarRange) {
  const eddsa::Signature neutral = packed_signature_from_str("0x1", "0x5");
  EXPECT_TRUE(edwards::is_zero(neutral.r));
  const U256 l{Fs::characteristic()};
  const U256 l_minus_1{{l.limbs[0] - 1, l.limbs[1], l.limbs[2], l.limbs[3]}};
  EXPECT_THROW(packed_signature_from_str("0x1", l.to_hex()), FatalError);
  EXPECT_NO_THROW(packed_signature_from_str("0x1", l_minus_1.to_hex()));
  EXPECT_EQ((JubjubSignature{{Fr::zero(), Fr::one()}, U256::from_u64(5)}).to_json(),
            "{\"r\":\"0x" + std::string(63, '0') + "1\",\"s\":\"0x" + std::string(63, '0') + "5\"}");
}

TEST(SignatureText, MalformedTextsAreFatal) {
  EXPECT_THROW(packed_signature_from_str("0xzz", "0x1"), FatalError);
  EXPECT_THROW(packed_signature_from_str("0x1", std::string(65, '1')), FatalError);
  EXPECT_THROW(packed_signature_from_str("0x" + std::string(64, 'f'), "0x1"), FatalError);  // y >= r
}

}  // namespace
}  // namespace tarvo
