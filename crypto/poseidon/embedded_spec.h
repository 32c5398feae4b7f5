// The width-9 Poseidon tables, generated when the library is built (crypto/tools/poseidon_table_generator)
// from the same Grain stream the run-time generation uses, so that the first hash of a process need
// not spend milliseconds deriving them.
#pragma once

#include <span>

#include "crypto/field/limbs.h"

namespace tarvo::poseidon {

// Spec<9>(8, 63).elements() as canonical integers.
std::span<const Limbs> embedded_spec_elements();

}  // namespace tarvo::poseidon
