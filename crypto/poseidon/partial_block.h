// The blocks in which the partial rounds run (Spec::permute_partial_rounds).
#pragma once

#include <array>
#include <cstddef>

#include "crypto/poseidon/matrix.h"

namespace tarvo::poseidon {

// Partial rounds run PARTIAL_BLOCK at a time, the column updates of the state's elements 1..T-1
// gathered at the end of each block: one reduction per element and block instead of one per round.
inline constexpr size_t PARTIAL_BLOCK = 4;

// One block of partial rounds. With s the elements 1..T-1 entering the block and y_r the S-box output
// of its round r, round r's new element 0 is rows[r]·(s, y_0..y_r) (the earlier rounds' column updates
// folded into the coefficients of y_0..y_{r-1}), and the block leaves element i + 1 as
// s[i] + columns[i]·(y_0..y_{B-1}). Invariant: 1 <= rounds <= B; every coefficient beyond the block's
// rounds is zero.
template <size_t T, size_t B = PARTIAL_BLOCK>
struct PartialBlock {
  std::array<Vec<T - 1 + B>, B> rows{};
  std::array<Vec<B>, T - 1> columns{};
  size_t rounds = 0;
};

}  // namespace tarvo::poseidon
