#include "crypto/eddsa/eddsa.h"

#include <algorithm>
#include <array>

#include "crypto/base/fatal.h"
#include "crypto/curve/edwards.h"

namespace tarvo::eddsa {

namespace {

// The message zero-padded (or cut) to 32 bytes, as a little-endian integer mod l.
Fs message_scalar(std::span<const uint8_t> message) {
  std::array<uint8_t, 32> padded{};
  std::copy_n(message.begin(), std::min(message.size(), padded.size()), padded.begin());
  return to_uniform_32(padded);
}

// s·G = R + m·A, tested as (m·A + s·(−G)) + R = zero; every value in it is public.
template <typename Order>
bool equation_holds(const edwards::Point<Order>& a, const Fs& m, const BasicSignature<Order>& signature,
                    size_t generator_index, const JubjubParams& params) {
  const auto sum = edwards::mul_sum_var(a, m.into_repr(), edwards::negate(params.generator(generator_index)),
                                        signature.s.into_repr(), params);
  return edwards::is_zero(edwards::add(sum, signature.r, params));
}

}  // namespace

SubgroupSignature PrivateKey::sign_raw_message(std::span<const uint8_t> message, const Seed& seed,
                                               size_t generator_index, const JubjubParams& params) const {
  ensure(message.size() <= 32, "message to sign is longer than 32 bytes");
  const edwards::Point<edwards::PrimeOrder> r = params.mul_generator(generator_index, seed.r);
  return {r, message_scalar(message) * sk + seed.r};
}

PublicKey PublicKey::from_private(const PrivateKey& key, size_t generator_index, const JubjubParams& params) {
  return {params.mul_generator(generator_index, key.sk)};
}

bool PublicKey::verify_for_raw_message(std::span<const uint8_t> message, const Signature& signature,
                                       size_t generator_index, const JubjubParams& params) const {
  const Fs m = message_scalar(message);
  if (!params.in_prime_order_subgroup_var(a) || !params.in_prime_order_subgroup_var(signature.r))
    return false;
  return equation_holds(a, m, signature, generator_index, params);
}

bool verify_subgroup_signature(const edwards::Point<edwards::PrimeOrder>& a, std::span<const uint8_t> message,
                               const SubgroupSignature& signature, size_t generator_index,
                               const JubjubParams& params) {
  return equation_holds(a, message_scalar(message), signature, generator_index, params);
}

}  // namespace tarvo::eddsa
