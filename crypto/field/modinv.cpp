#include "crypto/field/modinv.h"

#include <algorithm>
#include <bit>

#include "crypto/field/divsteps.h"

namespace tarvo::modinv {

namespace {

using i128 = __int128;

// 62 steps, taking runs of even g in one shift and up to six odd steps without a swap in one
// multiplication: with w = -g / f mod 2^k, g + w·f has k low zero bits, which is what k consecutive
// swap-free steps add. The matrix row of f doubles at each step instead of g halving, so the entries
// stay integers; arithmetic is unsigned to wrap without undefined behaviour.
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
