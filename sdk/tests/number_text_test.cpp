// Number text encodings: accepted forms and the exact error texts.
#include "sdk/src/numbers/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/tests/int128_text.h"

namespace tarvo {
namespace {

// One case: the text and either the expected value's decimal text or the expected error text.
struct Case {
  std::string text;
  std::string value;  // decimal (or U256 hex text) of the expected value, empty when an error is expected
  std::string error;  // exact error text, empty when a value is expected
};

template <typename Encoding, typename Show>
void check_table(const std::vector<Case>& cases, Show show) {
  for (const Case& c : cases) {
    SCOPED_TRACE("text: \"" + c.text + "\"");
    auto result = Encoding::parse(c.text);
    if (c.error.empty()) {
      ASSERT_TRUE(result.ok()) << result.error().message();
      EXPECT_EQ(show(result.value()), c.value);
    } else {
      ASSERT_FALSE(result.ok()) << "parsed as " << show(result.value());
      EXPECT_EQ(result.error().message(), c.error);
    }
  }
}

std::string show_u64(uint64_t v) { return std::to_string(v); }
std::string show_u128(unsigned __int128 v) { return testing::u128_to_string(v); }
std::string show_i128(__int128 v) { return testing::i128_to_string(v); }
std::string show_u256(const U256& v) { return v.to_hex(); }

constexpr const char* kU64 = "u64 from string error: ";
constexpr const char* kU128 = "decode u128 string error: ";
constexpr const char* kI128 = "decode hex string error: ";
constexpr const char* kU256 = "u256 from string error: ";
const std::string kEmpty = "cannot parse integer from empty string";
const std::string kDigit = "invalid digit found in string";
const std::string kLarge = "number too large to fit in target type";
const std::string kSmall = "number too small to fit in target type";

TEST(U64AsString, AcceptsDecimalWithOptionalPlusAndLeadingZeros) {
  check_table<U64AsString>(
      {
          {"0", "0", ""},
          {"5", "5", ""},
          {"+17", "17", ""},
          {"0000000000000000000000000000042", "42", ""},
          {"+0", "0", ""},
          {"18446744073709551615", "18446744073709551615", ""},
          {"000018446744073709551615", "18446744073709551615", ""},
      },
      show_u64);
}

TEST(U64AsString, RefusesWithRustReasonsUnderU64Prefix) {
  check_table<U64AsString>(
      {
          {"", "", kU64 + kEmpty},
          {"-1", "", kU64 + kDigit},
          {"-0", "", kU64 + kDigit},
          {"+", "", kU64 + kDigit},
          {"-", "", kU64 + kDigit},
          {"++1", "", kU64 + kDigit},
          {" 1", "", kU64 + kDigit},
          {"1 ", "", kU64 + kDigit},
          {"0x10", "", kU64 + kDigit},
          {"1_000", "", kU64 + kDigit},
          {"1.0", "", kU64 + kDigit},
          {"a", "", kU64 + kDigit},
          {"\xc3\xa9", "", kU64 + kDigit},
          {"18446744073709551616", "", kU64 + kLarge},
          {"99999999999999999999999999", "", kU64 + kLarge},
          // the first failure in reading order decides
          {"99999999999999999999x", "", kU64 + kLarge},
          {"1x99999999999999999999", "", kU64 + kDigit},
      },
      show_u64);
}

TEST(U32AsString, IsThirtyTwoBitsWideWithTheU64Prefix) {
  check_table<U32AsString>(
      {
          {"4294967295", "4294967295", ""},
          {"+0004294967295", "4294967295", ""},
          {"4294967296", "", kU64 + kLarge},
          {"", "", kU64 + kEmpty},
          {"-5", "", kU64 + kDigit},
      },
      show_u64);
}

TEST(U128AsString, AcceptsTheFullWidth) {
  check_table<U128AsString>(
      {
          {"340282366920938463463374607431768211455", "340282366920938463463374607431768211455", ""},
          {"18446744073709551616", "18446744073709551616", ""},
          {"+1", "1", ""},
          {"340282366920938463463374607431768211456", "", std::string(kU128) + kLarge},
          {"", "", std::string(kU128) + kEmpty},
          {"-1", "", std::string(kU128) + kDigit},
          {"12a", "", std::string(kU128) + kDigit},
      },
      show_u128);
}

TEST(I128AsHexString, RemovesEveryLeadingLowercasePrefix) {
  check_table<I128AsHexString>(
      {
          {"1f", "31", ""},
          {"0x1f", "31", ""},
          {"0x0x1f", "31", ""},
          {"0x0x0x1F", "31", ""},
          {"0x-5", "-5", ""},
          {"-5", "-5", ""},
          {"+a", "10", ""},
          {"0x+a", "10", ""},
          {"0", "0", ""},
          {"00000000000000000000000000000000000000000001", "1", ""},
          {"7fffffffffffffffffffffffffffffff", "170141183460469231731687303715884105727", ""},
          {"-80000000000000000000000000000000", "-170141183460469231731687303715884105728", ""},
          {"0x00", "0", ""},
      },
      show_i128);
}

TEST(I128AsHexString, RefusesWithTheHexPrefix) {
  check_table<I128AsHexString>(
      {
          {"", "", kI128 + kEmpty},
          {"0x", "", kI128 + kEmpty},
          {"0x0x", "", kI128 + kEmpty},
          {"-0x5", "", kI128 + kDigit},
          {"0X5", "", kI128 + kDigit},
          {"0x0X5", "", kI128 + kDigit},
          {"-", "", kI128 + kDigit},
          {"0x+", "", kI128 + kDigit},
          {"g", "", kI128 + kDigit},
          {"--1", "", kI128 + kDigit},
          {"80000000000000000000000000000000", "", kI128 + kLarge},
          {"-80000000000000000000000000000001", "", kI128 + kSmall},
          {"100000000000000000000000000000000000", "", kI128 + kLarge},
          {"-100000000000000000000000000000000000", "", kI128 + kSmall},
      },
      show_i128);
}

TEST(U256AsHexString, FollowsTheSharedHexRule) {
  const std::string zero = U256{}.to_hex();
  check_table<U256AsHexString>(
      {
          {"", zero, ""},
          {"0x", zero, ""},
          {"0xabc", U256::from_u64(0xabc).to_hex(), ""},
          {"0xABC", U256::from_u64(0xabc).to_hex(), ""},
          {"abc", U256::from_u64(0xabc).to_hex(), ""},
          {"0x" + std::string(64, 'f'), "0x" + std::string(64, 'f'), ""},
          {"0x" + std::string(65, '1'), "", kU256 + std::string("Invalid string length")},
          {std::string(65, '1'), "", kU256 + std::string("Invalid string length")},
          {"0x0x1f", "", kU256 + std::string("Invalid character 'x' at position 1")},
          {"0xabz", "", kU256 + std::string("Invalid character 'z' at position 3")},
          {"0xabzz", "", kU256 + std::string("Invalid character 'z' at position 2")},
          {"0X12", "", kU256 + std::string("Invalid character 'X' at position 1")},
          {"0x\xc3\xa9", "", kU256 + std::string("Invalid character '\xc3\xa9' at position 0")},
          {"1\xe2\x82\xac", "", kU256 + std::string("Invalid character '\xe2\x82\xac' at position 1")},
          {"-1", "", kU256 + std::string("Invalid character '-' at position 0")},
      },
      show_u256);
}

TEST(PackedPublicKeyText, UsesTheHexRuleWithoutPrefix) {
  check_table<PackedPublicKeyText>(
      {
          {"0x1", U256::from_u64(1).to_hex(), ""},
          {"", U256{}.to_hex(), ""},
          {"0xzz", "", "Invalid character 'z' at position 0"},
          {"0x" + std::string(66, '0'), "", "Invalid string length"},
          {"0x0x1", "", "Invalid character 'x' at position 2"},
      },
      show_u256);
}

}  // namespace
}  // namespace tarvo
