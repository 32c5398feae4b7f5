// Field conversions of keys: the private key text and the hexadecimal forms.
#pragma once

#include <string>
#include <string_view>

#include "crypto/base/result.h"
#include "crypto/eddsa/eddsa.h"
#include "crypto/field/fr.h"
#include "crypto/field/fs.h"
#include "sdk/src/numbers/u256.h"

namespace tarvo {

// The conversion errors that key parsing produces, with their display texts.
struct ConversionError {
  // "Incorrect input size. Actual: {size}, expected: {expected_size}"
  static Error incorrect_input_size(size_t size, size_t expected_size);
  // "Cannot convert into prime field value: " followed by the field's NotInField text.
  static Error prime_field_decoding_error(const Error& not_in_field);
};

struct FeConvert {
  // The canonical value as 64 lowercase hexadecimal digits, most significant first, no prefix.
  static std::string to_hex(const Fs& value);
  static std::string to_hex(const Fr& value);
};

// Every leading "0x" removed, then exactly 64 hexadecimal digits whose value is below l. Errors:
// "Odd number of digits", "Invalid character '{c}' at position {i}", and the ConversionError texts.
Result<eddsa::PrivateKey> private_key_from_string(std::string_view text);

// The canonical integer of a field element.
U256 fr_to_u256(const Fr& value);

}  // namespace tarvo
