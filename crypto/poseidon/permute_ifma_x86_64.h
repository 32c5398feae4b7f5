// The width-9 permutation's kernels with AVX-512 IFMA (52-bit multiply-accumulate on 8 lanes): the full
// rounds, and the column updates of the partial rounds' blocks. Their twins are Spec::permute_scalar's
// full rounds and column updates with the scalar kernels, which Spec chooses where the CPU lacks IFMA.
//
// In the full rounds, lanes 0..7 hold state elements 0..7 and compute rows 0..7 of each mix; element 8 and
// row 8 stay in scalar code (MULX/ADCX/ADOX), which the processor runs beside the vector units. The lanes'
// arithmetic (crypto/field/fr_lanes_ifma_x86_64.h): five 52-bit limbs, Montgomery products with R = 2^260 on
// Fr's Montgomery forms (R = 2^256) re-cut into 52-bit limbs. Here the constants carry the powers of two
// that keep every value in the form the next step expects. With x·2^e denoting the integer a lane holds for
// the element x:
// - the S-box takes x·2^256 to x^2·2^252, x^4·2^244 and x^5·2^240, and adds the round constant as c·2^240;
// - the mix multiplies y_j·2^240 (j < 8) by M[i][j]·2^276 and y_8·2^256 by M[i][8]·2^260, so that each
//   row's sum, reduced once, is out_i·2^256 again;
// - row 8 takes the lanes' y_j·2^240 as Fr Montgomery forms, the elements y_j·2^-16, with the row's
//   constants M[8][j]·2^16.
// Bounds (r < 2^253.6, so r/2^260 < 0.012): a reduction leaves (sum + m·r)/2^260 with m < 2^260, below
// sum/2^260 + r. Mix outputs stay below 1.3r, S-box outputs below 2.1r, and every limb sum of a mix (at
// most 90 halves of 52-bit products per column) below 2^59.
// The column updates keep elements 1..8 of the state in the lanes too, in Fr's Montgomery form and below r,
// beside the scalar copies the partial rounds' row products read.
// Constant time: straight-line code; the only addresses are the constants', the state's and the stack's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "crypto/base/check.h"
#include "crypto/base/target.h"
#include "crypto/field/fr.h"
#include "crypto/field/fr_lanes_ifma_x86_64.h"
#include "crypto/field/montgomery_dot_x86_64.h"
#include "crypto/field/montgomery_x86_64.h"
#include "crypto/poseidon/matrix.h"
#include "crypto/poseidon/partial_block.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::poseidon::ifma {

using namespace fr_lanes;

inline constexpr size_t WIDTH = 9;
static_assert(LANES == WIDTH - 1);

// One matrix: for lane i, column j holds M[i][j]·2^276 (j < 8) or M[i][8]·2^260; last_row holds the
// Montgomery forms of M[8][j]·2^16 (j < 8) and M[8][8].
struct MixConstants {
  std::array<Lanes, WIDTH> columns;
  std::array<Limbs, WIDTH> last_row;
};

// One round: the constants c_i·2^240 of elements 0..7, element 8's in Montgomery form, and the mix.
struct RoundConstants {
  Lanes lanes;
  Limbs last;
  const MixConstants* mix;
};

// The column updates of one block of partial rounds: lane i of columns[r] holds the block's
// columns[i][r]·2^260.
struct PartialColumns {
  std::array<Lanes, PARTIAL_BLOCK> columns;
};

// The constants of both halves' full rounds and of the partial blocks' column updates. Not copyable: the
// rounds point at the matrices.
struct Constants {
  MixConstants mds, pre_sparse;
  std::vector<RoundConstants> first_half, second_half;
  std::vector<PartialColumns> partial_columns;

  Constants() = default;
  Constants(const Constants&) = delete;
  Constants& operator=(const Constants&) = delete;
};

// The element 2^k.
inline Fr power_of_two(unsigned k) {
  Fr x = Fr::one();
  for (unsigned i = 0; i < k; ++i) x = x.doubled();
  return x;
}

// The Montgomery forms of eight elements, one per lane.
inline Lanes lanes_of_montgomery_forms(std::span<const Fr, LANES> values) {
  Lanes lanes;
  for (size_t i = 0; i < LANES; ++i) set_lane(lanes, i, values[i].montgomery_form());
  return lanes;
}

// The integers v_i·scale mod r of the first eight elements, one per lane.
inline Lanes lanes_of(const Vec<WIDTH>& v, const Fr& scale) {
  Lanes lanes;
  for (size_t i = 0; i < LANES; ++i) set_lane(lanes, i, (v[i] * scale).into_repr());
  return lanes;
}

inline void set_mix_constants(MixConstants& out, const Matrix<WIDTH>& m) {
  const Fr scale_lanes = power_of_two(276), scale_last = power_of_two(260), scale_row = power_of_two(16);
  for (size_t j = 0; j < WIDTH; ++j) {
    Vec<WIDTH> column;
    for (size_t i = 0; i < WIDTH; ++i) column[i] = m[i][j];
    out.columns[j] = lanes_of(column, j < LANES ? scale_lanes : scale_last);
    out.last_row[j] = (j < LANES ? m[LANES][j] * scale_row : m[LANES][j]).montgomery_form();
  }
}

inline RoundConstants round_constants(const Vec<WIDTH>& c, const MixConstants& mix) {
  return {lanes_of(c, power_of_two(240)), c[LANES].montgomery_form(), &mix};
}

inline std::vector<PartialColumns> block_columns(std::span<const PartialBlock<WIDTH>> blocks) {
  std::vector<PartialColumns> out(blocks.size());
  const Fr scale = power_of_two(260);
  for (size_t b = 0; b < blocks.size(); ++b) {
    for (size_t r = 0; r < PARTIAL_BLOCK; ++r) {
      Vec<WIDTH> column{};
      for (size_t i = 0; i < LANES; ++i) column[i] = blocks[b].columns[i][r];
      out[b].columns[r] = lanes_of(column, scale);
    }
  }
  return out;
}

// The first half runs start[1..] with the MDS matrix and the pre-sparse one last; the second half end[..]
// and then the last round, which adds no constants, all with the MDS matrix.
inline std::shared_ptr<const Constants> make_constants(const Matrix<WIDTH>& mds,
                                                       const Matrix<WIDTH>& pre_sparse,
                                                       std::span<const Vec<WIDTH>> start,
                                                       std::span<const Vec<WIDTH>> end,
                                                       std::span<const PartialBlock<WIDTH>> blocks) {
  auto constants = std::make_shared<Constants>();
  constants->partial_columns = block_columns(blocks);
  set_mix_constants(constants->mds, mds);
  set_mix_constants(constants->pre_sparse, pre_sparse);
  for (size_t k = 1; k < start.size(); ++k) {
    const bool last = k + 1 == start.size();
    constants->first_half.push_back(round_constants(start[k], last ? constants->pre_sparse : constants->mds));
  }
  for (const Vec<WIDTH>& c : end) constants->second_half.push_back(round_constants(c, constants->mds));
  constants->second_half.push_back(round_constants(Vec<WIDTH>{}, constants->mds));
  return constants;
}

// The S-box and the constant: x·2^256 becomes x^5·2^240 + c (see above), c joining before the carries move.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector sbox_add(const Vector& x, const Vector& c) {
  const Vector x2 = montgomery_product(x, x);
  const Vector x4 = montgomery_product(x2, x2);
  Columns t = zero_columns();
  multiply_accumulate(t, x4, x);
  Vector y = montgomery_reduce(t);
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) y.limb[k] = _mm512_add_epi64(y.limb[k], c.limb[k]);
  return normalised(y);
}

// Every lane holding lane j's limbs.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector broadcast_lane(const Vector& v, size_t j) {
  const __m512i index = _mm512_set1_epi64(static_cast<long long>(j));
  Vector b;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) b.limb[k] = _mm512_maskz_permutexvar_epi64(0xff, index, v.limb[k]);
  return b;
}

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector broadcast(const Limbs52& x) {
  Vector b;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) b.limb[k] = _mm512_set1_epi64(static_cast<long long>(x[k]));
  return b;
}

// Rows 0..7 of the mix: Σ_j column_j·y_j over the lanes, one reduction per row.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector mix_rows(const MixConstants& m, const Vector& y,
                                                      const Limbs& y8) {
  Columns t = zero_columns();
#pragma GCC unroll 8
  for (size_t j = 0; j < LANES; ++j) multiply_accumulate(t, load(m.columns[j]), broadcast_lane(y, j));
  multiply_accumulate(t, load(m.columns[LANES]), broadcast(to_limbs52(y8)));
  return normalised(montgomery_reduce(t));
}

// Lane values below 4r as Montgomery forms below r, through the stack.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA std::array<Limbs, LANES> to_limbs(const Vector& v) {
  Lanes stored;
  store(v, stored);
  std::array<Limbs, LANES> out;
#pragma GCC unroll 8
  for (size_t i = 0; i < LANES; ++i)
    out[i] = montgomery::reduce_below_4p(lane_value(stored, i), FrParams::MODULUS);
  return out;
}

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector from_limbs(std::span<const Limbs, LANES> values) {
  Lanes lanes;
#pragma GCC unroll 8
  for (size_t i = 0; i < LANES; ++i) set_lane(lanes, i, values[i]);
  return load(lanes);
}

// One block's column updates, s_i + Σ_r columns[i][r]·y_r for the state's elements i + 1 = 1..8: s in
// `lanes` (Montgomery forms below r, left so) and in `s`, which receives the new values. s joins as
// s·2^260, in the columns the reduction keeps: (Σ_r columns·y_r + m·r)/2^260 + s, below 0.05r + r + r, is
// brought below r by conditional subtractions of 2r and r.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void column_updates(const PartialColumns& c,
                                                          std::span<const Fr, PARTIAL_BLOCK> ys, Lanes& lanes,
                                                          std::span<Fr, LANES> s) {
  Columns t = zero_columns();
#pragma GCC unroll 4
  for (size_t r = 0; r < PARTIAL_BLOCK; ++r) {
    multiply_accumulate(t, load(c.columns[r]), broadcast(to_limbs52(ys[r].montgomery_form())));
  }
  const Vector previous = load(lanes);
  Vector v = montgomery_reduce(t);
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) v.limb[k] = _mm512_add_epi64(v.limb[k], previous.limb[k]);
  v = subtract_if_not_below(subtract_if_not_below(normalised(v), TWICE_MODULUS52), MODULUS52);
  store(v, lanes);
#pragma GCC unroll 8
  for (size_t i = 0; i < LANES; ++i) s[i] = Fr::from_montgomery_form(lane_value(lanes, i));
}

// The same out of line, for the partial rounds to call.
inline TARVO_TARGET_IFMA __attribute__((noinline)) void update_columns(const PartialColumns& c,
                                                                       std::span<const Fr, PARTIAL_BLOCK> ys,
                                                                       Lanes& lanes, std::span<Fr, LANES> s) {
  column_updates(c, ys, lanes, s);
}

// One full round: S-boxes and constants, then the mix. x holds elements 0..7 (below 1.3r), last element 8
// (below r); both leave in the same form.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void full_round(Vector& x, Limbs& last, const RoundConstants& c,
                                                      const MixConstants& mix) {
  const Vector y = sbox_add(x, load(c.lanes));
  TARVO_CHECK(lanes_at_most(y, tenths_of_r(21)), "the S-box outputs below 2.1r");
  const Limbs& p = FrParams::MODULUS;
  const uint64_t inv = FrParams::INV;
  const Limbs last4 = montgomery::sqr_adx(montgomery::sqr_adx(last, p, inv), p, inv);
  const Limbs y8 = montgomery::mul_add_adx(last, last4, c.last, p, inv);
  x = mix_rows(mix, y, y8);
  TARVO_CHECK(lanes_at_most(x, tenths_of_r(13)), "the mix outputs below 1.3r");
  std::array<Limbs, WIDTH> ys;
  const std::array<Limbs, LANES> lanes = to_limbs(y);
  std::copy(lanes.begin(), lanes.end(), ys.begin());
  ys[LANES] = y8;
  last = montgomery::dot_adx<WIDTH>(mix.last_row, ys, p, inv);
}

// The given full rounds on Montgomery forms below r; the state leaves fully reduced.
inline TARVO_TARGET_IFMA __attribute__((noinline)) void full_rounds(std::array<Limbs, WIDTH>& state,
                                                                    std::span<const RoundConstants> rounds) {
  Vector x = from_limbs(std::span<const Limbs, WIDTH>(state).first<LANES>());
  Limbs last = state[LANES];
  for (const RoundConstants& round : rounds) full_round(x, last, round, *round.mix);
  const std::array<Limbs, LANES> lanes = to_limbs(x);
  std::copy(lanes.begin(), lanes.end(), state.begin());
  state[LANES] = last;
}

}  // namespace tarvo::poseidon::ifma

#endif  // TARVO_X86_64
