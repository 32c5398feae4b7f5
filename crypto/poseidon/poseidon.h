// The width-9 Poseidon sponge over Fr and the process-wide instance every hash starts from.
#pragma once

#include <cstddef>
#include <span>

#include "crypto/poseidon/spec.h"

namespace tarvo {

namespace poseidon {
inline constexpr size_t WIDTH = 9;
inline constexpr size_t RATE = 8;
inline constexpr size_t FULL_ROUNDS = 8;
inline constexpr size_t PARTIAL_ROUNDS = 63;
using State = Vec<WIDTH>;
}  // namespace poseidon

// Sponge with capacity element 0 and rate elements 1..8. Invariant: `spec_` points at a Spec that
// outlives the sponge (the process-wide one in practice); copies share it and copy only the state.
class Poseidon {
 public:
  // The initial state: 2^64 in the capacity element, zero elsewhere.
  explicit Poseidon(const poseidon::Spec<poseidon::WIDTH>& spec);

  // Adds the elements into state positions 1..8, permutes, and returns position 1. Successive calls
  // chain through the state.
  Fr update_exact(std::span<const Fr, poseidon::RATE> elements);

  const poseidon::Spec<poseidon::WIDTH>& spec() const { return *spec_; }

 private:
  poseidon::State state_{};
  const poseidon::Spec<poseidon::WIDTH>* spec_;
};

// POSEIDON_HASHER: built on first use (once, even under concurrent first calls), then read-only for
// the life of the process.
const Poseidon& poseidon_hasher();

}  // namespace tarvo
