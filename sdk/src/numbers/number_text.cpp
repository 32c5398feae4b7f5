#include "sdk/src/numbers/number_text.h"

#include <limits>
#include <string>
#include <type_traits>
#include <variant>

#include "crypto/base/bytes.h"

namespace tarvo {

namespace {

// Radix 10 or 16.
int digit_value(char c, unsigned radix) {
  const int32_t d = hex_digit_value(c);
  return static_cast<unsigned>(d) < radix ? d : -1;
}

// Integer text in a given radix for the integer type T: an optional sign ('-' only for signed types), then at
// least one digit; characters are examined left to right and the first failure (bad digit or overflow)
// decides.
template <typename T>
std::variant<T, IntTextError> parse_int(std::string_view text, unsigned radix) {
  if (text.empty()) return IntTextError::kEmpty;
  bool positive = true;
  if ((text[0] == '+' || text[0] == '-') && text.size() == 1) return IntTextError::kInvalidDigit;
  if (text[0] == '+') {
    text.remove_prefix(1);
  } else if (text[0] == '-' && std::is_signed_v<T>) {
    positive = false;
    text.remove_prefix(1);
  }
  T result = 0;
  for (char c : text) {
    T scaled;
    const bool mul_overflow = __builtin_mul_overflow(result, static_cast<T>(radix), &scaled);
    const int d = digit_value(c, radix);
    if (d < 0) return IntTextError::kInvalidDigit;
    const IntTextError overflow = positive ? IntTextError::kPosOverflow : IntTextError::kNegOverflow;
    if (mul_overflow) return overflow;
    const bool add_overflow = positive ? __builtin_add_overflow(scaled, static_cast<T>(d), &result)
                                       : __builtin_sub_overflow(scaled, static_cast<T>(d), &result);
    if (add_overflow) return overflow;
  }
  return result;
}

template <typename T>
Result<T> parse_prefixed(std::string_view text, unsigned radix, const char* prefix) {
  auto parsed = parse_int<T>(text, radix);
  if (auto* error = std::get_if<IntTextError>(&parsed)) {
    return Error(std::string(prefix) + int_text_error_reason(*error));
  }
  return std::get<T>(parsed);
}

}  // namespace

const char* int_text_error_reason(IntTextError error) {
  switch (error) {
    case IntTextError::kEmpty:
      return "cannot parse integer from empty string";
    case IntTextError::kInvalidDigit:
      return "invalid digit found in string";
    case IntTextError::kPosOverflow:
      return "number too large to fit in target type";
    case IntTextError::kNegOverflow:
      return "number too small to fit in target type";
  }
  fatal("unknown integer text error");
}

Result<uint64_t> U64AsString::parse(std::string_view text) {
  return parse_prefixed<uint64_t>(text, 10, "u64 from string error: ");
}

Result<uint32_t> U32AsString::parse(std::string_view text) {
  return parse_prefixed<uint32_t>(text, 10, "u64 from string error: ");
}

Result<unsigned __int128> U128AsString::parse(std::string_view text) {
  return parse_prefixed<unsigned __int128>(text, 10, "decode u128 string error: ");
}

Result<__int128> I128AsHexString::parse(std::string_view text) {
  while (text.starts_with("0x")) text.remove_prefix(2);
  return parse_prefixed<__int128>(text, 16, "decode hex string error: ");
}

Result<U256> U256AsHexString::parse(std::string_view text) {
  auto value = U256::from_hex(text);
  if (!value) return value.error().wrapped("u256 from string error");
  return value;
}

Result<PackedPublicKey> PackedPublicKeyText::parse(std::string_view text) { return U256::from_hex(text); }

}  // namespace tarvo
