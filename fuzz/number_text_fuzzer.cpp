// Fuzzes the number text encodings of the request records (number_text.h): every encoding reads the same
// text, and the encodings are held to each other and to their own decimal or hexadecimal output.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "fuzz/invariants.h"
#include "sdk/src/numbers/number_text.h"
#include "sdk/tests/int128_text.h"

namespace {

using tarvo::fuzz::check_error_text;
using tarvo::fuzz::require;

// Signed hexadecimal text of a 128-bit value, as I128AsHexString reads it.
std::string signed_hex(__int128 value) {
  unsigned __int128 magnitude =
      value < 0 ? -static_cast<unsigned __int128>(value) : static_cast<unsigned __int128>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdef"[static_cast<unsigned>(magnitude & 15)]);
    magnitude >>= 4;
  } while (magnitude != 0);
  return (value < 0 ? "-" : "") + digits;
}

template <class Encoding>
tarvo::Result<typename Encoding::Value> read(std::string_view text, std::string_view prefix, bool utf8) {
  tarvo::Result<typename Encoding::Value> value = Encoding::parse(text);
  if (!value) {
    const std::string& message = value.error().message();
    check_error_text(message, utf8);
    require(message.starts_with(prefix), "an encoding's error lacks its prefix", message);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = tarvo::fuzz::as_text(data, size);
  const bool utf8 = tarvo::fuzz::is_utf8(text);
  const auto u64 = read<tarvo::U64AsString>(text, "u64 from string error: ", utf8);
  const auto u32 = read<tarvo::U32AsString>(text, "u64 from string error: ", utf8);
  const auto u128 = read<tarvo::U128AsString>(text, "decode u128 string error: ", utf8);
  const auto i128 = read<tarvo::I128AsHexString>(text, "decode hex string error: ", utf8);
  const auto u256 = read<tarvo::U256AsHexString>(text, "u256 from string error: ", utf8);
  const auto packed = read<tarvo::PackedPublicKeyText>(text, "", utf8);

  if (u64) {
    require(tarvo::U64AsString::parse(std::to_string(*u64)).value() == *u64,
            "u64 decimal does not round-trip");
    require(u128 && *u128 == *u64, "a u64 text reads differently as u128");
    require(u32.ok() == (*u64 <= std::numeric_limits<uint32_t>::max()), "u32 and u64 disagree on a text");
  }
  if (u32) require(u64 && *u64 == *u32, "a u32 text reads differently as u64");
  if (u128) {
    require(tarvo::U128AsString::parse(tarvo::testing::u128_to_string(*u128)).value() == *u128,
            "u128 decimal does not round-trip");
    require(u64.ok() == (*u128 <= std::numeric_limits<uint64_t>::max()), "u64 and u128 disagree on a text");
  }
  if (i128) {
    const std::string hex = signed_hex(*i128);
    require(tarvo::I128AsHexString::parse(hex).value() == *i128, "i128 hexadecimal does not round-trip", hex);
    require(tarvo::I128AsHexString::parse("0x0x" + hex).value() == *i128, "0x prefixes change an i128 value");
  }
  const auto plain = tarvo::U256::from_hex(text);
  require(u256.ok() == plain.ok() && packed.ok() == plain.ok(), "the 256-bit encodings disagree on a text");
  if (plain) {
    require(*u256 == *plain && *packed == *plain, "the 256-bit encodings read different values");
  } else {
    require(u256.error().message() == "u256 from string error: " + plain.error().message(),
            "U256AsHexString's error is not the prefixed hex rule error");
    require(packed.error().message() == plain.error().message(),
            "a packed key's error is not the hex rule's");
  }
  return 0;
}
