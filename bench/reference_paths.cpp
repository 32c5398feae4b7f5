#include "bench/reference_paths.h"

#include <optional>
#include <vector>

#include "crypto/base/bytes.h"
#include "crypto/base/sha256.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/poseidon/poseidon.h"
#include "crypto/tests/support/references.h"
#include "sdk/src/hashing/poseidon.h"
#include "sdk/src/signing/packed_public_key.h"

namespace tarvo::bench {

namespace {

template <typename Order>
bool in_prime_order_subgroup(const edwards::Point<Order>& p, const AltJubjubBn256& params) {
  return edwards::is_zero(edwards::mul_reference_var(p, Fs::characteristic(), params));
}

// PublicKey::verify_for_raw_message with mul_reference_var in place of mul_var and mul_generator.
bool reference_verify(const edwards::Point<edwards::PrimeOrder>& a,
                      const edwards::Point<edwards::PrimeOrder>& r, const Fs& m, const Fs& s,
                      const edwards::Point<edwards::PrimeOrder>& generator, const AltJubjubBn256& params) {
  if (!in_prime_order_subgroup(a, params) || !in_prime_order_subgroup(r, params)) return false;
  const auto p = edwards::add(edwards::mul_reference_var(a, m.into_repr(), params), r, params);
  const auto q = edwards::negate(edwards::mul_reference_var(generator, s.into_repr(), params));
  return edwards::is_zero(edwards::add(p, q, params));
}

using Bytes32 = std::array<uint8_t, 32>;

// HMAC-SHA-256 under 32-byte keys, counting the evaluations and the compressions they need at least.
class CountedHmac {
 public:
  Bytes32 operator()(const Bytes32& key, std::span<const uint8_t> data) {
    constexpr size_t kBlock = 64, kLengthPadding = 9;  // 0x80 and the 64-bit bit length
    ++calls;
    if (previous_key_ != key) compressions += 2;
    previous_key_ = key;
    compressions += (data.size() + kLengthPadding + kBlock - 1) / kBlock + 1;
    HmacSha256 hmac(sha256_digest_words(key));
    return hmac.mac(data);
  }

  uint64_t calls = 0;
  uint64_t compressions = 0;

 private:
  std::optional<Bytes32> previous_key_;
};

}  // namespace

ReferenceNonce reference_nonce(const eddsa::PrivateKey& key, std::span<const uint8_t> message) {
  const Bytes32 h1 = sha256(message);
  const Bytes32 x = key.sk.to_be_bytes();
  Bytes32 v;
  v.fill(0x01);
  Bytes32 k{};
  CountedHmac hmac;
  for (const uint8_t separator : {0x00, 0x01}) {
    std::vector<uint8_t> input(v.begin(), v.end());
    input.push_back(separator);
    input.insert(input.end(), x.begin(), x.end());
    input.insert(input.end(), h1.begin(), h1.end());
    k = hmac(k, input);
    v = hmac(k, v);
  }
  for (;;) {
    const Limbs candidate = limbs_from_be_bytes(hmac(k, v));
    if (limbs_less_var(candidate, Fs::characteristic()))
      return {*Fs::from_repr(candidate), hmac.calls, hmac.compressions};
    std::vector<uint8_t> retry_input(v.begin(), v.end());
    retry_input.push_back(0x00);
    k = hmac(k, retry_input);
  }
}

U256 reference_word_stream_hash(std::span<const uint64_t> words) {
  std::vector<uint64_t> padded(words.begin(), words.end());
  while (padded.size() % 4 != 0) padded.push_back(0);
  padded.push_back(1);
  while (padded.size() % PoseidonHasher::BLOCK_WORDS != 0) padded.push_back(0);

  const auto& parameters = poseidon_hasher().spec().parameters();
  poseidon::State state{};
  state[0] = Fr::from_u128(0, 1);
  for (size_t block = 0; block < padded.size(); block += PoseidonHasher::BLOCK_WORDS) {
    for (size_t i = 0; i < poseidon::RATE; ++i) {
      const size_t word = block + 4 * i;
      state[i + 1] +=
          Fr::from_u256_reduced({padded[word], padded[word + 1], padded[word + 2], padded[word + 3]});
    }
    poseidon::permute_reference(parameters, state);
  }
  return U256{state[1].into_repr()};
}

JubjubSignature reference_sign(const eddsa::PrivateKey& key, std::span<const uint8_t, 32> message) {
  const AltJubjubBn256 params;
  const edwards::Point<edwards::PrimeOrder>& generator = params.generator(GENERATOR_INDEX);
  const eddsa::Seed seed = eddsa::Seed::deterministic_seed(key, message);

  const auto a = edwards::mul_reference_var(generator, key.sk.into_repr(), params);
  ensure(in_prime_order_subgroup(a, params), "public key is not in the prime-order subgroup");
  const auto r = edwards::mul_reference_var(generator, seed.r.into_repr(), params);
  const Fs m = to_uniform_32(message);
  const Fs s = m * key.sk + seed.r;

  const auto a_again = edwards::mul_reference_var(generator, key.sk.into_repr(), params);
  ensure(reference_verify(a_again, r, m, s, generator, params), "a freshly made signature verifies");

  return {edwards::to_affine(r), U256{s.into_repr()}};
}

}  // namespace tarvo::bench
