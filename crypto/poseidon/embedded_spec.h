// The width-9 Poseidon tables, committed as a generated source (embedded_spec.cpp) that the same Grain
// stream the run-time generation uses writes (crypto/tools/generated_tables.h) and the tests re-derive, so
// that the first hash of a process need not spend milliseconds deriving them.
#pragma once

#include <span>

#include "crypto/field/limbs.h"

namespace tarvo::poseidon {

// Spec<9>(8, 63).elements() as canonical integers.
std::span<const Limbs> embedded_spec_elements();

}  // namespace tarvo::poseidon
