#include <gtest/gtest.h>

#include "crypto/field/fs.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/numbers/u256.h"

namespace tarvo::sdk {
namespace {

TEST(PrivateKeyFromSeed, KnownAnswers) {
  struct Case {
    const char* seed;
    const char* key;
  };
  const Case cases[] = {
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
       "0x038035fccedd1639813330babae48b024420a4039fad14fd39992b61fa94a7b8"},
      // 16 characters of two UTF-8 bytes each: long enough, since bytes count, not characters
      {"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",
       "0x00531ef6932d41de532c8d173cdfa0ba0afbede99c9d2a1579a755f58e9704b9"},
      {"correct horse battery staple 1234",
       "0x05761f45cd19e17fe729b3466297d7b503eedb51e1b28c3e4be04b0d8bb05090"},
      {"0000000000000000000000000000000000000000000000000000000000000000",
       "0x03fcf98240eae40e929dded3e08925f6d423c0c9058dd27d9e3f6d7d403f5f48"},
  };
  for (const Case& c : cases) {
    const Result<std::string> key = private_key_from_seed(c.seed);
    ASSERT_TRUE(key.ok()) << c.seed;
    EXPECT_EQ(*key, c.key) << c.seed;
  }
}

TEST(PrivateKeyFromSeed, SeedsShorterThan32BytesAreRefused) {
  for (const char* seed : {"", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                           "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9"
                           "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9a"}) {
    const Result<std::string> key = private_key_from_seed(seed);
    ASSERT_FALSE(key.ok()) << seed;
    EXPECT_EQ(key.error().message(), "seed is too short");
  }
}

TEST(PrivateKeyFromSeed, KeysAre66CharactersBelowTheSubgroupOrder) {
  std::string seed(32, 'a');
  for (int i = 0; i < 32; ++i) {
    seed[i % 32] = static_cast<char>('A' + i);
    const std::string key = *private_key_from_seed(seed);
    ASSERT_EQ(key.size(), 66u) << seed;
    EXPECT_EQ(U256::from_hex(key)->to_hex(), key);  // lowercase, zero-padded
    EXPECT_TRUE(Fs::from_repr(U256::from_hex(key)->limbs).ok()) << seed;
    EXPECT_EQ(*private_key_from_seed(seed), key);
  }
}

}  // namespace
}  // namespace tarvo::sdk
