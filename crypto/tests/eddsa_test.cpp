#include "crypto/eddsa/eddsa.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/eddsa/short_challenge.h"
#include "crypto/tests/support/references.h"
#include "crypto/tests/test_hex.h"

namespace tarvo::eddsa {
namespace {

using edwards::Point;
using edwards::PrimeOrder;
using edwards::Unknown;
using test::le_bytes_from_hex;
using test::limbs_from_hex;

constexpr size_t kIndex = 5;
constexpr uint64_t kSeed = 77031;

const AltJubjubBn256& params() { return *JUBJUB_PARAMS; }

PrivateKey key_from_hex(std::string_view hex) { return {*Fs::from_repr(limbs_from_hex(hex))}; }

Signature sign(const PrivateKey& key, std::span<const uint8_t> message, size_t index = kIndex) {
  return key.sign_raw_message(message, Seed::deterministic_seed(key, message), index, params());
}

bool verify(const PrivateKey& key, std::span<const uint8_t> message, const Signature& signature,
            size_t index = kIndex) {
  return PublicKey::from_private(key, index, params())
      .verify_for_raw_message(message, signature, index, params());
}

Point<Unknown> order_two_point() { return *edwards::from_xy(Fr::zero(), -Fr::one(), params()); }

// Private key (big-endian), message value (signed as its 32 little-endian bytes), the packed R and s.
struct SignatureVector {
  const char* key;
  const char* message;
  const char* r;
  const char* s;
};

const SignatureVector kSignatures[] = {
    {"0x0000000000000000000000000000000000000000000000000000000000000000",
     "0x0000000000000000000000000000000000000000000000000000000000000000",
     "0x130c3cdf731781c25d5f38f6faf6fd21e01f3710b50206bc89469fd7a0a8bb2e",
     "0x00ae93fc812ca56c92889b0e0c5f861aa6e48bc895e5a9c94e57a9e7a92183a4"},
    {"0x0000000000000000000000000000000000000000000000000000000000000000",
     "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
     "0x8cac93ba44dcb1ed28083600241bdd17403a154598e8b962ea3666436184e3d5",
     "0x04adaaf9628127c1bcc14e8f8cd480530b82168588d490648153ff67c18f8cfb"},
    {"0x0000000000000000000000000000000000000000000000000000000000000001",
     "0x0000000000000000000000000000000000000000000000000000000000000001",
     "0x8de2b60599d8b7daecd8640994a494ddb4419842df9ea962af350bc5dc5ef8ef",
     "0x054c2704264e6312bd8cd81efa9a5402b009cfdd6a5432746a7c8e3f6947226f"},
    {"0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0",
     "0x0000000000000000000000000000000000000000000000000000000000000000",
     "0x86325f2b643334298f2043338eadea14a4af8b6820d87e4e331214fe0cd67c26",
     "0x006f3d048ca37870f3713141b74f64940a15f89f88d3d58bf55b218261e39c36"},
    {"0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0",
     "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
     "0xa4d4c8f0916d8d65f707737b51449832a79e04ab13411a0c3d2ba396d140d08a",
     "0x0564e045bb024db100bb4b025b137b1cca3f2acc542244341f0ae651969e9a2c"},
    {"0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde",
     "0x0000000000000000000000000000000000000000000000000000000000000001",
     "0x2507643ba80911ebd877ddf5d2747e1b2c0c7bf13df22190cd7bc859bbe87895",
     "0x05944655fe2bab793911651592d8c3be06bd518d6e4f5f57b493bb52a492fbfd"},
    {"0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde",
     "0x0000000000000000000000000000000000000000000000000000000000abcdef",
     "0x801da63dfd81df286beb654bdce446c79d8d2451e14daa60ab6e02d472de1a74",
     "0x0468fbd9e88aed8c1ec9df25f2c1bd1b29c972cc3b40b8af66c34de5c3648aba"},
    {"0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde",
     "0x0000000000000000000000000000000000000000000000000000000000000007",
     "0x0a9fe8da92daca0a5061fa6b639ef025d05951f6a9b0dc6ce2adba72e10e1b04",
     "0x04aa7340664d8404bc578a73f22cbc670b57a05cb018f99c27980141a8270be8"},
};

TEST(RawMessageEddsa, SignaturesMatchKnownAnswers) {
  for (const SignatureVector& v : kSignatures) {
    SCOPED_TRACE(testing::Message() << v.key << " / " << v.message);
    const PrivateKey key = key_from_hex(v.key);
    const std::array<uint8_t, 32> message = le_bytes_from_hex(v.message);
    const Signature signature = sign(key, message);
    EXPECT_EQ(edwards::write(signature.r), le_bytes_from_hex(v.r));
    EXPECT_EQ(signature.s.into_repr(), limbs_from_hex(v.s));
    EXPECT_TRUE(verify(key, message, signature));
  }
}

TEST(RawMessageEddsa, ZeroKeySignsWithSEqualToTheNonce) {
  const PrivateKey key{Fs::zero()};
  const std::array<uint8_t, 32> message{};
  const Seed seed = Seed::deterministic_seed(key, message);
  EXPECT_EQ(seed.r.into_repr(), limbs_from_hex(kSignatures[0].s));
  const Signature signature = key.sign_raw_message(message, seed, kIndex, params());
  EXPECT_EQ(signature.s, seed.r);
  EXPECT_TRUE(edwards::is_zero(PublicKey::from_private(key, kIndex, params()).a));
  EXPECT_TRUE(verify(key, message, signature));
}

TEST(RawMessageEddsa, VerifiesAnOutsideSignature) {
  const Point<Unknown> a = *edwards::read(
      le_bytes_from_hex("0x8af3963e32f7a1cc3e973b4d9a359392a7ea5ae99c4203c0064badaa2f3f8f8d"), params());
  const Signature signature{
      *edwards::read(le_bytes_from_hex("0xadf5989966420314f57d8dd246ef95fc560e941a1a34ee3ef4dc44f424baede8"),
                     params()),
      *Fs::from_repr(limbs_from_hex("0x05d662fcfc8300888a1f113faf812376b49db0bda57ff00e6580f2b9f8da0a68"))};
  const PublicKey key{a};
  const auto message =
      le_bytes_from_hex("0x0000000000000000000000000000000000000000000000000000000000001234");
  const auto other = le_bytes_from_hex("0x0000000000000000000000000000000000000000000000000000000000001235");
  EXPECT_TRUE(key.verify_for_raw_message(message, signature, kIndex, params()));
  EXPECT_FALSE(key.verify_for_raw_message(other, signature, kIndex, params()));
  EXPECT_FALSE(key.verify_for_raw_message(message, {signature.r, signature.s + Fs::one()}, kIndex, params()));
}

TEST(RawMessageEddsa, RejectsEveryAlteration) {
  std::mt19937_64 rng(kSeed);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed);
  for (int round = 0; round < 4; ++round) {
    const PrivateKey key{Fs::from_u256_reduced({rng(), rng(), rng(), rng()})};
    std::array<uint8_t, 32> message;
    for (uint8_t& b : message) b = static_cast<uint8_t>(rng());
    const Signature good = sign(key, message);
    ASSERT_TRUE(verify(key, message, good));

    std::array<uint8_t, 32> other_message = message;
    other_message[round] ^= 1;
    const Point<Unknown> other_r = edwards::add(good.r, params().generator(kIndex), params());
    const Point<Unknown> r_with_small_part = edwards::add(good.r, order_two_point(), params());
    EXPECT_FALSE(verify(key, other_message, good));
    EXPECT_FALSE(verify(key, message, {good.r, good.s + Fs::one()}));
    EXPECT_FALSE(verify(key, message, {other_r, good.s}));
    EXPECT_FALSE(verify(key, message, {r_with_small_part, good.s}));
    const PublicKey a = PublicKey::from_private(key, kIndex, params());
    EXPECT_FALSE(a.verify_for_raw_message(message, good, 4, params()));
    EXPECT_FALSE(verify(key, message, sign(key, message, 4)));  // signed with generator 4
    EXPECT_TRUE(verify(key, message, sign(key, message, 4), 4));
  }
}

// Points of order 2 that satisfy s·G = R + m·A are still refused: the subgroup checks come first.
TEST(RawMessageEddsa, SmallOrderKeyOrNonceIsRejectedEvenWhenTheEquationHolds) {
  const Point<Unknown> t = order_two_point();
  const Fs r = Fs::from_u128(12345, 0);
  const Point<Unknown> big_r = params().mul_generator(kIndex, r);
  std::array<uint8_t, 32> even{};
  even[0] = 2;  // 2·t is the neutral element
  EXPECT_FALSE(PublicKey{t}.verify_for_raw_message(even, {big_r, r}, kIndex, params()));
  std::array<uint8_t, 32> odd{};
  odd[0] = 1;  // t + 1·t is the neutral element, and so is 0·G
  EXPECT_FALSE(PublicKey{t}.verify_for_raw_message(odd, {t, Fs::zero()}, kIndex, params()));
}

// Challenges that end the Euclidean algorithm at once (0, 1, 2^126 − 1), give it a huge first quotient
// (2^126, 2^127, 2^250), and the top of the field, then random ones: c·m ≡ d (mod l) within the bounds,
// and the half-size equation agrees with the full-width reference on a valid signature and altered ones.
TEST(RawMessageEddsa, ShortChallengeEquationAgreesWithTheReference) {
  std::mt19937_64 rng(kSeed + 2);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed + 2);
  const Limbs l = Fs::characteristic();
  std::vector<Limbs> challenges = {{0, 0, 0, 0},
                                   {1, 0, 0, 0},
                                   {~0ull, (1ull << 62) - 1, 0, 0},
                                   {0, 1ull << 62, 0, 0},
                                   {0, 1ull << 63, 0, 0},
                                   {0, 0, 0, 1ull << 58},
                                   {l[0] - 1, l[1], l[2], l[3]},
                                   FsParams::MODULUS_MINUS_ONE_DIV_TWO};
  for (int i = 0; i < 8; ++i)
    challenges.push_back(Fs::from_u256_reduced({rng(), rng(), rng(), rng()}).into_repr());
  const auto fs = [](u128 value) {
    return Fs::from_u128(static_cast<uint64_t>(value), static_cast<uint64_t>(value >> 64));
  };
  const auto expect_short = [&fs](const Limbs& m) {
    SCOPED_TRACE(limbs_to_hex(m));
    const ShortChallenge reduced = short_challenge_var(m);
    EXPECT_TRUE(reduced.c_magnitude != 0 && reduced.c_magnitude >> 125 == 0 && reduced.d >> 126 == 0);
    const Fs c = reduced.c_negative ? -fs(reduced.c_magnitude) : fs(reduced.c_magnitude);
    EXPECT_EQ(c * *Fs::from_repr(m), fs(reduced.d));
  };
  // Challenges of every length, whose quotients the batches of leading bits settle or leave to a whole step.
  for (unsigned bits = 1; bits <= 252; ++bits) {
    for (int i = 0; i < 16; ++i) {
      Limbs m = Fs::from_u256_reduced({rng(), rng(), rng(), rng()}).into_repr();
      for (unsigned limb = 0; limb < 4; ++limb) {
        const unsigned kept = std::min(64u, bits > 64 * limb ? bits - 64 * limb : 0u);
        m[limb] = kept == 0 ? 0 : kept == 64 ? m[limb] : m[limb] & ((uint64_t{1} << kept) - 1);
      }
      expect_short(m);
    }
  }
  for (size_t i = 0; i < challenges.size(); ++i) {
    const Limbs& m = challenges[i];
    SCOPED_TRACE(limbs_to_hex(m));
    expect_short(m);

    const PrivateKey key{i == 0 ? Fs::zero() : Fs::from_u256_reduced({rng(), rng(), rng(), rng()})};
    const Point<PrimeOrder> a = params().mul_generator(kIndex, key.sk);
    const std::array<uint8_t, 32> message = limbs_to_le_bytes(m);
    std::array<uint8_t, 32> other_message = message;
    other_message[0] ^= 1;
    const SubgroupSignature good =
        key.sign_raw_message(message, Seed::deterministic_seed(key, message), kIndex, params());
    EXPECT_TRUE(verify_subgroup_signature(a, message, good, kIndex, params()));
    const SubgroupSignature signatures[] = {
        good,
        {good.r, good.s + Fs::one()},
        {edwards::add(good.r, params().generator(kIndex), params()), good.s}};
    for (const SubgroupSignature& signature : signatures) {
      for (const auto& signed_message : {message, other_message}) {
        EXPECT_EQ(verify_subgroup_signature(a, signed_message, signature, kIndex, params()),
                  verify_subgroup_signature_reference_var(a, signed_message, signature, kIndex, params()));
      }
    }
  }
}

TEST(RawMessageEddsa, SigningIsDeterministic) {
  const PrivateKey key = key_from_hex(kSignatures[5].key);
  const std::array<uint8_t, 32> message = le_bytes_from_hex(kSignatures[5].message);
  const Signature first = sign(key, message);
  const Signature second = sign(key, message);
  EXPECT_EQ(edwards::write(first.r), edwards::write(second.r));
  EXPECT_EQ(first.s, second.s);
}

TEST(RawMessageEddsa, ShortMessageIsPaddedButItsNonceIsNot) {
  const PrivateKey key = key_from_hex(kSignatures[5].key);
  const std::vector<uint8_t> short_message = {0x01};
  std::array<uint8_t, 32> padded{};
  padded[0] = 0x01;
  const Signature short_signature = sign(key, short_message);
  EXPECT_TRUE(verify(key, padded, short_signature));
  EXPECT_TRUE(verify(key, short_message, sign(key, padded)));
  EXPECT_FALSE(edwards::write(short_signature.r) == edwards::write(sign(key, padded).r));
}

TEST(RawMessageEddsa, LongMessagesAreRefusedBySignerAndCutByVerifier) {
  const PrivateKey key = key_from_hex(kSignatures[5].key);
  std::vector<uint8_t> long_message(33, 0x5a);
  EXPECT_THROW(sign(key, long_message), FatalError);
  const std::span<const uint8_t> first_32(long_message.data(), 32);
  EXPECT_TRUE(verify(key, long_message, sign(key, first_32)));
}

TEST(RawMessageEddsa, SeedIsAlwaysBelowTheSubgroupOrder) {
  std::mt19937_64 rng(kSeed + 1);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed + 1);
  for (int i = 0; i < 64; ++i) {
    const PrivateKey key{Fs::from_u256_reduced({rng(), rng(), rng(), rng()})};
    const std::vector<uint8_t> message(static_cast<size_t>(i % 33), static_cast<uint8_t>(i));
    // from_repr is the range check: it refuses anything at or above l.
    EXPECT_TRUE(Fs::from_repr(Seed::deterministic_seed(key, message).r.into_repr()).ok());
  }
}

}  // namespace
}  // namespace tarvo::eddsa
