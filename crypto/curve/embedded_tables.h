// The curve tables, committed as a generated source (embedded_tables.cpp) that the library's own
// derivation writes (crypto/tools/generated_tables.h) and the tests re-derive, so that no process has to
// derive them on first use.
#pragma once

#include <span>

#include "crypto/field/limbs.h"

namespace tarvo {

// An affine point (x, y) as canonical integers.
struct AffineLimbs {
  Limbs x;
  Limbs y;
};

// The generators of AltJubjubBn256 in index order, as derive_generators() finds them.
std::span<const AffineLimbs> embedded_generators();

// The multiples of generator 5 in its fixed-base table, as edwards::FixedBaseTable::multiples() gives them.
std::span<const AffineLimbs> embedded_generator5_multiples();

}  // namespace tarvo
