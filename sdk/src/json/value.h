// A JSON value as the record reader keeps or reports it: its kind and, for scalars, its payload.
// Containers are validated by the reader and reduced to their kind, which is all any caller needs
// (header flattening decodes only scalars; an invalid-type error names only "sequence" or "map").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::json {

struct Value {
  enum class Kind { kNull, kBool, kUnsigned, kSigned, kFloat, kString, kSeq, kMap };

  Kind kind = Kind::kNull;
  bool boolean = false;       // kBool
  uint64_t unsigned_int = 0;  // kUnsigned: a non-negative integer that fits 64 bits
  int64_t signed_int = 0;     // kSigned: a negative integer that fits 64 bits
  double floating = 0;        // kFloat: any other number (fraction, exponent, -0, beyond 64 bits)
  std::string text;           // kString: the unescaped UTF-8 text

  // The description used in "invalid type: {found}, expected ..." of the value met: null,
  // boolean `true`, integer `5`, integer `-5`, floating point `1.5`, string "x", sequence, map.
  std::string describe() const;
};

// "invalid type: {found}, expected {expected}".
std::string invalid_type(const Value& found, std::string_view expected);

// Shortest round-trip decimal form of a finite double in positional notation, always with a decimal
// point (1.0, 0.0000001, 18446744073709552000.0, -0.0), as invalid-type errors print floats.
std::string float_text(double value);

// A string between double quotes with ", \ and non-printable characters escaped (\", \\, \n, \r,
// \t, \0, \u{7f}), as invalid-type errors quote strings.
std::string debug_quoted(std::string_view text);

}  // namespace tarvo::json
