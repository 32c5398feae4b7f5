// Fuzzes the private key text (private_key_from_string): a key is exactly 64 hexadecimal digits after
// its "0x" prefixes, below the subgroup order, and its canonical hexadecimal text reads back to it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/invariants.h"
#include "sdk/src/signing/convert.h"

namespace {

using tarvo::fuzz::require;

bool is_hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = tarvo::fuzz::as_text(data, size);
  std::string_view digits = text;
  while (digits.starts_with("0x")) digits.remove_prefix(2);
  const auto key = tarvo::private_key_from_string(text);
  if (!key) {
    const std::string& message = key.error().message();
    tarvo::fuzz::check_error_text(message, tarvo::fuzz::is_utf8(text));
    const bool known = message == "Odd number of digits" || message.starts_with("Invalid character '") ||
                       message.starts_with("Incorrect input size. Actual: ") ||
                       message.starts_with("Cannot convert into prime field value: ");
    require(known, "unexpected private key error", message);
    return 0;
  }
  require(digits.size() == 64, "a key text of other than 64 digits is accepted");
  for (char c : digits) require(is_hex_digit(c), "a key text with a non-hexadecimal digit is accepted");
  const std::string hex = tarvo::FeConvert::to_hex(key->sk);
  std::string lower(digits);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
  require(hex == lower, "the key's hexadecimal text is not the digits read", hex);
  const auto again = tarvo::private_key_from_string("0x" + hex);
  require(again && again->sk == key->sk, "the key's hexadecimal text does not read back to the key");
  return 0;
}
