#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

#include "sdk/src/hashing/hash.h"
#include "sdk/src/hashing/poseidon.h"

namespace tarvo {
namespace {

using Words = std::vector<uint64_t>;
using Block = std::array<Fr, poseidon::RATE>;

constexpr Limbs R = {0x43e1f593f0000001, 0x2833e84879b97091, 0xb85045b68181585d, 0x30644e72e131a029};
constexpr uint64_t MAX = ~uint64_t{0};

U256 hex(const char* text) { return U256::from_hex(text).value(); }

U256 hash_words(const Words& words) {
  PoseidonHasher hasher;
  for (uint64_t w : words) hasher.update(w);
  return U256{hasher.finalize()};
}

Words iota_words(size_t n) {
  Words words(n);
  std::iota(words.begin(), words.end(), 0);
  return words;
}

// The stream as the sponge sees it: whole elements of four words, one padding element 1, zeros up to
// a full block, each block absorbed in turn.
U256 hash_of_elements(const Words& words) {
  std::vector<Fr> elements;
  for (size_t i = 0; i < words.size(); i += 4) {
    Limbs limbs{};
    for (size_t j = 0; j < 4 && i + j < words.size(); ++j) limbs[j] = words[i + j];
    elements.push_back(Fr::from_u256_reduced(limbs));
  }
  elements.push_back(Fr::one());
  while (elements.size() % poseidon::RATE != 0) elements.push_back(Fr::zero());
  Poseidon sponge = poseidon_hasher();
  Fr out;
  for (size_t i = 0; i < elements.size(); i += poseidon::RATE) {
    out = sponge.update_exact(std::span<const Fr, poseidon::RATE>(&elements[i], poseidon::RATE));
  }
  return U256{out.into_repr()};
}

TEST(PoseidonHasher, KnownWordStreamHashes) {
  const struct {
    const char* name;
    Words words;
    const char* hash;
  } cases[] = {
      {"empty", {}, "0x11f77bc74c48929522164f7dc7f6d4c79bc009015ac667067a3220563a4fa2bd"},
      {"one", {1}, "0x25a772a3da5e4f74f8cc2eecfb7686d5cd4c626efe52a29862516e70e98a2df3"},
      {"0..27", iota_words(28), "0x257c8b13452af51c600963b26c29210824db0e3a01edc18c0aa52f1c421046a2"},
      {"0..28", iota_words(29), "0x2b9e45f96a27c1718fe49a67581a6241c39e8bcc4108c49dec89ee2484ac0015"},
      {"0..30", iota_words(31), "0x01e37fb8ca0efd21d44a8126416c574bb49992af3b57d5b2bac0aefa24def0a8"},
      {"0..31", iota_words(32), "0x1f4659ad33f2f082c628d364f3f7466ed9e9f4dd7b3f60452aa6be029b6c0e6a"},
      {"0..32", iota_words(33), "0x11753df75ab6e78122c6bac38d0c373e27010128dd432902ff772a61e74dce12"},
      {"max words", Words(8, MAX), "0x1004a43d169978d5ba1852d32adc2a2bae86744aa9de21c03a63d59cfa0c5183"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hash_words(c.words), hex(c.hash)) << c.name;
  }
}

TEST(PoseidonHasher, EmptyStreamIsThePaddingElementAlone) {
  Poseidon sponge = poseidon_hasher();
  const Block padding = {Fr::one()};
  EXPECT_EQ(hash_words({}), U256{sponge.update_exact(padding).into_repr()});
  EXPECT_NE(hash_words({1}), hash_words({}));
}

TEST(PoseidonHasher, PaddingOfEveryLengthUpToThreeBlocks) {
  constexpr uint64_t seed = 4711;
  std::mt19937_64 rng(seed);
  for (size_t n = 0; n <= 3 * PoseidonHasher::BLOCK_WORDS + 1; ++n) {
    Words words(n);
    for (uint64_t& w : words) w = rng();
    EXPECT_EQ(hash_words(words), hash_of_elements(words)) << n << " words, seed " << seed;
  }
}

TEST(PoseidonHasher, WordsAtOrAboveModulusReduce) {
  const Words r_plus_5 = {R[0] + 5, R[1], R[2], R[3]};
  EXPECT_EQ(hash_words(r_plus_5), hash_words({5, 0, 0, 0}));
  EXPECT_EQ(hash_words(Words(4, MAX)), hash_of_elements(Words(4, MAX)));
}

TEST(PoseidonHasher, RecordsUpdatedWordsWithoutPadding) {
  Words recorded;
  PoseidonHasher hasher(&recorded);
  const Words words = iota_words(29);
  for (uint64_t w : words) hasher.update(w);
  EXPECT_EQ(U256{hasher.finalize()}, hash_words(words));
  EXPECT_EQ(recorded, words);
}

TEST(PoseidonContext, FinalizeHandsOutOneOutputWordByWordAndChains) {
  const Block block = {Fr::from_u128(1, 0), Fr::from_u128(2, 0)};
  PoseidonContext context;
  context.poseidon_new(1);
  const Words words = {1, 0, 0, 0, 2, 0, 0, 0};
  const auto push_block = [&] {
    for (size_t i = 0; i < PoseidonHasher::BLOCK_WORDS; ++i) context.push(i < words.size() ? words[i] : 0);
  };
  push_block();
  Poseidon sponge = poseidon_hasher();
  for (int round = 0; round < 2; ++round) {
    const Limbs expected = sponge.update_exact(block).into_repr();
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(context.poseidon_finalize(), expected[k]) << round << "/" << k;
  }
  context.poseidon_new(0);
  push_block();
  const Limbs chained = sponge.update_exact(block).into_repr();
  EXPECT_EQ(context.poseidon_finalize(), chained[0]);
}

TEST(PoseidonContext, MisuseIsFatal) {
  PoseidonContext no_sponge;
  for (size_t i = 0; i < PoseidonHasher::BLOCK_WORDS; ++i) no_sponge.push(0);
  EXPECT_THROW(no_sponge.poseidon_finalize(), FatalError);

  PoseidonContext short_buffer;
  short_buffer.poseidon_new(1);
  for (int i = 0; i < 28; ++i) short_buffer.push(0);
  EXPECT_THROW(short_buffer.poseidon_finalize(), FatalError);
  for (int i = 0; i < 7; ++i) short_buffer.push(0);
  EXPECT_THROW(short_buffer.push(0), FatalError);  // completes a ninth element
}

TEST(Hash2, KnownAnswers) {
  const struct {
    const char *a, *b, *hash;
  } cases[] = {
      {"0x1", "0x2", "0x1ae3633579d8817e55590943ae6e61019d09b0728a1736c0e7bb873bdbcd5619"},
      {"0x8000000000000000000000000000000000000000000000000000000000000001", "0x2",
       "0x1ae3633579d8817e55590943ae6e61019d09b0728a1736c0e7bb873bdbcd5619"},
      {"0x0", "0x0", "0x1021e471bc40834207b0f3373a566c4f1ecca930d20422e88626692f8c504b8a"},
      {"0x30644e72e131a029b85045b68181585d2833e84879b9709143e1f593f0000001", "0x1",
       "0x281eb67770157fd11507eb0133da8507f9d1a97891c9a81f1ddef7f14173fcce"},
      {"0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
       "0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
       "0x142cc97a579ade77401dc04ebc2e2c0659549f25f427bf0e6c7780e768d5f6ed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hash2(hex(c.a), hex(c.b)), hex(c.hash)) << c.a << ", " << c.b;
  }
}

TEST(Hash2, IgnoresTopBitOfEachInput) {
  constexpr uint64_t seed = 99;
  std::mt19937_64 rng(seed);
  constexpr uint64_t TOP = uint64_t{1} << 63;
  for (int i = 0; i < 10; ++i) {
    U256 a{{rng(), rng(), rng(), rng() & ~TOP}};
    U256 b{{rng(), rng(), rng(), rng() & ~TOP}};
    const U256 expected = hash_of_elements(
        {a.limbs[0], a.limbs[1], a.limbs[2], a.limbs[3], b.limbs[0], b.limbs[1], b.limbs[2], b.limbs[3]});
    EXPECT_EQ(hash2(a, b), expected) << "seed " << seed << " iteration " << i;
    a.limbs[3] |= TOP;
    b.limbs[3] |= TOP;
    EXPECT_EQ(hash2(a, b), expected) << "seed " << seed << " iteration " << i;
  }
}

}  // namespace
}  // namespace tarvo
