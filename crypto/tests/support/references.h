// The plain, slow and variable-time methods that the tests and the benchmarks hold the library's faster
// ones to. Not part of the library: public values only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/eddsa/eddsa.h"

namespace tarvo::edwards {

// Plain double-and-add over all 256 bits of k, most significant first.
template <typename Order>
Point<Order> mul_reference_var(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve);

// Whether l·p is the neutral element, by multiplication: the reference of the parameter set's subgroup
// test.
bool in_prime_order_subgroup_reference_var(const Point<Unknown>& p, const CurveCoefficient& curve);

}  // namespace tarvo::edwards

namespace tarvo::eddsa {

// verify_subgroup_signature as the plain joint multiplication (m·A + s·(−G)) + R = 0 with full-width
// scalars.
bool verify_subgroup_signature_reference_var(const edwards::Point<edwards::PrimeOrder>& a,
                                             std::span<const uint8_t> message,
                                             const SubgroupSignature& signature, size_t generator_index,
                                             const AltJubjubBn256& params);

}  // namespace tarvo::eddsa
