#include "crypto/tests/support/references.h"

#include <algorithm>
#include <array>

#include "crypto/field/fs.h"

namespace tarvo::edwards {

template <typename Order>
Point<Order> mul_reference_var(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve) {
  Point<Order> acc;
  for (int i = 255; i >= 0; --i) {
    acc = doubled(acc);
    if ((k[i / 64] >> (i % 64)) & 1) acc = add(acc, p, curve);
  }
  return acc;
}

template Point<PrimeOrder> mul_reference_var(const Point<PrimeOrder>&, const Limbs&, const CurveCoefficient&);
template Point<Unknown> mul_reference_var(const Point<Unknown>&, const Limbs&, const CurveCoefficient&);

bool in_prime_order_subgroup_reference_var(const Point<Unknown>& p, const CurveCoefficient& curve) {
  return is_zero(mul_var(p, Fs::characteristic(), curve));
}

}  // namespace tarvo::edwards

namespace tarvo::eddsa {

bool verify_subgroup_signature_reference_var(const edwards::Point<edwards::PrimeOrder>& a,
                                             std::span<const uint8_t> message,
                                             const SubgroupSignature& signature, size_t generator_index,
                                             const AltJubjubBn256& params) {
  std::array<uint8_t, 32> padded{};  // the message zero-padded (or cut) to 32 bytes, as signing reads it
  std::copy_n(message.begin(), std::min(message.size(), padded.size()), padded.begin());
  const auto sum = edwards::mul_sum_var(a, to_uniform_32(padded).into_repr(),
                                        edwards::negate(params.generator(generator_index)),
                                        signature.s.into_repr(), params);
  return edwards::is_zero(edwards::add(sum, signature.r, params));
}

}  // namespace tarvo::eddsa
