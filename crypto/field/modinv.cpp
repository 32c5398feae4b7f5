#include "crypto/field/modinv.h"

#include <algorithm>
#include <bit>

namespace tarvo::modinv {

namespace {

using i128 = __int128;

// After a batch of divsteps from (f, g): f' = (u·f + v·g) / 2^62 and g' = (q·f + r·g) / 2^62, with
// |u| + |v| <= 2^62 and |q| + |r| <= 2^62.
struct Transition {
  int64_t u, v, q, r;
};

// The half-delta divstep on (delta, f, g), delta starting at 1/2: when delta > 0 and g is odd it becomes
// (1 - delta, g, (g - f) / 2), otherwise (1 + delta, f, (g + (g odd ? f : 0)) / 2). It is tracked as
// zeta = -(delta + 1/2), starting at -1, so that a swap is possible exactly when zeta < 0.
//
// A batch of n steps needs only the low 64 bits of f and g: step i reads bit 0 of a value that depends
// on their lowest i + 1 bits. The matrix row of f doubles at each step instead of g halving, so the
// entries stay integers; arithmetic is unsigned to wrap without undefined behaviour.
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

// Steps of the round on h = (w_f - 1) / 2 (w_f is odd, as f is) and w_g. With g odd,
// (g + f) / 2 = (g >> 1) + h + 1 and (g - f) / 2 = (g >> 1) - h, and after a swap h is g >> 1.
template <int Steps>
void round_steps(int64_t& zeta, int64_t& h, int64_t& g) {
  static_assert(Steps <= ROUND_STEPS);
#pragma GCC unroll 20
  for (int i = 0; i < Steps; ++i) {
    const int64_t g_half = g >> 1;
    const int64_t may_swap = zeta >> 63;
    const int64_t odd = -(g & 1);
    const int64_t swap = may_swap & odd;
    g = g_half + (((h ^ may_swap) + 1) & odd);
    h ^= (h ^ g_half) & swap;
    zeta = (zeta ^ swap) - 1;
  }
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
template <int Steps>
Transition round(int64_t& zeta, uint64_t& f, uint64_t& g) {
  constexpr uint64_t low_mask = (uint64_t{1} << ROUND_STEPS) - 1;
  int64_t h = static_cast<int64_t>((f & low_mask) + (uint64_t{1} << (ROW_SHIFT + ROUND_STEPS))) >> 1;
  int64_t w_g = static_cast<int64_t>((g & low_mask) + (uint64_t{1} << (SECOND_SHIFT + ROUND_STEPS)));
  round_steps<Steps>(zeta, h, w_g);
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
template <int LastSteps>
int64_t divsteps(int64_t zeta, uint64_t f, uint64_t g, Transition& t) {
  const Transition first = round<ROUND_STEPS>(zeta, f, g);
  const Transition second = round<ROUND_STEPS>(zeta, f, g);
  const Transition third = round<LastSteps>(zeta, f, g);
  const Transition all = product(third, product(second, first));
  constexpr int64_t to_62 = int64_t{1} << (62 - BATCH_STEPS);
  t = {all.u * to_62, all.v * to_62, all.q * to_62, all.r * to_62};
  return zeta;
}

constexpr int FULL_BATCHES = CONSTANT_TIME_STEPS / BATCH_STEPS;
constexpr int LAST_BATCH_STEPS = CONSTANT_TIME_STEPS - FULL_BATCHES * BATCH_STEPS;
static_assert(LAST_BATCH_STEPS > 2 * ROUND_STEPS && LAST_BATCH_STEPS <= BATCH_STEPS);

// 62 steps, taking runs of even g in one shift and up to six odd steps without a swap in one
// multiplication: with w = -g / f mod 2^k, g + w·f has k low zero bits, which is what k consecutive
// swap-free steps add.
int64_t divsteps_var(int64_t zeta, uint64_t f, uint64_t g, Transition& t) {
  uint64_t u = 1, v = 0, q = 0, r = 1;
  int remaining = 62;
  for (;;) {
    const int zeros = std::countr_zero(g | (~uint64_t{0} << remaining));
    g >>= zeros;
    u <<= zeros;
    v <<= zeros;
    zeta -= zeros;
    remaining -= zeros;
    if (remaining == 0) break;
    if (zeta < 0) {  // swap with negation; the odd step then adds instead of subtracting
      zeta = -zeta - 1;
      const uint64_t old_f = f, old_u = u, old_v = v;
      f = g;
      u = q;
      v = r;
      g = uint64_t{0} - old_f;
      q = uint64_t{0} - old_u;
      r = uint64_t{0} - old_v;
    }
    // zeta + 1 swap-free steps are possible from here (zeta >= 0).
    const int limit = std::min({static_cast<int>(zeta) + 1, remaining, 6});
    const uint64_t mask = ~uint64_t{0} >> (64 - limit);
    const uint64_t w = (f * g * (f * f - 2)) & mask;  // f·(2 - f²) is f^-1 mod 2^6
    g += f * w;
    q += u * w;
    r += v * w;
  }
  t = {static_cast<int64_t>(u), static_cast<int64_t>(v), static_cast<int64_t>(q), static_cast<int64_t>(r)};
  return zeta;
}

// (d, e) <- (u·d + v·e, q·d + r·e) / 2^62 mod p, for d and e in (-2p, p); the results stay in
// (-2p, p). Adding p·(u if d < 0, plus v if e < 0) first makes the sum's magnitude below 2^62·p;
// subtracting the multiple k·p, 0 <= k < 2^62, that clears the low 62 bits keeps it within
// (-2^63·p, 2^62·p). Without `KeepE`, e is left as it was.
template <bool KeepE = true>
void update_de(Signed62& d, Signed62& e, const Transition& t, const Modulus& m) {
  const int64_t d_sign = d.v[4] >> 63, e_sign = e.v[4] >> 63;
  int64_t md = (t.u & d_sign) + (t.v & e_sign);
  int64_t me = (t.q & d_sign) + (t.r & e_sign);
  i128 cd = i128{t.u} * d.v[0] + i128{t.v} * e.v[0];
  i128 ce = i128{t.q} * d.v[0] + i128{t.r} * e.v[0];
  md -=
      static_cast<int64_t>((m.p_inverse * static_cast<uint64_t>(cd) + static_cast<uint64_t>(md)) & LIMB_MASK);
  me -=
      static_cast<int64_t>((m.p_inverse * static_cast<uint64_t>(ce) + static_cast<uint64_t>(me)) & LIMB_MASK);
  cd += i128{m.p.v[0]} * md;
  ce += i128{m.p.v[0]} * me;
  cd >>= 62;
  ce >>= 62;
  for (int i = 1; i < 5; ++i) {
    cd += i128{t.u} * d.v[i] + i128{t.v} * e.v[i] + i128{m.p.v[i]} * md;
    ce += i128{t.q} * d.v[i] + i128{t.r} * e.v[i] + i128{m.p.v[i]} * me;
    d.v[i - 1] = static_cast<int64_t>(static_cast<uint64_t>(cd) & LIMB_MASK);
    if constexpr (KeepE) e.v[i - 1] = static_cast<int64_t>(static_cast<uint64_t>(ce) & LIMB_MASK);
    cd >>= 62;
    ce >>= 62;
  }
  d.v[4] = static_cast<int64_t>(cd);
  if constexpr (KeepE) e.v[4] = static_cast<int64_t>(ce);
}

// (f, g) <- (u·f + v·g, q·f + r·g) / 2^62 over the lowest `length` limbs (the division is exact);
// the lowest limbs of the results are exact with any length from 2 on.
void update_fg(int length, Signed62& f, Signed62& g, const Transition& t) {
  i128 cf = i128{t.u} * f.v[0] + i128{t.v} * g.v[0];
  i128 cg = i128{t.q} * f.v[0] + i128{t.r} * g.v[0];
  cf >>= 62;
  cg >>= 62;
  for (int i = 1; i < length; ++i) {
    cf += i128{t.u} * f.v[i] + i128{t.v} * g.v[i];
    cg += i128{t.q} * f.v[i] + i128{t.r} * g.v[i];
    f.v[i - 1] = static_cast<int64_t>(static_cast<uint64_t>(cf) & LIMB_MASK);
    g.v[i - 1] = static_cast<int64_t>(static_cast<uint64_t>(cg) & LIMB_MASK);
    cf >>= 62;
    cg >>= 62;
  }
  f.v[length - 1] = static_cast<int64_t>(cf);
  g.v[length - 1] = static_cast<int64_t>(cg);
}

void propagate_carries(Signed62& a) {
  for (int i = 0; i < 4; ++i) {
    a.v[i + 1] += a.v[i] >> 62;
    a.v[i] &= static_cast<int64_t>(LIMB_MASK);
  }
}

void add_modulus_if_negative(Signed62& a, const Modulus& m) {
  const int64_t negative = a.v[4] >> 63;
  for (int i = 0; i < 5; ++i) a.v[i] += m.p.v[i] & negative;
  propagate_carries(a);
}

// d in (-2p, p) with normalised limbs below the top one, times the sign of f (all ones when
// negative), as an integer in [0, p).
Limbs finish(Signed62 d, int64_t f_negative, const Modulus& m) {
  add_modulus_if_negative(d, m);  // (-p, p)
  for (int64_t& limb : d.v) limb = (limb ^ f_negative) - f_negative;
  propagate_carries(d);
  add_modulus_if_negative(d, m);  // [0, p)
  const auto limb = [&](int i) { return static_cast<uint64_t>(d.v[i]); };
  return {limb(0) | limb(1) << 62, limb(1) >> 2 | limb(2) << 60, limb(2) >> 4 | limb(3) << 58,
          limb(3) >> 6 | limb(4) << 56};
}

}  // namespace

// Invariants: scale·f ≡ d·x and scale·g ≡ e·x (mod p); gcd(f, g) = gcd(p, x). The divsteps end at
// g = 0, f = ±1.
Limbs inverse(const Limbs& x, const Modulus& modulus) {
  Signed62 d{}, e = modulus.scale, f = modulus.p, g = to_signed62(x);
  int64_t zeta = ZETA_START;
  for (int i = 0; i < FULL_BATCHES; ++i) {
    Transition t;
    zeta = divsteps<ROUND_STEPS>(zeta, static_cast<uint64_t>(f.v[0]), static_cast<uint64_t>(g.v[0]), t);
    update_de(d, e, t, modulus);
    update_fg(5, f, g, t);
  }
  // The last batch ends at g = 0 and f = ±1: it needs no e, and of f only the lowest limb (exact from
  // the two lowest limbs), 1 or 2^62 - 1.
  Transition t;
  divsteps<LAST_BATCH_STEPS - 2 * ROUND_STEPS>(zeta, static_cast<uint64_t>(f.v[0]),
                                               static_cast<uint64_t>(g.v[0]), t);
  update_de<false>(d, e, t, modulus);
  update_fg(2, f, g, t);
  return finish(d, -((f.v[0] >> 1) & 1), modulus);
}

Limbs inverse_var(const Limbs& x, const Modulus& modulus) {
  Signed62 d{}, e = modulus.scale, f = modulus.p, g = to_signed62(x);
  int64_t zeta = ZETA_START;
  int length = 5;
  for (;;) {
    Transition t;
    zeta = divsteps_var(zeta, static_cast<uint64_t>(f.v[0]), static_cast<uint64_t>(g.v[0]), t);
    update_de(d, e, t, modulus);
    update_fg(length, f, g, t);
    int64_t g_nonzero = 0;
    for (int i = 0; i < length; ++i) g_nonzero |= g.v[i];
    if (g_nonzero == 0) break;
    // When the top limbs of f and g are both 0 or -1, fold them into the limbs below.
    const int64_t f_top = f.v[length - 1], g_top = g.v[length - 1];
    if (length > 1 && ((f_top ^ (f_top >> 63)) | (g_top ^ (g_top >> 63))) == 0) {
      f.v[length - 2] |= static_cast<int64_t>(static_cast<uint64_t>(f_top) << 62);
      g.v[length - 2] |= static_cast<int64_t>(static_cast<uint64_t>(g_top) << 62);
      --length;
    }
  }
  return finish(d, f.v[length - 1] >> 63, modulus);
}

}  // namespace tarvo::modinv
