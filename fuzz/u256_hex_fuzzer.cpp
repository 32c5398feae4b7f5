// Fuzzes the shared 256-bit hexadecimal text rule (U256::from_hex) and the prefix trimming of the
// signature and key texts (trim_hex_prefixes), against a digit-by-digit reading written here.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/invariants.h"
#include "sdk/src/numbers/u256.h"

namespace {

using tarvo::fuzz::require;

bool is_hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void check_trim(std::string_view text) {
  const std::string_view trimmed = tarvo::trim_hex_prefixes(text);
  require(text.ends_with(trimmed), "trimming does more than remove a prefix");
  require(!trimmed.starts_with("0X"), "a leading 0X is left");
  const std::string_view removed = text.substr(0, text.size() - trimmed.size());
  const size_t first_upper = removed.find("0X");
  for (size_t i = 0; i < removed.size(); i += 2) {
    require(removed.substr(i, 2) == (i < first_upper ? "0x" : "0X"), "trimming removed more than 0x...0X...");
  }
  require(first_upper != std::string_view::npos || !trimmed.starts_with("0x"), "a leading 0x is left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = tarvo::fuzz::as_text(data, size);
  check_trim(text);
  const std::string_view digits = text.starts_with("0x") ? text.substr(2) : text;
  const size_t bad = [&] {
    for (size_t i = 0; i < digits.size(); ++i) {
      if (!is_hex_digit(digits[i])) return i;
    }
    return digits.size();
  }();
  const tarvo::Result<tarvo::U256> parsed = tarvo::U256::from_hex(text);
  if (!parsed) {
    const std::string& message = parsed.error().message();
    tarvo::fuzz::check_error_text(message, tarvo::fuzz::is_utf8(text));
    if (digits.size() > 64) {
      require(message == "Invalid string length", "a text of more than 64 digits gives another error",
              message);
      return 0;
    }
    require(bad < digits.size(), "a text of hexadecimal digits is refused", message);
    const size_t pad = digits.size() % 2;
    const std::string expected_start = "Invalid character '" + std::string(digits.substr(bad, 1));
    const std::string expected_end = "' at position " + std::to_string(bad + pad);
    require(message.starts_with(expected_start) && message.ends_with(expected_end),
            "the error does not name the first bad character and its position", message);
    return 0;
  }
  require(digits.size() <= 64 && bad == digits.size(), "a malformed text is accepted");
  const std::string hex = parsed->to_hex();
  std::string expected = std::string(64 - digits.size(), '0') + std::string(digits);
  for (char& c : expected) c = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
  require(hex == "0x" + expected, "to_hex is not the digits read, lowercase and zero-padded", hex);
  const tarvo::Result<tarvo::U256> reparsed = tarvo::U256::from_hex(hex);
  require(reparsed && *reparsed == *parsed, "to_hex does not read back to the same value", hex);
  require(tarvo::U256::from_le_bytes(parsed->to_le_bytes()) == *parsed,
          "little-endian bytes do not round-trip");
  require(tarvo::U256::from_be_bytes(parsed->to_be_bytes()) == *parsed, "big-endian bytes do not round-trip");
  return 0;
}
