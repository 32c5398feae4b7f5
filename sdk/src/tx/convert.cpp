#include "sdk/src/tx/convert.h"

#include <array>
#include <optional>

#include "crypto/base/bytes.h"
#include "crypto/base/secret.h"
#include "crypto/base/wipe.h"

namespace tarvo {

namespace {

// Wipes the decoded key bytes whichever way the parse ends.
struct WipedBytes {
  std::array<uint8_t, 32> bytes{};
  size_t size = 0;
  ~WipedBytes() { wipe(bytes.data(), bytes.size()); }
};

// The common case of a well-formed key text, decoded without any branch or index that depends on its
// digits: "0x" prefixes in front of exactly 64 digits, whose value is below l. No value when the text is
// anything else; the general parser then reports why.
std::optional<Fs> well_formed_key(std::string_view text) {
  while (text.size() > 64 && text.starts_with("0x")) text.remove_prefix(2);  // the digits are not read
  if (text.size() != 64) return std::nullopt;
  WipedBytes decoded;
  int32_t bad = 0;
  for (size_t i = 0; i < 32; ++i) {
    const int32_t high = hex_digit_value(text[2 * i]);
    const int32_t low = hex_digit_value(text[2 * i + 1]);
    bad |= high | low;
    decoded.bytes[i] = static_cast<uint8_t>((high << 4) | (low & 15));
  }
  bool valid = (bad & 0x100) == 0;
  declassify(valid);  // a malformed key is reported anyway
  if (!valid) return std::nullopt;
  Limbs repr = limbs_from_be_bytes(decoded.bytes);
  const bool in_field = below_l_declassified(repr);
  const Fs value = Fs::from_u256_reduced(repr);
  wipe(repr.data(), sizeof repr);
  if (!in_field) return std::nullopt;
  return value;
}

}  // namespace

Error ConversionError::incorrect_input_size(size_t size, size_t expected_size) {
  return Error("Incorrect input size. Actual: " + std::to_string(size) +
               ", expected: " + std::to_string(expected_size));
}

Error ConversionError::prime_field_decoding_error(const Error& not_in_field) {
  return not_in_field.wrapped("Cannot convert into prime field value");
}

std::string FeConvert::to_hex(const Fs& value) { return hex_encode(value.to_be_bytes()); }
std::string FeConvert::to_hex(const Fr& value) { return hex_encode(value.to_be_bytes()); }

Result<eddsa::PrivateKey> private_key_from_string(std::string_view text) {
  if (std::optional<Fs> key = well_formed_key(text)) {
    eddsa::PrivateKey private_key{*key};
    wipe(&*key, sizeof *key);
    return private_key;
  }
  while (text.starts_with("0x")) text.remove_prefix(2);
  if (text.size() % 2 != 0) return Error("Odd number of digits");
  // Decode into a fixed buffer; only the byte count of a longer text matters for its error.
  WipedBytes decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    const int32_t digit = hex_digit_value(text[i]);
    if (digit > 15) return invalid_hex_character(text, i, i);
    if (i / 2 < decoded.bytes.size()) {
      decoded.bytes[i / 2] = static_cast<uint8_t>((decoded.bytes[i / 2] << 4) | digit);
    }
  }
  decoded.size = text.size() / 2;
  if (decoded.size != 32) return ConversionError::incorrect_input_size(decoded.size, 32);
  // 64 digits whose value is below l took the path above: these are not, and the error says so.
  Limbs repr = limbs_from_be_bytes(decoded.bytes);
  const Error not_in_field = Fs::from_repr(repr).error();
  wipe(repr.data(), sizeof repr);
  return ConversionError::prime_field_decoding_error(not_in_field);
}

U256 fr_to_u256(const Fr& value) { return U256{value.into_repr()}; }

}  // namespace tarvo
