// Poseidon parameters for a state of T elements: round constants and Cauchy MDS matrix drawn from
// the Grain stream, and the plain permutation they define.
#pragma once

#include <cstddef>
#include <vector>

#include "crypto/base/fatal.h"
#include "crypto/poseidon/grain.h"
#include "crypto/poseidon/matrix.h"

namespace tarvo::poseidon {

// Invariant: `full_rounds` is positive and even (half of them run before the partial rounds, half
// after); `round_constants` has one row per round, full_rounds + partial_rounds rows.
template <size_t T>
struct Parameters {
  size_t full_rounds = 0;
  size_t partial_rounds = 0;
  std::vector<Vec<T>> round_constants;
  Matrix<T> mds{};

  size_t half_full_rounds() const { return full_rounds / 2; }
  bool is_full_round(size_t round) const {
    return round < half_full_rounds() || round >= half_full_rounds() + partial_rounds;
  }
};

inline Fr sbox(const Fr& x) { return x * x.square().square(); }

// Draws, from one Grain stream, all round constants (round by round, with rejection), then the
// Cauchy points x_0..x_{T-1} and y_0..y_{T-1} (reduced, no rejection), and sets M[i][j] = 1/(x_i + y_j).
template <size_t T>
Parameters<T> generate(size_t full_rounds, size_t partial_rounds) {
  ensure(full_rounds > 0 && full_rounds % 2 == 0, "the number of full rounds must be positive and even");
  Grain grain(T, full_rounds, partial_rounds);
  Parameters<T> params{full_rounds, partial_rounds, {}, {}};
  params.round_constants.resize(full_rounds + partial_rounds);
  for (Vec<T>& row : params.round_constants) {
    for (Fr& c : row) c = grain.next_field_element();
  }
  Vec<T> xs, ys;
  for (Fr& x : xs) x = grain.next_field_element_without_rejection();
  for (Fr& y : ys) y = grain.next_field_element_without_rejection();
  for (size_t i = 0; i < T; ++i) {
    for (size_t j = 0; j < T; ++j) {
      const auto inv = (xs[i] + ys[j]).inverse_var();
      ensure(inv.has_value(), "Cauchy matrix point sum x_i + y_j is zero");
      params.mds[i][j] = *inv;
    }
  }
  return params;
}

// The permutation round by round: add the round's constants, apply the S-box (to every element in
// full rounds, to element 0 in partial rounds), multiply by the MDS matrix.
template <size_t T>
void permute_reference(const Parameters<T>& params, Vec<T>& state) {
  for (size_t round = 0; round < params.round_constants.size(); ++round) {
    for (size_t i = 0; i < T; ++i) state[i] += params.round_constants[round][i];
    if (params.is_full_round(round)) {
      for (Fr& s : state) s = sbox(s);
    } else {
      state[0] = sbox(state[0]);
    }
    state = mul(params.mds, state);
  }
}

}  // namespace tarvo::poseidon
