#include "crypto/poseidon/grain.h"

#include <algorithm>

namespace tarvo::poseidon {

Grain::Grain(size_t width, size_t full_rounds, size_t partial_rounds) {
  size_t pos = 0;
  push_field(1, 2, pos);  // prime field
  push_field(0, 4, pos);  // S-box x^alpha
  push_field(FIELD_BITS, 12, pos);
  push_field(width, 12, pos);
  push_field(full_rounds, 10, pos);
  push_field(partial_rounds, 10, pos);
  push_field((uint64_t{1} << 30) - 1, 30, pos);
  for (int i = 0; i < 160; ++i) new_bit();
}

void Grain::push_field(uint64_t value, unsigned width, size_t& pos) {
  for (unsigned i = width; i-- > 0;) bits_[pos++] = static_cast<uint8_t>((value >> i) & 1);
}

bool Grain::new_bit() {
  const auto bit = [this](size_t i) { return bits_[(head_ + i) % STATE_BITS]; };
  const uint8_t next = bit(62) ^ bit(51) ^ bit(38) ^ bit(23) ^ bit(13) ^ bit(0);
  // Overwriting b0 and advancing the ring moves every bit down one place and makes `next` b79.
  bits_[head_] = next;
  head_ = (head_ + 1) % STATE_BITS;
  return next != 0;
}

bool Grain::next_output_bit() {
  for (;;) {
    const bool keep = new_bit();
    const bool value = new_bit();
    if (keep) return value;
  }
}

Limbs Grain::next_field_bits() {
  Limbs value{};
  for (unsigned i = FIELD_BITS; i-- > 0;) {
    if (next_output_bit()) value[i / 64] |= uint64_t{1} << (i % 64);
  }
  return value;
}

Fr Grain::next_field_element() {
  for (;;) {
    const Limbs value = next_field_bits();
    if (limbs_less_var(value, Fr::MODULUS)) return Fr::from_repr(value).value();
  }
}

Fr Grain::next_field_element_without_rejection() {
  const std::array<uint8_t, 32> low = limbs_to_le_bytes(next_field_bits());
  std::array<uint8_t, 64> wide{};
  std::copy(low.begin(), low.end(), wide.begin());
  return Fr::from_bytes_wide(wide);
}

}  // namespace tarvo::poseidon
