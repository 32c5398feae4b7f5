// AltJubjubBn256: the curve -x^2 + y^2 = 1 + d·x^2·y^2 over Fr with d = -168696/168700, its six fixed
// generators, and the process-wide instance JUBJUB_PARAMS.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "crypto/base/fatal.h"
#include "crypto/curve/fixed_base.h"
#include "crypto/curve/point.h"
#include "crypto/curve/public_base_table.h"

namespace tarvo {

// Every key and signature of the system uses this fixed generator of the parameter set.
inline constexpr size_t GENERATOR_INDEX = 5;

// The curve parameter set: the coefficient d, the fixed generators and what else depends on the curve.
// Invariant: the generators, found by the group hash (crypto/tools/group_hash.h) and committed as
// generated tables, are pairwise distinct points of the prime-order subgroup other than (0, 1). Once
// loaded, the fixed-base table holds multiples of generator GENERATOR_INDEX.
class AltJubjubBn256 : public CurveCoefficient {
 public:
  static constexpr size_t GENERATOR_COUNT = 6;

  // The complete set (always the same values).
  AltJubjubBn256();

  // Fatal for an index past the last generator.
  const edwards::Point<edwards::PrimeOrder>& generator(size_t index) const;
  // k times generator(index), in constant time with respect to k. For GENERATOR_INDEX the first call loads
  // the embedded table of multiples (thread-safe), which makes every call about 8 times faster than
  // edwards::mul.
  edwards::Point<edwards::PrimeOrder> mul_generator(size_t index, const Fs& k) const;
  // Odd multiples of generator(index) and of 2^126 times it, for variable-time multiplication by public
  // scalars; built on first use (thread-safe). Fatal for an index past the last generator.
  const edwards::PublicBaseTable& public_generator_table(size_t index) const;
  // Whether p lies in the subgroup of prime order l; variable time, for public points only. One
  // exponentiation in Fr instead of a multiplication by l (about a tenth of the cost); the argument is at
  // the definition, in subgroup.cpp.
  bool in_prime_order_subgroup_var(const edwards::Point<edwards::Unknown>& p) const;
  // Whether p and q both do, both exponentiations in lockstep.
  bool in_prime_order_subgroup_var(const edwards::Point<edwards::Unknown>& p,
                                   const edwards::Point<edwards::Unknown>& q) const;

 private:
  std::array<edwards::Point<edwards::PrimeOrder>, GENERATOR_COUNT> generators_;
  mutable std::once_flag generator5_table_built_;
  mutable std::optional<edwards::FixedBaseTable> generator5_table_;
  mutable std::array<std::once_flag, GENERATOR_COUNT> public_tables_built_;
  mutable std::array<std::unique_ptr<const edwards::PublicBaseTable>, GENERATOR_COUNT> public_tables_;
};

// JUBJUB_PARAMS: the process-wide parameter set. The first access builds it, exactly once
// (concurrent first accesses wait for it); afterwards it is read-only and lives until the process
// ends.
struct SharedJubjubParams {
  const AltJubjubBn256& operator*() const;
  const AltJubjubBn256* operator->() const { return &**this; }
};
inline constexpr SharedJubjubParams JUBJUB_PARAMS{};

}  // namespace tarvo
