#include "crypto/curve/edwards.h"

#include "crypto/base/fatal.h"

namespace tarvo {

CurveCoefficient::CurveCoefficient() {
  const std::optional<Fr> d =
      Fr::from_str("12181644023421730124874158521699555681764249180949974110617291017600649128846");
  ensure(d.has_value(), "edwards d does not parse");
  d_ = *d;
}

namespace edwards {

std::optional<Point<Unknown>> from_xy(const Fr& x, const Fr& y, const CurveCoefficient& curve) {
  const Fr x2 = x.square();
  const Fr y2 = y.square();
  if (!(y2 - x2 == Fr::one() + curve.edwards_d() * x2 * y2)) return std::nullopt;
  return Point<Unknown>{x, y, x * y, Fr::one()};
}

namespace {

constexpr uint64_t kSignBit = uint64_t{1} << 63;

// A decoding up to its square root: y, the parity bit of x, and x² = (y² - 1) / (d·y² + 1).
struct Decoding {
  Fr y;
  bool x_odd;
  Fr x2;
};

Result<Decoding> start_decoding(std::span<const uint8_t> bytes, const CurveCoefficient& curve) {
  if (bytes.size() < 32) return Error("failed to fill whole buffer");
  Limbs limbs = limbs_from_le_bytes(bytes.first<32>());
  const bool x_odd = (limbs[3] & kSignBit) != 0;
  limbs[3] &= ~kSignBit;

  const Result<Fr> y = Fr::from_repr(limbs);
  if (!y) return Error("y is not in field");
  const Fr y2 = y->square();
  const std::optional<Fr> denominator_inverse = (curve.edwards_d() * y2 + Fr::one()).inverse_var();
  if (!denominator_inverse) return Error("not on curve");
  return Decoding{*y, x_odd, (y2 - Fr::one()) * *denominator_inverse};
}

// The point from x², given its square root x if it has one.
Result<Point<Unknown>> finish_decoding(const Decoding& decoding, std::optional<Fr> x) {
  if (!x) return Error("not on curve");
  if (x->is_odd() != decoding.x_odd) x = -*x;
  return Point<Unknown>{*x, decoding.y, *x * decoding.y, Fr::one()};
}

Result<Point<Unknown>> finish_decoding(const Result<Decoding>& decoding) {
  if (!decoding) return decoding.error();
  return finish_decoding(*decoding, decoding->x2.sqrt());
}

}  // namespace

Result<Point<Unknown>> read(std::span<const uint8_t> bytes, const CurveCoefficient& curve) {
  return finish_decoding(start_decoding(bytes, curve));
}

std::array<Result<Point<Unknown>>, 2> read_both(std::span<const uint8_t> first,
                                                std::span<const uint8_t> second,
                                                const CurveCoefficient& curve) {
  const Result<Decoding> a = start_decoding(first, curve);
  const Result<Decoding> b = start_decoding(second, curve);
  if (!a || !b) return {finish_decoding(a), finish_decoding(b)};
  const std::array<std::optional<Fr>, 2> roots = Fr::sqrt<2>({a->x2, b->x2});
  return {finish_decoding(*a, roots[0]), finish_decoding(*b, roots[1])};
}

std::array<uint8_t, 32> write_affine(const Fr& x, const Fr& y) {
  Limbs limbs = y.into_repr();
  if (x.is_odd()) limbs[3] |= kSignBit;
  return limbs_to_le_bytes(limbs);
}

template <typename Order>
std::array<uint8_t, 32> write(const Point<Order>& p) {
  const auto [x, y] = to_affine(p);
  return write_affine(x, y);
}

template <typename Order>
std::pair<Fr, Fr> to_affine(const Point<Order>& p) {
  // Decoded and affine-built points have z = 1: no inversion needed. The test tells only whether z = 1,
  // which a product of a multiplication has with negligible probability; its z, which tells of the
  // scalar, goes through the constant-time inversion.
  if (p.z == Fr::one()) return {p.x, p.y};
  const std::optional<Fr> z_inverse = p.z.inverse();
  ensure(z_inverse.has_value(), "point with z = 0 has no affine form");
  return {p.x * *z_inverse, p.y * *z_inverse};
}

template <typename A, typename B>
std::array<std::pair<Fr, Fr>, 2> to_affine(const Point<A>& p, const Point<B>& q) {
  const std::optional<Fr> product_inverse = (p.z * q.z).inverse();
  ensure(product_inverse.has_value(), "point with z = 0 has no affine form");
  const Fr p_z_inverse = *product_inverse * q.z;
  const Fr q_z_inverse = *product_inverse * p.z;
  return {{{p.x * p_z_inverse, p.y * p_z_inverse}, {q.x * q_z_inverse, q.y * q_z_inverse}}};
}

std::vector<std::pair<Fr, Fr>> to_affine_var(std::span<const Point<PrimeOrder>> points) {
  // Prefix products of z, one inversion, then each inverse in two multiplications.
  std::vector<Fr> prefix(points.size());
  Fr acc = Fr::one();
  for (size_t i = 0; i < points.size(); ++i) {
    prefix[i] = acc;
    acc *= points[i].z;
  }
  const std::optional<Fr> total_inverse = acc.inverse_var();
  ensure(total_inverse.has_value(), "point with z = 0 has no affine form");
  Fr inverse = *total_inverse;
  std::vector<std::pair<Fr, Fr>> affine(points.size());
  for (size_t i = points.size(); i-- > 0;) {
    const Fr z_inverse = inverse * prefix[i];
    inverse *= points[i].z;
    affine[i] = {points[i].x * z_inverse, points[i].y * z_inverse};
  }
  return affine;
}

template std::array<uint8_t, 32> write(const Point<PrimeOrder>&);
template std::array<uint8_t, 32> write(const Point<Unknown>&);
template std::pair<Fr, Fr> to_affine(const Point<PrimeOrder>&);
template std::pair<Fr, Fr> to_affine(const Point<Unknown>&);
template std::array<std::pair<Fr, Fr>, 2> to_affine(const Point<PrimeOrder>&, const Point<PrimeOrder>&);

}  // namespace edwards

}  // namespace tarvo
