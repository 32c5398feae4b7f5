// Constant-time table lookup: every entry is read whatever the index, so a secret index steers
// neither a branch nor a memory address.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "crypto/base/check.h"

namespace tarvo::edwards {

// All ones when a == b, else zero, without a comparison the compiler could turn into a branch: the empty
// asm hides the difference's origin from the optimiser, which clang otherwise turns back into a
// comparison and a conditional jump on the index.
inline uint64_t equal_mask(uint64_t a, uint64_t b) {
  uint64_t diff = a ^ b;
  asm("" : "+r"(diff));
  return ((diff | (0 - diff)) >> 63) - 1;
}

template <typename T, size_t N>
T select(const std::array<T, N>& table, uint64_t index) {
  static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % sizeof(uint64_t) == 0);
  using Words = std::array<uint64_t, sizeof(T) / sizeof(uint64_t)>;
  TARVO_CHECK(index < N, "a table index within the table");
  Words out{};
  for (size_t i = 0; i < N; ++i) {
    const uint64_t mask = equal_mask(i, index);
    const Words entry = std::bit_cast<Words>(table[i]);
    for (size_t w = 0; w < out.size(); ++w) out[w] |= entry[w] & mask;
  }
  return std::bit_cast<T>(out);
}

// b when flag is 1, a when it is 0, reading both.
template <typename T>
T conditional_select(const T& a, const T& b, uint64_t flag) {
  static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % sizeof(uint64_t) == 0);
  using Words = std::array<uint64_t, sizeof(T) / sizeof(uint64_t)>;
  const Words wa = std::bit_cast<Words>(a), wb = std::bit_cast<Words>(b);
  uint64_t mask = 0 - flag;
  asm("" : "+r"(mask));  // as in equal_mask
  Words out{};
  for (size_t w = 0; w < out.size(); ++w) out[w] = (wa[w] & ~mask) | (wb[w] & mask);
  return std::bit_cast<T>(out);
}

}  // namespace tarvo::edwards
