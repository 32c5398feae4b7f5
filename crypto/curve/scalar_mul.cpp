#include <algorithm>
#include <bit>
#include <type_traits>

#include "crypto/base/target.h"
#include "crypto/base/wipe.h"
#include "crypto/curve/cached.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/partly_reduced_x86_64.h"
#include "crypto/curve/point_lanes_ifma_x86_64.h"
#include "crypto/curve/public_base_table.h"
#include "crypto/curve/select.h"
#include "crypto/curve/signed_digits.h"

namespace tarvo::edwards {

namespace {

using Naf = std::array<int8_t, 257>;  // a 256-bit scalar may need one digit more

// Width-w non-adjacent form: every nonzero digit is odd, below 2^(w−1) in magnitude, and followed by at
// least w − 1 zeros. Runs of zero bits are passed over in one shift.
template <unsigned Width>
Naf naf_var(const Limbs& k) {
  constexpr int kWindow = 1 << Width;
  std::array<uint64_t, 5> n = {k[0], k[1], k[2], k[3], 0};
  Naf digits{};
  size_t i = 0;
  while ((n[0] | n[1] | n[2] | n[3] | n[4]) != 0) {
    if (n[0] & 1) {
      int digit = static_cast<int>(n[0] & (kWindow - 1));
      if (digit >= kWindow / 2) digit -= kWindow;
      digits[i] = static_cast<int8_t>(digit);
      // n -= digit, leaving the low w bits zero: n plus -digit sign-extended to 320 bits
      const uint64_t negated = static_cast<uint64_t>(-static_cast<int64_t>(digit));
      const uint64_t extension = digit > 0 ? ~uint64_t{0} : 0;
      uint64_t carry = 0;
      n[0] = add_with_carry(n[0], negated, carry);
      for (size_t j = 1; j < n.size(); ++j) n[j] = add_with_carry(n[j], extension, carry);
    }
    if (n[0] == 0) {  // a whole word of zeros
      std::copy(n.begin() + 1, n.end(), n.begin());
      n[4] = 0;
      i += 64;
      continue;
    }
    const int zeros = std::countr_zero(n[0]);  // 1 to 63
    for (size_t j = 0; j < 4; ++j) n[j] = (n[j] >> zeros) | (n[j + 1] << (64 - zeros));
    n[4] >>= zeros;
    i += static_cast<size_t>(zeros);
  }
  return digits;
}

// One term k·p of a variable-time multiplication: the odd multiples of p as addends and the NAF digits of k.
template <typename Addend>
struct NafTerm {
  std::array<Addend, 8> odd;  // odd[i] = (2i + 1)·p
  Naf digits;
};

// One term k·b of a public base b: the NAF digits of k that pick from the odd multiples of b.
template <typename OddMultiples>
struct TableTerm {
  const OddMultiples& odd;
  Naf digits;
};

// The point an accumulator of the multiplications' loops holds: Point itself, or a partly reduced point
// (partly_reduced_x86_64.h).
template <typename Order>
Point<Order> as_point(const Point<Order>& p) {
  return p;
}
#if TARVO_X86_64
template <typename Order>
Point<Order> as_point(const partly_reduced::PartlyReducedPoint& p) {
  return partly_reduced::to_point<Order>(p);
}
template <typename Order>
Point<Order> as_point(const point_lanes::LanePoint& p) {
  return point_lanes::to_point<Order>(p);
}
#endif

// 2p and p + q with the accumulator's arithmetic.
template <typename Accumulator, typename Order>
Point<Order> doubled_with(const Point<Order>& p) {
  return as_point<Order>(doubled(Accumulator(p)));
}
template <typename Accumulator, typename Order>
Point<Order> sum_with(const Point<Order>& p, const CachedPoint& q) {
  return as_point<Order>(add(Accumulator(p), q));
}

// The addends of an accumulator's additions, each made once per multiple and taken by every addition of
// it: prepared points (cached.h), or for the lanes their own form, made there.
template <typename Accumulator, typename Order>
class Addends {
 public:
  explicit Addends(const CurveCoefficient& curve) : curve_(curve) {}

  CachedPoint operator()(const Accumulator& p) const { return to_cached(as_point<Order>(p), curve_); }
  static CachedPoint prepared(const CachedPoint& q) { return q; }
  static const PublicBaseTable::OddMultiples& odd_multiples(const PublicBaseTable& base, size_t half) {
    return base.odd_multiples(half);
  }

 private:
  const CurveCoefficient& curve_;
};
#if TARVO_X86_64
template <typename Order>
class Addends<point_lanes::LanePoint, Order> : public point_lanes::LaneAddends {
 public:
  using LaneAddends::LaneAddends;

  static point_lanes::LaneAddend<false> prepared(const CachedPoint& q) { return point_lanes::lane_addend(q); }
  static const PublicBaseTable::LaneOddMultiples& odd_multiples(const PublicBaseTable& base, size_t half) {
    return base.lane_odd_multiples(half);
  }
};
#endif

// The loops' steps on the accumulator, in place: acc doubled, and acc + q, or acc − q where negative is 1,
// chosen without a branch. The lanes have their own (point_lanes_ifma_x86_64.h), which choose the sign in
// the kernel and leave the result where the next step reads it.
template <bool ComputeT = true, typename Accumulator>
void double_in_place(Accumulator& acc) {
  acc = doubled<ComputeT>(acc);
}
template <bool ComputeT = true, typename Accumulator, typename Addend>
void add_in_place(Accumulator& acc, const Addend& q, uint64_t negative) {
  acc = add<ComputeT>(acc, conditional_select(q, negate(q), negative));
}

template <typename Accumulator, typename Order>
auto naf_term(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve) {
  const Addends<Accumulator, Order> addends(curve);
  const Accumulator base(p);
  NafTerm<decltype(addends(base))> term{{}, naf_var<5>(k)};
  const auto twice = addends(doubled(base));
  term.odd[0] = addends(base);
  Accumulator multiple = base;
  for (size_t i = 1; i < term.odd.size(); ++i) {
    multiple = add(multiple, twice);
    term.odd[i] = addends(multiple);
  }
  return term;
}

#if TARVO_X86_64
// body.operator()<LanePoint>() as one function compiled for the lanes' instructions: its copies and
// constant-time selections of lane values then move whole vector registers (a copy in 16-byte pieces makes
// the kernel's next 32-byte load wait for the stores).
template <typename Order, typename Body>
TARVO_TARGET_IFMA __attribute__((flatten)) Point<Order> in_lanes(Body& body) {
  return body.template operator()<point_lanes::LanePoint>();
}
#endif

// body.operator()<Accumulator>() with the accumulator of the kernels.
template <typename Order, typename Body>
Point<Order> with_kernels(PointKernels kernels, Body body) {
#if TARVO_X86_64
  if (kernels == PointKernels::adx) return body.template operator()<partly_reduced::PartlyReducedPoint>();
  if (kernels == PointKernels::ifma) return in_lanes<Order>(body);
#endif
  (void)kernels;
  return body.template operator()<Point<Order>>();
}

// Σ k·p over the terms with Straus's method: one chain of doublings shared by all terms.
template <typename Accumulator, typename Order, typename Term, size_t N,
          typename Table = TableTerm<PublicBaseTable::OddMultiples>, size_t M = 0>
Point<Order> straus_var(const std::array<Term, N>& terms, const std::array<Table, M>& table_terms = {}) {
  const auto additions_at = [&terms, &table_terms](int i) {
    int additions = 0;
    for (const Term& term : terms) additions += term.digits[i] != 0;
    for (const Table& term : table_terms) additions += term.digits[i] != 0;
    return additions;
  };
  int top = static_cast<int>(Naf{}.size()) - 1;
  while (top >= 0 && additions_at(top) == 0) --top;
  Accumulator acc(zero<Order>());
  for (int i = top; i >= 0; --i) {
    // t only for an addition or the result to read: a doubling never does.
    int additions = additions_at(i);
    additions == 0 && i > 0 ? double_in_place<false>(acc) : double_in_place(acc);
    const auto add_multiple = [&acc, &additions, i](const auto& odd, int digit) {
      if (digit == 0) return;
      const auto& multiple = odd[(digit > 0 ? digit : -digit) / 2];
      const uint64_t negative = digit < 0;
      --additions > 0 || i == 0 ? add_in_place(acc, multiple, negative)
                                : add_in_place<false>(acc, multiple, negative);
    };
    for (const Term& term : terms) add_multiple(term.odd, term.digits[i]);
    for (const Table& term : table_terms) add_multiple(term.odd, term.digits[i]);
  }
  return as_point<Order>(acc);
}

// Σ digits[j]·16^j·p over the prepared multiples 0..8·p, in constant time.
template <typename Accumulator, typename Order, typename Addend, size_t Windows>
Point<Order> sum_of_windows(const std::array<Addend, 9>& multiples,
                            const std::array<int8_t, Windows>& digits) {
  Accumulator acc(zero<Order>());
  for (size_t j = Windows; j-- > 0;) {
    if (j + 1 < Windows) {
      // t only where the addition reads it.
      for (int d = 0; d < 3; ++d) double_in_place<false>(acc);
      double_in_place(acc);
    }
    const auto [magnitude, negative] = magnitude_and_sign(digits[j]);
    const Addend addend = select(multiples, magnitude);
    j == 0 ? add_in_place(acc, addend, negative) : add_in_place<false>(acc, addend, negative);
  }
  return as_point<Order>(acc);
}

}  // namespace

template <typename Order>
Point<Order> mul(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve, PointKernels kernels) {
  // Signed 4-bit digits, one more than the 64 windows of k to take the last carry.
  constexpr size_t kWindows = 65;
  static_assert(4 * (kWindows - 1) >= 256);  // the last window lies past k's bits: it holds the carry alone
  std::array<int8_t, kWindows> digits = signed_digits<4, kWindows>(k);
  const Point<Order> product = with_kernels<Order>(kernels, [&]<typename Accumulator>() {
    std::array<CachedPoint, 9> multiples;  // multiples[i] = i·p, i = 0..8
    multiples[0] = to_cached(zero<Order>(), curve);
    multiples[1] = to_cached(p, curve);
    std::array<Point<Order>, 9> points;
    points[1] = p;
    for (size_t i = 2; i < multiples.size(); ++i) {
      points[i] = i % 2 == 0 ? doubled_with<Accumulator>(points[i / 2])
                             : sum_with<Accumulator>(points[i - 1], multiples[1]);
      multiples[i] = to_cached(points[i], curve);
    }
    using Prepare = Addends<Accumulator, Order>;
    std::array<decltype(Prepare::prepared(multiples[0])), 9> addends;
    for (size_t i = 0; i < addends.size(); ++i) addends[i] = Prepare::prepared(multiples[i]);
    return sum_of_windows<Accumulator, Order>(addends, digits);
  });
  wipe(digits.data(), sizeof digits);
  return product;
}

template <typename Order>
Point<Order> mul(const Point<Order>& p, const Fs& k, const CurveCoefficient& curve) {
  Limbs bits = k.into_repr();
  const Point<Order> result = mul(p, bits, curve);
  wipe(bits.data(), sizeof bits);
  return result;
}

template <typename Order>
Point<Order> mul_var(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve,
                     PointKernels kernels) {
  return with_kernels<Order>(kernels, [&]<typename Accumulator>() {
    return straus_var<Accumulator, Order>(std::array{naf_term<Accumulator, Order>(p, k, curve)});
  });
}

template <typename A, typename B>
Point<Joined<A, B>> mul_sum_var(const Point<A>& p, const Limbs& j, const Point<B>& q, const Limbs& k,
                                const CurveCoefficient& curve, PointKernels kernels) {
  using Order = Joined<A, B>;
  return with_kernels<Order>(kernels, [&]<typename Accumulator>() {
    return straus_var<Accumulator, Order>(
        std::array{naf_term<Accumulator, Order>(p, j, curve), naf_term<Accumulator, Order>(q, k, curve)});
  });
}

Point<Unknown> mul_sum_var(const PublicBaseTable& base, const Limbs& k, const Point<Unknown>& p,
                           const Limbs& i, const Point<Unknown>& q, const Limbs& j,
                           const CurveCoefficient& curve, PointKernels kernels) {
  const Naf digits = naf_var<PublicBaseTable::NAF_WIDTH>(k);
  return with_kernels<Unknown>(kernels, [&]<typename Accumulator>() {
    using Prepare = Addends<Accumulator, Unknown>;
    using Multiples = std::remove_cvref_t<decltype(Prepare::odd_multiples(base, 0))>;
    std::array<TableTerm<Multiples>, 2> halves = {TableTerm<Multiples>{Prepare::odd_multiples(base, 0), {}},
                                                  TableTerm<Multiples>{Prepare::odd_multiples(base, 1), {}}};
    std::copy_n(digits.begin(), PublicBaseTable::SPLIT, halves[0].digits.begin());
    std::copy(digits.begin() + PublicBaseTable::SPLIT, digits.end(), halves[1].digits.begin());
    return straus_var<Accumulator, Unknown>(
        std::array{naf_term<Accumulator, Unknown>(p, i, curve), naf_term<Accumulator, Unknown>(q, j, curve)},
        halves);
  });
}

template Point<PrimeOrder> mul(const Point<PrimeOrder>&, const Limbs&, const CurveCoefficient&, PointKernels);
template Point<Unknown> mul(const Point<Unknown>&, const Limbs&, const CurveCoefficient&, PointKernels);
template Point<PrimeOrder> mul(const Point<PrimeOrder>&, const Fs&, const CurveCoefficient&);
template Point<Unknown> mul(const Point<Unknown>&, const Fs&, const CurveCoefficient&);
template Point<PrimeOrder> mul_var(const Point<PrimeOrder>&, const Limbs&, const CurveCoefficient&,
                                   PointKernels);
template Point<Unknown> mul_var(const Point<Unknown>&, const Limbs&, const CurveCoefficient&, PointKernels);
template Point<PrimeOrder> mul_sum_var(const Point<PrimeOrder>&, const Limbs&, const Point<PrimeOrder>&,
                                       const Limbs&, const CurveCoefficient&, PointKernels);
template Point<Unknown> mul_sum_var(const Point<Unknown>&, const Limbs&, const Point<PrimeOrder>&,
                                    const Limbs&, const CurveCoefficient&, PointKernels);

}  // namespace tarvo::edwards
