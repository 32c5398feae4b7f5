#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "crypto/curve/edwards.h"
#include "crypto/curve/fixed_base.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/tests/support/references.h"
#include "crypto/tests/test_hex.h"

namespace tarvo::edwards {
namespace {

using test::le_bytes_from_hex;
using test::limbs_from_hex;

constexpr uint64_t kSeed = 20240611;

const AltJubjubBn256& params() { return *JUBJUB_PARAMS; }

Fr fr(std::string_view hex) { return *Fr::from_repr(limbs_from_hex(hex)); }

Point<Unknown> order_two_point() { return *from_xy(Fr::zero(), -Fr::one(), params()); }

Limbs random_limbs(std::mt19937_64& rng) { return {rng(), rng(), rng(), rng()}; }

Point<Unknown> scaled(const Point<Unknown>& p, const Fr& s) { return {p.x * s, p.y * s, p.t * s, p.z * s}; }

// Subgroup points, points with a component of order 2, the neutral element, and a point with coordinates
// near p in two representations: every coordinate negated (z = p − 1), and y = p − 1.
std::vector<Point<Unknown>> sample_points(std::mt19937_64& rng) {
  const Point<PrimeOrder>& g = params().generator(GENERATOR_INDEX);
  std::vector<Point<Unknown>> points = {zero(),
                                        g,
                                        order_two_point(),
                                        add(g, order_two_point(), params()),
                                        scaled(g, -Fr::one()),
                                        scaled(g, -*g.y.inverse())};
  for (int i = 0; i < 6; ++i) {
    const Point<PrimeOrder> p = mul_reference_var(g, random_limbs(rng), params());
    points.push_back(p);
    points.push_back(add(p, order_two_point(), params()));
  }
  return points;
}

TEST(PointEncoding, NeutralElementEncodesAsOne) {
  std::array<uint8_t, 32> one{};
  one[0] = 1;
  EXPECT_EQ(write(zero()), one);
  EXPECT_TRUE(is_zero(*read(one, params())));
  one[31] |= 0x80;  // the sign of x = 0 is ignored
  EXPECT_TRUE(is_zero(*read(one, params())));
}

TEST(PointEncoding, GeneratorFiveKnownAnswer) {
  const Point<Unknown> g = *read(
      le_bytes_from_hex("0x85a01167ea785d3f784224644a68e4067532c815f5f6d57d984b5c0e9c6c94b7"), params());
  const auto [x, y] = to_affine(g);
  EXPECT_EQ(x, fr("0x2ef3f9b423a2c8c74e9803958f6c320e854a1c1c06cd5cc8fd221dc052d76df7"));
  EXPECT_EQ(y, fr("0x05a01167ea785d3f784224644a68e4067532c815f5f6d57d984b5c0e9c6c94b7"));
  EXPECT_EQ(g, params().generator(GENERATOR_INDEX));
}

TEST(PointEncoding, ReadRejectsShortInputAndBadCoordinates) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* error;
  };
  const auto r_le = limbs_to_le_bytes(Fr::characteristic());
  std::vector<uint8_t> y_max(32, 0xff);
  y_max[31] = 0x7f;  // 2^255 - 1, above r
  std::vector<uint8_t> y_two(32, 0);
  y_two[0] = 2;  // (4 - 1)/(4d + 1) is not a square
  const std::vector<Case> cases = {
      {std::vector<uint8_t>(31, 0), "failed to fill whole buffer"},
      {{}, "failed to fill whole buffer"},
      {std::vector<uint8_t>(r_le.begin(), r_le.end()), "y is not in field"},
      {y_max, "y is not in field"},
      {y_two, "not on curve"},
  };
  const std::array<uint8_t, 32> generator = write(params().generator(GENERATOR_INDEX));
  for (const Case& c : cases) {
    const auto result = read(c.bytes, params());
    ASSERT_FALSE(result.ok()) << c.error;
    EXPECT_EQ(result.error().message(), c.error);
    // Decoded together with a point or with itself, each keeps the result read gives it.
    const auto [bad_first, good_second] = read_both(c.bytes, generator, params());
    const auto [good_first, bad_second] = read_both(generator, c.bytes, params());
    const auto [bad, bad_again] = read_both(c.bytes, c.bytes, params());
    for (const auto* failed : {&bad_first, &bad_second, &bad, &bad_again}) {
      ASSERT_FALSE(failed->ok()) << c.error;
      EXPECT_EQ(failed->error().message(), c.error);
    }
    EXPECT_EQ(*good_first, params().generator(GENERATOR_INDEX));
    EXPECT_EQ(*good_second, params().generator(GENERATOR_INDEX));
  }
}

TEST(PointEncoding, ReadConsumesOnlyTheFirst32Bytes) {
  std::vector<uint8_t> bytes(40, 0xee);
  std::fill(bytes.begin(), bytes.begin() + 32, 0);
  bytes[0] = 1;
  EXPECT_TRUE(is_zero(*read(bytes, params())));
}

TEST(PointEncoding, FromXyChecksTheCurveEquation) {
  EXPECT_TRUE(is_zero(*from_xy(Fr::zero(), Fr::one(), params())));
  EXPECT_FALSE(from_xy(Fr::one(), Fr::one(), params()).has_value());
  const auto [x, y] = to_affine(params().generator(GENERATOR_INDEX));
  EXPECT_EQ(*from_xy(x, y, params()), params().generator(GENERATOR_INDEX));
  EXPECT_FALSE(from_xy(x + Fr::one(), y, params()).has_value());
}

TEST(PointEncoding, WriteThenReadRoundTripsAndSignBitNegatesX) {
  std::mt19937_64 rng(kSeed);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed);
  for (const Point<Unknown>& p : sample_points(rng)) {
    std::array<uint8_t, 32> bytes = write(p);
    EXPECT_EQ(*read(bytes, params()), p);
    const auto [both_p, both_generator] =
        read_both(bytes, write(params().generator(GENERATOR_INDEX)), params());
    EXPECT_EQ(*both_p, p);
    EXPECT_EQ(*both_generator, params().generator(GENERATOR_INDEX));
    const auto [x, y] = to_affine(p);
    if (x.is_zero()) continue;
    bytes[31] ^= 0x80;
    const auto [flipped_x, flipped_y] = to_affine(*read(bytes, params()));
    EXPECT_EQ(flipped_x, -x);
    EXPECT_EQ(flipped_y, y);
  }
}

TEST(PointArithmetic, GroupLaws) {
  std::mt19937_64 rng(kSeed + 1);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed + 1);
  const std::vector<Point<Unknown>> points = sample_points(rng);
  for (const Point<Unknown>& p : points) {
    EXPECT_TRUE(is_zero(add(p, negate(p), params())));
    EXPECT_EQ(doubled(p), add(p, p, params()));
    EXPECT_EQ(add(p, zero(), params()), p);
    const auto [x, y] = to_affine(p);
    EXPECT_TRUE(from_xy(x, y, params()).has_value());  // results stay on the curve
    for (const Point<Unknown>& q : points) {
      EXPECT_EQ(add(p, q, params()), add(q, p, params()));
      EXPECT_EQ(add(add(p, q, params()), q, params()), add(p, doubled(q), params()));
    }
  }
}

TEST(PointArithmetic, EqualityIsProjective) {
  const Point<PrimeOrder>& g = params().generator(GENERATOR_INDEX);
  const Fr k = Fr::from_u128(7, 0);
  EXPECT_EQ(scaled(g, k), g);
  EXPECT_FALSE(negate(g) == g);
  EXPECT_FALSE(is_zero(Point<PrimeOrder>{Fr::zero(), Fr::one(), Fr::zero(), Fr::from_u128(2, 0)}));
}

TEST(ScalarMultiplication, EveryMethodMatchesTheReference) {
  std::mt19937_64 rng(kSeed + 2);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed + 2);
  const Limbs l = Fs::characteristic();
  Limbs l_minus_one = l;
  l_minus_one[0] -= 1;
  std::vector<Limbs> scalars = {
      {0, 0, 0, 0},
      {1, 0, 0, 0},
      {2, 0, 0, 0},
      {15, 0, 0, 0},
      {16, 0, 0, 0},
      l_minus_one,
      l,
      {~0ull, ~0ull, ~0ull, ~0ull},
      // every base-16 digit 8 or 15: the signed recoding carries through all windows
      {0x8888888888888888, 0x8888888888888888, 0x8888888888888888, 0x0588888888888888},
      {~0ull, ~0ull, ~0ull, 0x05ffffffffffffff},
      // the same for the fixed-base table's radix 64: every digit 32 below a top digit 23
      {0x0820820820820820, 0x2082082082082082, 0x8208208208208208, 0x05e0820820820820},
      // every digit at the largest, 31, below a top digit 23, and one more: every digit −32 below 24
      {0xf7df7df7df7df7df, 0xdf7df7df7df7df7d, 0x7df7df7df7df7df7, 0x05df7df7df7df7df},
      {0xf7df7df7df7df7e0, 0xdf7df7df7df7df7d, 0x7df7df7df7df7df7, 0x05df7df7df7df7df}};
  for (int i = 0; i < 8; ++i) scalars.push_back(random_limbs(rng));
  for (int i = 0; i < 8; ++i) scalars.push_back(Fs::from_u256_reduced(random_limbs(rng)).into_repr());

  const std::vector<Point<Unknown>> points = sample_points(rng);
  const FixedBaseTable generator5_table(embedded_generator5_multiples(), params());
  for (size_t index = 0; index < scalars.size(); ++index) {
    const Limbs& k = scalars[index];
    SCOPED_TRACE(limbs_to_hex(k));
    const Limbs& other = scalars[(index + 1) % scalars.size()];  // the second term of a joint multiplication
    const Point<PrimeOrder> g_other = mul_reference_var(params().generator(GENERATOR_INDEX), other, params());
    const Point<PrimeOrder> g0_k = mul_reference_var(params().generator(0), k, params());
    // Equal to the reference, and with t·z = x·y.
    const auto expect_point = [](const Point<Unknown>& result, const Point<Unknown>& expected) {
      EXPECT_EQ(result, expected);
      EXPECT_EQ(result.t * result.z, result.x * result.y);
    };
    for (const Point<Unknown>& p : points) {
      const Point<Unknown> expected = mul_reference_var(p, k, params());
      for (const PointKernels kernels : available_kernels<PointKernels>()) {
        SCOPED_TRACE(testing::Message() << "point kernels " << static_cast<int>(kernels));
        expect_point(mul(p, k, params(), kernels), expected);
        expect_point(mul_var(p, k, params(), kernels), expected);
        expect_point(mul_sum_var(p, k, params().generator(GENERATOR_INDEX), other, params(), kernels),
                     add(expected, g_other, params()));
        expect_point(mul_sum_var(params().public_generator_table(5), other, p, k, params().generator(0), k,
                                 params(), kernels),
                     add(add(expected, g_other, params()), g0_k, params()));
      }
    }
    const Result<Fs> scalar = Fs::from_repr(k);
    if (!scalar) continue;
    const Point<PrimeOrder> expected = mul_reference_var(params().generator(GENERATOR_INDEX), k, params());
    EXPECT_EQ(mul(params().generator(GENERATOR_INDEX), *scalar, params()), expected);
    EXPECT_EQ(params().mul_generator(GENERATOR_INDEX, *scalar), expected);
    for (const FixedBaseKernels kernels : available_kernels<FixedBaseKernels>()) {
      EXPECT_EQ(generator5_table.mul(*scalar, kernels), expected);
    }
    EXPECT_EQ(params().mul_generator(0, *scalar), mul_reference_var(params().generator(0), k, params()));
  }
}

TEST(ScalarMultiplication, EdgeScalars) {
  const Point<PrimeOrder>& g = params().generator(GENERATOR_INDEX);
  EXPECT_TRUE(is_zero(mul(g, Fs::zero(), params())));
  EXPECT_EQ(mul(g, Fs::one(), params()), g);
  EXPECT_TRUE(is_zero(mul_reference_var(g, Fs::characteristic(), params())));
  EXPECT_EQ(mul(g, -Fs::one(), params()), negate(g));
  // A point of order 2 survives multiplication by the odd l.
  EXPECT_EQ(mul_var(order_two_point(), Fs::characteristic(), params()), order_two_point());
}

// Multiples of a point q of order 8·l of every order 1, 2, 4, 8, l, 2l, 4l and 8l, all eight points of
// order dividing 8, and the same points with z != 1.
TEST(SubgroupMembership, ExponentiationTestAgreesWithMultiplicationByL) {
  std::mt19937_64 rng(kSeed + 3);
  SCOPED_TRACE(testing::Message() << "seed " << kSeed + 3);
  const Limbs l = Fs::characteristic();
  const auto times = [](const Limbs& k, unsigned power_of_two) {  // l·8 < 2^254: nothing drops out
    Limbs shifted{};
    for (int i = 3; i >= 0; --i)
      shifted[i] = (k[i] << power_of_two) | (i > 0 ? k[i - 1] >> (64 - power_of_two) : 0);
    return shifted;
  };
  const std::vector<Limbs> multipliers = {{1, 0, 0, 0}, {2, 0, 0, 0}, {4, 0, 0, 0}, {8, 0, 0, 0}, l,
                                          times(l, 1),  times(l, 2),  times(l, 3)};
  for (int round = 0; round < 3; ++round) {
    Result<Point<Unknown>> q = Error("");
    while (!q || is_zero(mul_reference_var(*q, times(l, 2), params()))) {
      q = read(limbs_to_le_bytes(Fr::from_u256_reduced(random_limbs(rng)).into_repr()), params());
    }
    std::vector<std::pair<Point<Unknown>, bool>> points;  // with whether they have order dividing l
    for (const Limbs& k : multipliers) points.emplace_back(mul_reference_var(*q, k, params()), k[0] % 8 == 0);
    const Point<Unknown> order_eight = points[4].first;
    for (uint64_t i = 0; i < 8; ++i)
      points.emplace_back(mul_reference_var(order_eight, {i, 0, 0, 0}, params()), i == 0);
    for (const auto& [p, in_subgroup] : points) {
      const Fr scale = Fr::from_u256_reduced(random_limbs(rng));
      EXPECT_EQ(in_prime_order_subgroup_reference_var(p, params()), in_subgroup);
      EXPECT_EQ(params().in_prime_order_subgroup_var(p), in_subgroup);
      EXPECT_EQ(params().in_prime_order_subgroup_var(scaled(p, scale)), in_subgroup);
      // Both points tested at once, beside a subgroup point in either place.
      const Point<PrimeOrder>& g = params().generator(GENERATOR_INDEX);
      EXPECT_EQ(params().in_prime_order_subgroup_var(p, g), in_subgroup);
      EXPECT_EQ(params().in_prime_order_subgroup_var(g, scaled(p, scale)), in_subgroup);
    }
  }
}

TEST(ScalarMultiplication, PublicKeyKnownAnswers) {
  struct Case {
    const char* scalar;
    const char* packed;
    const char* x;
  };
  const Case cases[] = {
      {"0x0000000000000000000000000000000000000000000000000000000000000001",
       "0x85a01167ea785d3f784224644a68e4067532c815f5f6d57d984b5c0e9c6c94b7",
       "0x2ef3f9b423a2c8c74e9803958f6c320e854a1c1c06cd5cc8fd221dc052d76df7"},
      {"0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0",
       "0x05a01167ea785d3f784224644a68e4067532c815f5f6d57d984b5c0e9c6c94b7",
       "0x017054bebd8ed76269b84220f215264ea2e9cc2c72ec13c846bfd7d39d28920a"},
      {"0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde",
       "0x8af3963e32f7a1cc3e973b4d9a359392a7ea5ae99c4203c0064badaa2f3f8f8d",
       "0x0f648b298644299aa0cc15fa48064c6ea8a6a1f50c6f7c66a8dfd37fb67672db"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scalar);
    const Fs k = *Fs::from_repr(limbs_from_hex(c.scalar));
    const Point<PrimeOrder> a = mul(params().generator(GENERATOR_INDEX), k, params());
    EXPECT_EQ(write(a), le_bytes_from_hex(c.packed));
    EXPECT_EQ(to_affine(a).first, fr(c.x));
  }
}

}  // namespace
}  // namespace tarvo::edwards
