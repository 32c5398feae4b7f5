// Grain LFSR: the pseudo-random bit stream from which Poseidon draws its round constants and its
// MDS matrix.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "crypto/field/fr.h"

namespace tarvo::poseidon {

// Invariant: `bits_` holds the 80-bit register as a ring; bit b_i is bits_[(head_ + i) % 80]. The
// register has been seeded from the permutation's shape and has discarded its first 160 bits.
class Grain {
 public:
  // Seeds the register for a permutation of `width` elements over the 254-bit field with x^5 S-boxes.
  Grain(size_t width, size_t full_rounds, size_t partial_rounds);

  // Draws 254 bits (most significant first) until the integer is below r.
  Fr next_field_element();
  // Draws 254 bits (most significant first) and reduces the integer mod r.
  Fr next_field_element_without_rejection();

 private:
  static constexpr size_t STATE_BITS = 80;
  static constexpr unsigned FIELD_BITS = 254;

  void push_field(uint64_t value, unsigned width, size_t& pos);
  bool new_bit();
  // Self-shrinking: of each pair (x, y) only y survives, and only when x is set.
  bool next_output_bit();
  Limbs next_field_bits();

  std::array<uint8_t, STATE_BITS> bits_{};
  size_t head_ = 0;
};

}  // namespace tarvo::poseidon
