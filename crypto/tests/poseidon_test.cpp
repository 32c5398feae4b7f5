#include "crypto/poseidon/poseidon.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string_view>
#include <vector>

namespace tarvo::poseidon {
namespace {

// 64 hexadecimal digits after "0x", most significant first.
Fr fr_hex(std::string_view text) {
  Limbs limbs{};
  for (size_t i = 0; i < 64; ++i) {
    const char c = text[2 + i];
    const uint64_t digit = c <= '9' ? uint64_t(c - '0') : uint64_t(c - 'a' + 10);
    limbs[3 - i / 16] |= digit << (4 * (15 - i % 16));
  }
  return Fr::from_repr(limbs).value();
}

Fr fr(uint64_t v) { return Fr::from_u128(v, 0); }

const Fr R_MINUS_ONE = Fr::zero() - Fr::one();

TEST(PoseidonParameters, Width3MatchesPublishedValues) {
  const Parameters<3> params = generate<3>(8, 57);
  EXPECT_EQ(params.round_constants.size(), 65u);
  EXPECT_EQ(params.round_constants[0][0],
            fr_hex("0x0ee9a592ba9a9518d05986d656f40c2114c4993c11bb29938d21d47304cd8e6e"));
  EXPECT_EQ(params.mds[0][0], fr_hex("0x109b7f411ba0e4c9b2b70caf5c36a7b194be7c11ad24378bfedb68592ba8118b"));
  const Fr expected = fr_hex("0x115cc0f5e7d690413df64c6b9662e9cf2a3617f2743245519e19607a4417189a");
  Vec<3> plain = {fr(0), fr(1), fr(2)};
  permute_reference(params, plain);
  EXPECT_EQ(plain[0], expected);
  Vec<3> optimised = {fr(0), fr(1), fr(2)};
  Spec<3>(8, 57).permute(optimised);
  EXPECT_EQ(optimised, plain);
}

TEST(PoseidonParameters, Width9RoundZeroConstantsAndMdsRow) {
  const Parameters<9>& params = poseidon_hasher().spec().parameters();
  EXPECT_EQ(params.round_constants.size(), 71u);
  const char* constants[9] = {"0x2088ce9534577bf38be7bc457f2756d558d66e0c07b9cc001a580bd42cda0e77",
                              "0x1b86e63908c4b12af43cec6810356c94d21c9e37d73dfff9742a58e0ec356be1",
                              "0x09ca022ba1142d170f755212e2edc9d0a4ace33e16825f540d5d50d5a021a169",
                              "0x277e69d47a133804241f6aebe9449be6e22c849c6d8ad8c938eaf613bc1aecd4",
                              "0x17b57ea03754e24ae0ef425aa2ad931aac9ba5457a18cec594545a235db6b269",
                              "0x11c740983395e0f4a026e2c7c939236375c9077755eb1a37a77d5a1fd74abac6",
                              "0x1cd85529010dd7e2fb7ea403515bab5727556a479c59b822efc5a81eb37bc5bd",
                              "0x2cb9354002cec4bcbfa985de34f43d702ced83d197aa374b5a1f96f87b12f292",
                              "0x1f7af98e08f6877923f27a3dad40c525ac52f56fbbd878506544f9acd61aa32d"};
  const char* mds_row0[9] = {"0x0190f922d97c8a7dcf0a142a3be27749d1c64bc22f1c556aaa24925d158cac56",
                             "0x1f8d3a9d2d31ab32d9bdb6375170dbba89f6f8f74d16e4fd02f3675d5fe2baad",
                             "0x230c694139416f40422d713e13c056c45c3c631b346854523970eaea58a37df4",
                             "0x2063a461ad06315ae5992a53a14bb598367624afc2833ccbb83af92ca0f6a334",
                             "0x0c574e628f84b6ba9d17b9d2bfd4747e06dd68cda2383d64ce365927098c046f",
                             "0x276428d88040a3e0f442424d2ffcb8d19becf3fb6ca02c1b5c61b5ddc53ceb90",
                             "0x24bdf6101b2f223174e869d6aecbe8ea5b04a14c38fdf1494393cc6fdb3e42a5",
                             "0x180fca184150c0e354b4b3a4a075824d4b68e8274943f4dd8b0c64eca25dc68e",
                             "0x10726dcff87299c8532159976607633f1bc2ad24453c1bab26b726b82d756ebb"};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(params.round_constants[0][i], fr_hex(constants[i])) << "position " << i;
    EXPECT_EQ(params.mds[0][i], fr_hex(mds_row0[i])) << "column " << i;
  }
}

TEST(PoseidonParameters, OddFullRoundsAreFatal) { EXPECT_THROW(generate<3>(7, 57), FatalError); }

struct PermutationCase {
  const char* name;
  State in;
  std::array<const char*, 9> out;
};

TEST(PoseidonPermutation, Width9KnownAnswers) {
  const PermutationCase cases[] = {
      {"capacity 0, inputs 1..8",
       {fr(0), fr(1), fr(2), fr(3), fr(4), fr(5), fr(6), fr(7), fr(8)},
       {"0x2921ab9bd0140cbc98e40395c0fefb40337a4d54fbbecd9a4d43b3d8d0c4d8d1",
        "0x0f4bef710c430ccf4b066245ebda76ec4c571816b5766bffbe64dfcef83ad9ee",
        "0x29ae93298f7f5ac359eed2a1b4fe0b8605e6caf86a2952ddc353edee612f431b",
        "0x0100596375fcd85a397fabfef5af0a64caac9fa4206e3825651c96c00221ad89",
        "0x0f007579146e6d18785d8edd07bfc2ff49ff194bb40da0bfad0fd77239d41104",
        "0x21b31b3be4a08e10a24e2d327ea64077fb18dc9428fa04e30faf543a5cad6c41",
        "0x032589fca1f1eb8f5c617c7256ae25221ed6cb7272b9ce1ff0f4cfb89050e601",
        "0x1e51f0950c8b317a62bb43b082347bdb2b83deb856dabc1cdbbb7569c0e81955",
        "0x2c8e23a3569963447e55619f1d1462f63ea2e40d3d405c18bbf394f13c253749"}},
      {"all zero",
       {},
       {"0x035ebc384d320413c9b97d446bf7de69e04d6278d68d52934a4f5f653348622a",
        "0x206dcdb2145e29dd33318fa0d8868337e677da51d0396a893bb430bb56424006",
        "0x1692c19afd6d64b391c11119eaf7577c18ce7bda81cd7e4a3c8ee438171fe15b",
        "0x2902ad0ad940896bf2d7017f87580bb9de5c04cab341aabea79a40f1171ee565",
        "0x0814ffbed2a5d7b3f401013fdcf669188ea84cb642229b5b8600709bff6e93e6",
        "0x03ae5baf00c7286f784f79c7e8a3cd47b7c8680914844c6bed4898ce4ccf7658",
        "0x110e82661339d61a3f8c42f902189f4a250e90bb606450754231671a5910cc4e",
        "0x1e9c7f1d001fb17826e44e4b74eeece73fb139ad90485702bb776395d49eb84c",
        "0x1c913b40adba0cb5c9bb55ddfac3f2db0494feb1aecb07a790f18c7546e5bef7"}},
      {"initial sponge state plus padding element",
       {Fr::from_u128(0, 1), fr(1), fr(0), fr(0), fr(0), fr(0), fr(0), fr(0), fr(0)},
       {"0x1883a2ff4915c98be400fec58d03cf51c1a83ced07d9fbec23a63c1c492ac454",
        "0x11f77bc74c48929522164f7dc7f6d4c79bc009015ac667067a3220563a4fa2bd",
        "0x18cf96da344f400938735c2eb5a09ad7c52951ead8229c4083a5428cca734626",
        "0x1a72bef723ba85db2dcf913c49aa5589f318b974605303eac85cad7e1c13dc86",
        "0x15d5bfb8adde450170598e6c48d20c8056164dbacfbbc93d6776440b01466ec2",
        "0x013b4a6d703ffcb8b8807ea6797da78412bf2a46420ebd3f6ce838951f79dd6d",
        "0x162d52413cefdd9f0019698796488e43d3eef9e628fae9a5393d3fc3904f6c48",
        "0x12dd78b47f82aee17c5a8673adc883a8f450337225c810a43512e87c7be38ec3",
        "0x13086368b44804e74ffe1dc96b23d5e3c244ae7091dce9d463e58a6cf792586a"}},
  };
  const Spec<WIDTH>& spec = poseidon_hasher().spec();
  for (const PermutationCase& c : cases) {
    SCOPED_TRACE(c.name);
    State expected;
    for (size_t i = 0; i < WIDTH; ++i) expected[i] = fr_hex(c.out[i]);
    State optimised = c.in;
    spec.permute(optimised);
    EXPECT_EQ(optimised, expected);
    State plain = c.in;
    permute_reference(spec.parameters(), plain);
    EXPECT_EQ(plain, expected);
  }
}

// Edge values as inputs and, offset by the first round constants, as the Montgomery forms the full rounds
// start from (0, 1, r - 1, r - 2, 2^253 ± 1, the largest limbs), uniform and differing from element to
// element, and random states.
std::vector<State> edge_and_random_states(std::mt19937_64& rng) {
  std::vector<State> states;
  for (const Fr& v : {Fr::zero(), Fr::one(), R_MINUS_ONE}) {
    State uniform;
    uniform.fill(v);
    states.push_back(uniform);
  }
  states.push_back({R_MINUS_ONE, Fr::zero(), Fr::one(), R_MINUS_ONE, Fr::zero(), Fr::one(), R_MINUS_ONE,
                    Fr::zero(), Fr::one()});
  const Limbs r = Fr::characteristic();
  const Limbs forms[] = {{0, 0, 0, 0},
                         {1, 0, 0, 0},
                         {r[0] - 1, r[1], r[2], r[3]},
                         {r[0] - 2, r[1], r[2], r[3]},
                         {~0ull, ~0ull, ~0ull, (1ull << 61) - 1},
                         {1, 0, 0, 1ull << 61},
                         {~0ull, ~0ull, ~0ull, r[3] - 1}};
  const State& first_constants = poseidon_hasher().spec().parameters().round_constants[0];
  const auto entering_full_rounds_as = [&](const auto& pick) {
    State state;
    for (size_t i = 0; i < WIDTH; ++i) state[i] = Fr::from_montgomery_form(pick(i)) - first_constants[i];
    return state;
  };
  for (const Limbs& form : forms) states.push_back(entering_full_rounds_as([&](size_t) { return form; }));
  for (int n = 0; n < 8; ++n) {
    states.push_back(entering_full_rounds_as([&](size_t) { return forms[rng() % std::size(forms)]; }));
  }
  for (int n = 0; n < 20; ++n) {
    State random;
    for (Fr& s : random) s = Fr::from_u256_reduced({rng(), rng(), rng(), rng()});
    states.push_back(random);
  }
  return states;
}

constexpr uint64_t STATES_SEED = 20240917;

TEST(PoseidonPermutation, OptimisedAgreesWithReferenceOnEdgeAndRandomStates) {
  const Spec<WIDTH>& spec = poseidon_hasher().spec();
  std::mt19937_64 rng(STATES_SEED);
  const std::vector<State> states = edge_and_random_states(rng);
  for (size_t n = 0; n < states.size(); ++n) {
    State plain = states[n];
    State optimised = states[n];
    State scalar = states[n];
    permute_reference(spec.parameters(), plain);
    spec.permute(optimised);
    spec.permute_scalar(scalar);
    EXPECT_EQ(optimised, plain) << "state " << n << " (random states from seed " << STATES_SEED << ")";
    EXPECT_EQ(scalar, plain) << "state " << n << " (random states from seed " << STATES_SEED << ")";
#if TARVO_X86_64
    // The IFMA rounds directly, whichever path permute chose.
    if (fastest_kernels<PermutationKernels>() == PermutationKernels::ifma) {
      State vector = states[n];
      spec.permute_ifma(vector);
      EXPECT_EQ(vector, plain) << "state " << n << " (random states from seed " << STATES_SEED << ")";
    }
#endif
  }
}

#if TARVO_X86_64
// The column updates of the partial rounds against Fr::dot_add: the updated elements with the Montgomery
// forms r - 1, r - 2, 0 and 1 as well as random (sums up to 2r and beyond, both conditional subtractions),
// random columns, and S-box outputs random or with the Montgomery form r - 1.
TEST(PoseidonPermutation, IfmaColumnUpdatesAgreeWithTheScalarOnes) {
  if (fastest_kernels<PermutationKernels>() != PermutationKernels::ifma)
    GTEST_SKIP() << "the CPU lacks AVX-512 IFMA or ADX";
  std::mt19937_64 rng(STATES_SEED);
  const auto random = [&] { return Fr::from_u256_reduced({rng(), rng(), rng(), rng()}); };
  const Limbs r = Fr::characteristic();
  const Fr largest = Fr::from_montgomery_form({r[0] - 1, r[1], r[2], r[3]});
  const Fr edges[] = {largest, Fr::from_montgomery_form({r[0] - 2, r[1], r[2], r[3]}),
                      Fr::from_montgomery_form({0, 0, 0, 0}), Fr::from_montgomery_form({1, 0, 0, 0})};
  for (size_t n = 0; n < 200; ++n) {
    PartialBlock<WIDTH> block;
    for (auto& column : block.columns) {
      for (Fr& c : column) c = random();
    }
    std::array<Fr, PARTIAL_BLOCK> ys;
    for (Fr& y : ys) y = n % 2 == 0 ? random() : largest;
    std::array<Fr, ifma::LANES> s;
    for (size_t i = 0; i < s.size(); ++i) s[i] = n % 3 == 2 ? random() : edges[(n + i) % std::size(edges)];
    ifma::Lanes lanes = ifma::lanes_of_montgomery_forms(s);
    std::array<Fr, ifma::LANES> updated;
    ifma::update_columns(ifma::block_columns(std::span(&block, 1))[0], ys, lanes, updated);
    const ifma::Lanes updated_lanes = ifma::lanes_of_montgomery_forms(updated);
    EXPECT_EQ(updated_lanes.limb, lanes.limb) << "case " << n;
    for (size_t i = 0; i < s.size(); ++i) {
      EXPECT_EQ(updated[i], Fr::dot_add<PARTIAL_BLOCK>(block.columns[i], ys, s[i]))
          << "case " << n << " lane " << i;
    }
  }
}
#endif

TEST(PoseidonSponge, UpdateExactAddsIntoRateAndChains) {
  const std::array<Fr, RATE> block = {fr(1), fr(2), fr(3), fr(4), fr(5), fr(6), fr(7), fr(8)};
  Poseidon chained = poseidon_hasher();
  const Fr first = chained.update_exact(block);
  const Fr second = chained.update_exact(block);

  State expected{};
  expected[0] = Fr::from_u128(0, 1);  // the initial state
  for (size_t i = 0; i < RATE; ++i) expected[i + 1] += block[i];
  permute_reference(poseidon_hasher().spec().parameters(), expected);
  EXPECT_EQ(first, expected[1]);
  for (size_t i = 0; i < RATE; ++i) expected[i + 1] += block[i];
  permute_reference(poseidon_hasher().spec().parameters(), expected);
  EXPECT_EQ(second, expected[1]);

  Poseidon fresh = poseidon_hasher();
  EXPECT_EQ(fresh.update_exact(block), first);
  EXPECT_NE(second, first);
}

}  // namespace
}  // namespace tarvo::poseidon

namespace tarvo::poseidon {
namespace {

TEST(PoseidonEmbeddedTables, WrongTableLengthsAreFatal) {
  const std::vector<Fr> elements = Spec<3>(8, 57).elements();
  std::vector<Limbs> limbs;
  for (const Fr& value : elements) limbs.push_back(value.into_repr());
  EXPECT_NO_THROW(Spec<3>::from_elements(8, 57, limbs));
  EXPECT_THROW(Spec<3>::from_elements(8, 58, limbs), FatalError);
  limbs.push_back({});
  EXPECT_THROW(Spec<3>::from_elements(8, 57, limbs), FatalError);
}

}  // namespace
}  // namespace tarvo::poseidon
