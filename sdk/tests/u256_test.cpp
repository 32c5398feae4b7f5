#include "sdk/src/numbers/u256.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct HexCase {
  const char* text;
  const char* expected;  // "0x" + 64 digits, or the error message
};

TEST(U256HexText, AcceptedForms) {
  const HexCase cases[] = {
      {"", "0x0000000000000000000000000000000000000000000000000000000000000000"},
      {"0x", "0x0000000000000000000000000000000000000000000000000000000000000000"},
      {"0xABC", "0x0000000000000000000000000000000000000000000000000000000000000abc"},
      {"abc", "0x0000000000000000000000000000000000000000000000000000000000000abc"},
      {"0x0123456789abcdefABCDEF0123456789abcdef0123456789abcdef0123456789",
       "0x0123456789abcdefabcdef0123456789abcdef0123456789abcdef0123456789"},
      {"8000000000000000000000000000000000000000000000000000000000000001",
       "0x8000000000000000000000000000000000000000000000000000000000000001"},
  };
  for (const auto& c : cases) {
    const auto parsed = U256::from_hex(c.text);
    ASSERT_TRUE(parsed.ok()) << c.text << ": " << parsed.error().message();
    EXPECT_EQ(parsed->to_hex(), c.expected) << c.text;
  }
}

TEST(U256HexText, RefusedForms) {
  const HexCase cases[] = {
      {"0x11111111111111111111111111111111111111111111111111111111111111111", "Invalid string length"},
      {"0x0x1f", "Invalid character 'x' at position 1"},
      {"0xabz", "Invalid character 'z' at position 3"},  // odd count: positions count the padding 0
      {"0xabzz", "Invalid character 'z' at position 2"},
      {"0Xab", "Invalid character 'X' at position 1"},              // only a lowercase prefix is removed
      {"a\xc3\xa9", "Invalid character '\xc3\xa9' at position 2"},  // the whole UTF-8 character, odd count
      {"12 ", "Invalid character ' ' at position 3"},
  };
  for (const auto& c : cases) {
    const auto parsed = U256::from_hex(c.text);
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_EQ(parsed.error().message(), c.expected) << c.text;
  }
}

TEST(U256HexText, PrefixTrimmingRemovesLowercaseRunsBeforeUppercase) {
  EXPECT_EQ(trim_hex_prefixes("0x0X12"), "12");
  EXPECT_EQ(trim_hex_prefixes("0X0x12"), "0x12");
  EXPECT_EQ(trim_hex_prefixes("0x0x0X0Xab"), "ab");
  EXPECT_EQ(trim_hex_prefixes("ab"), "ab");
}

TEST(U256Arithmetic, ShiftsCarryAcrossLimbsAndDropPastTheTop) {
  const U256 one = U256::from_u64(1);
  EXPECT_EQ(one.shl(64), (U256{{0, 1, 0, 0}}));
  EXPECT_EQ(U256::from_u64(3).shl(63), (U256{{1ull << 63, 1, 0, 0}}));
  EXPECT_EQ(one.shl(255), (U256{{0, 0, 0, 1ull << 63}}));
  EXPECT_EQ(one.shl(256), U256{});
  EXPECT_EQ(U256::from_u64(6).shl(254), (U256{{0, 0, 0, 1ull << 63}}));
}

TEST(U256Arithmetic, AdditionCarries) {
  const U256 max64 = U256::from_u64(~0ull);
  EXPECT_EQ(max64 + U256::from_u64(1), (U256{{0, 1, 0, 0}}));
  const U256 all = U256{{~0ull, ~0ull, ~0ull, ~0ull}};
  EXPECT_EQ(all + U256::from_u64(1), U256{});
}

TEST(U256Conversions, SignedAndByteForms) {
  EXPECT_EQ(U256::from_i128(-1).error().message(), "Unsigned integer can't be created from negative value");
  EXPECT_EQ(*U256::from_i128(5), U256::from_u64(5));
  const U256 v =
      U256::from_u128((static_cast<unsigned __int128>(0x0102030405060708) << 64) | 0x090a0b0c0d0e0f10);
  const auto le = v.to_le_bytes();
  EXPECT_EQ(le[0], 0x10);
  EXPECT_EQ(le[15], 0x01);
  EXPECT_EQ(U256::from_le_bytes(le), v);
  EXPECT_EQ(U256::from_be_bytes(v.to_be_bytes()), v);
}

}  // namespace
}  // namespace tarvo
