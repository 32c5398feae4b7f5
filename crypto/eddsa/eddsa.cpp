#include "crypto/eddsa/eddsa.h"

#include <algorithm>
#include <array>

#include "crypto/base/fatal.h"
#include "crypto/base/secret.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/eddsa/short_challenge.h"

namespace tarvo::eddsa {

namespace {

// The message zero-padded (or cut) to 32 bytes, as a little-endian integer mod l.
Fs message_scalar(std::span<const uint8_t> message) {
  std::array<uint8_t, 32> padded{};
  std::copy_n(message.begin(), std::min(message.size(), padded.size()), padded.begin());
  return to_uniform_32(padded);
}

// c·m ≡ d (mod l) with 0 < |c| < 2^125, so c is invertible mod l. For A and R in the subgroup of prime
// order l:  s·G = R + m·A  ⇔  (c·s)·G − d·A − c·R = 0.  Forward: multiply by c and use (c·m)·A = d·A, as
// l·A = 0. Backward: the left side is c·P with P = s·G − R − m·A; P lies in the subgroup (G, R and A do),
// where c·P = 0 forces P = 0 because c has an inverse mod l. The half-size d and c need half the doublings.
bool equation_holds(const edwards::Point<edwards::PrimeOrder>& a, const Fs& m,
                    const SubgroupSignature& signature, size_t generator_index,
                    const AltJubjubBn256& params) {
  const ShortChallenge short_challenge = short_challenge_var(m.into_repr());
  const auto limbs = [](u128 value) {
    return Limbs{static_cast<uint64_t>(value), static_cast<uint64_t>(value >> 64), 0, 0};
  };
  const Limbs c_magnitude = limbs(short_challenge.c_magnitude);
  const Fs c_times_s = Fs::from_u128(c_magnitude[0], c_magnitude[1]) * signature.s;
  // −c·R = |c|·R for a negative c, |c|·(−R) otherwise.
  const edwards::Point<edwards::PrimeOrder> r_addend =
      short_challenge.c_negative ? signature.r : edwards::negate(signature.r);
  return edwards::is_zero(
      edwards::mul_sum_var(params.public_generator_table(generator_index),
                           (short_challenge.c_negative ? -c_times_s : c_times_s).into_repr(),
                           edwards::negate(a), limbs(short_challenge.d), r_addend, c_magnitude, params));
}

// The points of a signature whose subgroup membership has just been checked.
edwards::Point<edwards::PrimeOrder> checked_subgroup_point(const edwards::Point<edwards::Unknown>& p) {
  return {p.x, p.y, p.t, p.z};
}

}  // namespace

SubgroupSignature PrivateKey::sign_raw_message(std::span<const uint8_t> message, const Seed& seed,
                                               size_t generator_index, const AltJubjubBn256& params) const {
  ensure(message.size() <= 32, "message to sign is longer than 32 bytes");
  const edwards::Point<edwards::PrimeOrder> r = params.mul_generator(generator_index, seed.r);
  return {r, message_scalar(message) * sk + seed.r};
}

CheckedSignature PrivateKey::sign(std::span<const uint8_t> message, size_t generator_index,
                                  const AltJubjubBn256& params) const {
  const SubgroupSignature signature =
      sign_raw_message(message, Seed::deterministic_seed(*this, message), generator_index, params);
  declassify(signature);  // the signature is the output
  const edwards::Point<edwards::PrimeOrder> a = params.mul_generator(generator_index, sk);
  declassify(a);  // the public key
  ensure(verify_subgroup_signature(a, message, signature, generator_index, params),
         "assertion failed: a freshly made signature verifies");
  const auto [r, public_key] = edwards::to_affine(signature.r, a);
  return {r, signature.s, public_key};
}

PublicKey PublicKey::from_private(const PrivateKey& key, size_t generator_index,
                                  const AltJubjubBn256& params) {
  const edwards::Point<edwards::PrimeOrder> a = params.mul_generator(generator_index, key.sk);
  declassify(a);
  return {a};
}

bool PublicKey::verify_for_raw_message(std::span<const uint8_t> message, const Signature& signature,
                                       size_t generator_index, const AltJubjubBn256& params) const {
  const Fs m = message_scalar(message);
  if (!params.in_prime_order_subgroup_var(a, signature.r)) return false;
  return equation_holds(checked_subgroup_point(a), m, {checked_subgroup_point(signature.r), signature.s},
                        generator_index, params);
}

bool verify_subgroup_signature(const edwards::Point<edwards::PrimeOrder>& a, std::span<const uint8_t> message,
                               const SubgroupSignature& signature, size_t generator_index,
                               const AltJubjubBn256& params) {
  return equation_holds(a, message_scalar(message), signature, generator_index, params);
}

}  // namespace tarvo::eddsa
