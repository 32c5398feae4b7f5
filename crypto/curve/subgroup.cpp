// Membership of the subgroup of prime order l.
//
// The curve's group has order 8·l. As a = −1 is a square in Fr and d is not, (0, −1) is its only point
// of order 2, so the group is cyclic and its subgroup of order l is 8E, the multiples of 8. Since 8
// divides r − 1, the reduced Tate pairing with a point T of order 8, P ↦ f(P)^((r − 1)/8) for Miller's
// function f of divisor 8·(T) − 8·(O) normalised at O, is a homomorphism E → μ8; it is non-degenerate
// and E[8] = <T>, so its kernel is exactly 8E. One exponentiation thus replaces the multiplication by l.
//
// T = (0x2f6b…399c, 0x0aab…d677) is the point of order 8 with even x and the smaller y. On the
// Montgomery form B·v² = u³ + A·u² + u (A = 168698, B = −168700, u = (1 + y)/(1 − y), v = u/x), with
// ℓ the tangent at T (v = λ·u + c) and 2T = (i, 0), i² = −1, whose tangent passes through 4T = (0, 0):
// f = B⁷·ℓ⁴·(v − u/i)²/((u − 1)⁴·u). Written in x and y, stripped of eighth powers and of constants whose
// ((r − 1)/8)-th power is 1, and made homogeneous in x = X/Z, y = Y/Z, f(P) becomes B⁷·F(X, Y, Z) with
//   F = L⁴·(Z + i·X)²·Y⁴·(Z + Y)²·(Z² + d·Y²)⁷·Z²,   L = (Z + Y)·(Z − λ·X) − c·X·(Z − Y),
// and (B⁷)^((r − 1)/8) = 1/i: P lies in 8E exactly when F(P)^((r − 1)/8) = i. The same holds on the
// eight points of E[8], where f itself has its zeros and poles; the tests compare the result with the
// multiplication by l on points of every order.
#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"

namespace tarvo {

namespace {

struct OcticCharacterConstants {
  Fr lambda;  // λ, c: the tangent at T on the Montgomery form
  Fr c;
  Fr i;  // x of 2T, a square root of −1
};

const OcticCharacterConstants& octic_character_constants() {
  static const OcticCharacterConstants constants = {
      *Fr::from_repr({0x1b64d41d9196b2f3, 0x5fac46429b9a4af4, 0xe26b3471c6b0ffb9, 0x05807cf6de7b840b}),
      *Fr::from_repr({0x494d1299bef916d9, 0x93d165575a652a42, 0x89a9e8e1fc796ffc, 0x2ae3d17c02b61c1e}),
      *Fr::from_repr({0x20cff123608fc9cb, 0xcb49c3517c4604a5, 0xb3c4d79d41a91758, 0x0000000000000000}),
  };
  return constants;
}

constexpr Limbs kOcticExponent = {0x287c3eb27e000000, 0xa5067d090f372e12, 0x370a08b6d0302b0b,
                                  0x060c89ce5c263405};  // (r − 1)/8

// F(P), the value whose ((r − 1)/8)-th power tells whether P lies in 8E.
Fr octic_character_base(const edwards::Point<edwards::Unknown>& p, const Fr& d) {
  const OcticCharacterConstants& k = octic_character_constants();
  const Fr tangent = (p.z + p.y) * (p.z - k.lambda * p.x) - k.c * p.x * (p.z - p.y);
  const Fr y2 = p.y.square();
  const Fr z2 = p.z.square();
  const Fr w = z2 + d * y2;
  const Fr w3 = w.square() * w;
  return tangent.square().square() * (p.z + k.i * p.x).square() * y2.square() * (p.z + p.y).square() *
         (w3.square() * w) * z2;
}

}  // namespace

bool AltJubjubBn256::in_prime_order_subgroup_var(const edwards::Point<edwards::Unknown>& p) const {
  return octic_character_base(p, edwards_d()).pow(kOcticExponent) == octic_character_constants().i;
}

bool AltJubjubBn256::in_prime_order_subgroup_var(const edwards::Point<edwards::Unknown>& p,
                                                 const edwards::Point<edwards::Unknown>& q) const {
  const std::array<Fr, 2> characters = Fr::pow<2>(
      {octic_character_base(p, edwards_d()), octic_character_base(q, edwards_d())}, kOcticExponent);
  const Fr& i = octic_character_constants().i;
  return characters[0] == i && characters[1] == i;
}

}  // namespace tarvo
