// Number text encodings of the request records: how a JSON string, already unescaped,
// becomes a member value. Each encoding is a tag type with `Value` and `parse`; `parse` returns the value
// or an Error whose text is the encoding's prefix followed by the reason (the JSON reader adds the
// position).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/numbers/u256.h"
#include "sdk/src/signing/types.h"

namespace tarvo {

// Decimal digits with an optional leading '+', leading zeros allowed. Prefix "u64 from string error: ".
struct U64AsString {
  using Value = uint64_t;
  static Result<uint64_t> parse(std::string_view text);
};

// As U64AsString for a 32-bit value; the error prefix is the same "u64 from string error: ".
struct U32AsString {
  using Value = uint32_t;
  static Result<uint32_t> parse(std::string_view text);
};

// As U64AsString for a 128-bit value. Prefix "decode u128 string error: ".
struct U128AsString {
  using Value = unsigned __int128;
  static Result<unsigned __int128> parse(std::string_view text);
};

// Every leading "0x" removed (not "0X"), then base 16 with an optional '+' or '-', range -2^127 .. 2^127-1.
// Prefix "decode hex string error: ".
struct I128AsHexString {
  using Value = __int128;
  static Result<__int128> parse(std::string_view text);
};

// The shared hex rule of U256::from_hex. Prefix "u256 from string error: ".
struct U256AsHexString {
  using Value = U256;
  static Result<U256> parse(std::string_view text);
};

// The shared hex rule of U256::from_hex, with U256's own error texts unprefixed.
struct PackedPublicKeyText {
  using Value = PackedPublicKey;
  static Result<PackedPublicKey> parse(std::string_view text);
};

// Why an integer text was refused; each reason has a fixed text.
enum class IntTextError { kEmpty, kInvalidDigit, kPosOverflow, kNegOverflow };
const char* int_text_error_reason(IntTextError error);

}  // namespace tarvo
