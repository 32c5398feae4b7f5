// The constant-time divstep batches of the modular inversion (modinv.cpp), in a header of their own so
// that the branch check (crypto/tools/field_kernel_probe.cpp) sees them compiled as the library does.
// Each including file gets its own copy (an unnamed namespace), which the compiler inlines as it did
// within modinv.cpp alone: with external linkage the inversion ran 2% slower. The steps of a round, the one
// part written for the target, are in divsteps_portable.h and its twin divsteps_x86_64.h.
#pragma once

#include <cstdint>

#include "crypto/base/target.h"
#include "crypto/field/divsteps_portable.h"
#include "crypto/field/divsteps_x86_64.h"

namespace tarvo::modinv {
namespace {

// After a batch of divsteps from (f, g): f' = (u·f + v·g) / 2^62 and g' = (q·f + r·g) / 2^62, with
// |u| + |v| <= 2^62 and |q| + |r| <= 2^62.
struct Transition {
  int64_t u, v, q, r;
  bool operator==(const Transition&) const = default;
};

// The half-delta divstep on (delta, f, g), delta starting at 1/2: when delta > 0 and g is odd it becomes
// (1 - delta, g, (g - f) / 2), otherwise (1 + delta, f, (g + (g odd ? f : 0)) / 2). It is tracked as
// zeta = -(delta + 1/2), starting at -1, so that a swap is possible exactly when zeta < 0.
//
// A batch of n steps needs only the low n bits of f and g: step i reads bit 0 of a value that depends
// on their lowest i + 1 bits.
constexpr int64_t ZETA_START = -1;

// 586 steps suffice for 0 <= g <= f <= M with M < 2^254: the number of half-delta divsteps that takes
// (f, g) to g = 0 is at most floor((3787·log2(M) + 2166) / 1644) for M >= 4257874, a bound found by
// following convex hulls of all real (f, g) through the steps and checked for every M up to 2^3805
// (P. Wuille, "Bounds on divsteps iterations in safegcd"). For M = 2^254 it is 586.
constexpr int CONSTANT_TIME_STEPS = 586;

// The constant-time steps run in rounds of at most 20, each on two words that carry the low bits of f or
// g together with their row of the round's matrix: w = low + 2^21·a + 2^42·b, where the row (a, b) is
// scaled by 2^20 and halved with the value, so that one addition, one shift and one selection step the
// value and its row at once. After s steps the rows are the round's matrix scaled to 2^20 (entries in
// (-2^20, 2^20], |a| + |b| <= 2^20) and low = (a·f + b·g) / 2^20 for the lowest 20 bits f, g of the
// inputs, in (-2^20, 2^20): every field decodes without ambiguity.
constexpr int ROUND_STEPS = 20;
constexpr int ROW_SHIFT = ROUND_STEPS + 1, SECOND_SHIFT = 2 * ROUND_STEPS + 2;

// The steps of a round: the target's, or the portable ones everywhere with `Portable` (for the tests that
// compare them).
template <int Steps, bool Portable>
void round_steps(int64_t& zeta, int64_t& h, int64_t& g) {
  static_assert(Steps <= ROUND_STEPS);
#if TARVO_X86_64
  if constexpr (!Portable) {
    round_steps_cmov<Steps>(zeta, h, g);
    return;
  }
#endif
  round_steps_portable<Steps>(zeta, h, g);
}

// The row (a, b) of a round word. The f word has a = 2^20 only if no swap happened, and then low is the
// non-negative input, so low + 2^21·a lies in (-2^41, 2^41 + 2^20) for both words.
void decode_row(uint64_t word, int64_t& a, int64_t& b) {
  constexpr uint64_t offset = (uint64_t{1} << (ROW_SHIFT + ROUND_STEPS)) - (uint64_t{1} << ROUND_STEPS);
  b = static_cast<int64_t>(word + offset) >> SECOND_SHIFT;
  const int64_t rest = static_cast<int64_t>(word - (static_cast<uint64_t>(b) << SECOND_SHIFT));
  a = (rest + (int64_t{1} << ROUND_STEPS)) >> ROW_SHIFT;
}

// One round from the low bits of f and g: its matrix scaled to 2^20, and f, g moved on to the values
// after it, with 20 correct bits fewer.
template <int Steps, bool Portable>
Transition divstep_round(int64_t& zeta, uint64_t& f, uint64_t& g) {
  constexpr uint64_t low_mask = (uint64_t{1} << ROUND_STEPS) - 1;
  int64_t h = static_cast<int64_t>((f & low_mask) + (uint64_t{1} << (ROW_SHIFT + ROUND_STEPS))) >> 1;
  int64_t w_g = static_cast<int64_t>((g & low_mask) + (uint64_t{1} << (SECOND_SHIFT + ROUND_STEPS)));
  round_steps<Steps, Portable>(zeta, h, w_g);
  Transition t;
  decode_row(2 * static_cast<uint64_t>(h) + 1, t.u, t.v);
  decode_row(static_cast<uint64_t>(w_g), t.q, t.r);
  const auto times = [](int64_t a, uint64_t x) { return static_cast<uint64_t>(a) * x; };
  const uint64_t next_f = times(t.u, f) + times(t.v, g), next_g = times(t.q, f) + times(t.r, g);
  f = static_cast<uint64_t>(static_cast<int64_t>(next_f) >> ROUND_STEPS);
  g = static_cast<uint64_t>(static_cast<int64_t>(next_g) >> ROUND_STEPS);
  return t;
}

// later · earlier.
Transition product(const Transition& later, const Transition& earlier) {
  return {later.u * earlier.u + later.v * earlier.q, later.u * earlier.v + later.v * earlier.r,
          later.q * earlier.u + later.r * earlier.q, later.q * earlier.v + later.r * earlier.r};
}

// A batch of three rounds, the last of `LastSteps` steps, as one matrix scaled to 2^62. The lowest limbs
// of f and g give 62 correct bits, which leave 22 for the third round.
constexpr int BATCH_ROUNDS = 3;
constexpr int BATCH_STEPS = BATCH_ROUNDS * ROUND_STEPS;
template <int LastSteps, bool Portable = false>
int64_t divsteps(int64_t zeta, uint64_t f, uint64_t g, Transition& t) {
  const Transition first = divstep_round<ROUND_STEPS, Portable>(zeta, f, g);
  const Transition second = divstep_round<ROUND_STEPS, Portable>(zeta, f, g);
  const Transition third = divstep_round<LastSteps, Portable>(zeta, f, g);
  const Transition all = product(third, product(second, first));
  constexpr int64_t to_62 = int64_t{1} << (62 - BATCH_STEPS);
  t = {all.u * to_62, all.v * to_62, all.q * to_62, all.r * to_62};
  return zeta;
}

constexpr int FULL_BATCHES = CONSTANT_TIME_STEPS / BATCH_STEPS;
constexpr int LAST_BATCH_STEPS = CONSTANT_TIME_STEPS - FULL_BATCHES * BATCH_STEPS;
static_assert(LAST_BATCH_STEPS > 2 * ROUND_STEPS && LAST_BATCH_STEPS <= BATCH_STEPS);

}  // namespace
}  // namespace tarvo::modinv
