// The lexemes of the reader: strings (escapes, surrogate pairs, UTF-8 validation), literals and numbers.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
// libc++ reads floating point with std::from_chars from version 20 on.
#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 200000
#define TARVO_STRTOD_FOR_DOUBLES 1
#include <locale.h>
#include <stdlib.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif
#endif

#include "crypto/base/bytes.h"
#include "crypto/base/utf8.h"
#include "sdk/src/json/reader.h"

namespace tarvo::json {

namespace {

bool is_digit(uint8_t c) { return c >= '0' && c <= '9'; }

// The double nearest a validated JSON number text; false when it is out of range (beyond the largest
// double, or nearer zero than the smallest one), leaving `out` to the caller. A C++ library without
// std::from_chars for floating point reads it with strtod in the C locale, which rounds the same and
// flags the same ranges (a subnormal result is in range).
bool read_double(std::string_view number, double& out) {
#ifdef TARVO_STRTOD_FOR_DOUBLES
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  const std::string text(number);
  errno = 0;
  const double read = strtod_l(text.c_str(), nullptr, c_locale);
  if (errno == ERANGE && (read == 0 || std::isinf(read))) return false;
  out = read;
  return true;
#else
  return std::from_chars(number.data(), number.data() + number.size(), out).ec !=
         std::errc::result_out_of_range;
#endif
}

void push_utf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xc0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xe0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
  } else {
    out.push_back(static_cast<char>(0xf0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
  }
}

// Whether a JSON number text that std::from_chars found out of range is too large (rather than too
// small, which reads as zero): the sign of the decimal exponent of its first significant digit.
bool number_overflows(std::string_view number) {
  long magnitude = 0;  // position of the first significant digit relative to the decimal point
  bool seen_point = false, seen_significant = false;
  size_t i = number.starts_with('-') ? 1 : 0;
  for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
    if (number[i] == '.') {
      seen_point = true;
    } else if (!seen_significant) {
      if (number[i] != '0') {
        seen_significant = true;
        if (!seen_point) ++magnitude;
      } else if (seen_point) {
        --magnitude;
      }
    } else if (!seen_point) {
      ++magnitude;
    }
  }
  long exponent = 0;
  if (i < number.size()) {
    ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
    for (; i < number.size(); ++i) exponent = std::min(exponent * 10 + (number[i] - '0'), 100000L);
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;  // out of range and zero digits cannot meet
}

}  // namespace

// ------------------------------------------------------------------------------------------ strings

Result<std::string> Reader::parse_str() {
  std::string out;
  for (;;) {
    const size_t run = index_;
    while (index_ < text_.size()) {
      const auto c = static_cast<uint8_t>(text_[index_]);
      if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) break;
      ++index_;
    }
    out.append(text_.substr(run, index_ - run));
    const auto c = peek();
    if (!c) return error(kEofString);
    if (*c == '"') {
      eat();
      return out;
    }
    if (*c == '\\') {
      eat();
      TARVO_TRY(parse_escape(out));
    } else if (*c < 0x20) {
      eat();
      return error(kControlCharacter);
    } else {
      const size_t len = utf8_char_at(text_, index_).length;
      if (len == 0) return peek_error(kInvalidUtf8);
      out.append(text_.substr(index_, len));
      index_ += len;
    }
  }
}

Status Reader::parse_escape(std::string& out) {
  const auto c = next_char();
  if (!c) return error(kEofString);
  switch (*c) {
    case '"':
      out.push_back('"');
      break;
    case '\\':
      out.push_back('\\');
      break;
    case '/':
      out.push_back('/');
      break;
    case 'b':
      out.push_back('\b');
      break;
    case 'f':
      out.push_back('\f');
      break;
    case 'n':
      out.push_back('\n');
      break;
    case 'r':
      out.push_back('\r');
      break;
    case 't':
      out.push_back('\t');
      break;
    case 'u':
      return parse_unicode_escape(out);
    default:
      return error(kInvalidEscape);
  }
  return ok_status();
}

Result<uint16_t> Reader::decode_hex_escape() {
  if (text_.size() - index_ < 4) {
    index_ = text_.size();
    return error(kEofString);
  }
  unsigned value = 0;
  bool valid = true;
  for (int k = 0; k < 4; ++k) {
    const int32_t d = hex_digit_value(text_[index_ + k]);
    valid = valid && d <= 15;
    value = value * 16 + static_cast<unsigned>(d & 15);
  }
  index_ += 4;
  if (!valid) return error(kInvalidEscape);
  return static_cast<uint16_t>(value);
}

// \uXXXX, with UTF-16 surrogates required to come as a leading-trailing pair.
Status Reader::parse_unicode_escape(std::string& out) {
  const uint16_t first = TARVO_TRY(decode_hex_escape());
  if (first >= 0xdc00 && first <= 0xdfff) return error(kLoneSurrogate);
  if (first < 0xd800 || first > 0xdbff) {
    push_utf8(first, out);
    return ok_status();
  }
  for (const uint8_t expected : {uint8_t{'\\'}, uint8_t{'u'}}) {
    const auto c = peek();
    if (!c) return error(kEofString);
    eat();
    if (*c != expected) return error(kUnexpectedEndOfHexEscape);
  }
  const uint16_t second = TARVO_TRY(decode_hex_escape());
  if (second < 0xdc00 || second > 0xdfff) return error(kLoneSurrogate);
  push_utf8(0x10000 + ((uint32_t{first} - 0xd800) << 10) + (uint32_t{second} - 0xdc00), out);
  return ok_status();
}

// ------------------------------------------------------------------------------------------ scalars

Status Reader::parse_ident(std::string_view rest) {
  for (const char expected : rest) {
    const auto c = next_char();
    if (!c) return error(kEofValue);
    if (*c != static_cast<uint8_t>(expected)) return error(kExpectedIdent);
  }
  return ok_status();
}

// The number whose optional '-' has been eaten; `start` is the index of its first character.
Result<Value> Reader::parse_number(bool positive, size_t start) {
  const auto first = next_char();
  if (!first) return error(kEofValue);
  bool beyond_u64 = false;
  uint64_t significand = 0;
  if (*first == '0') {
    const auto c = peek();
    if (c && is_digit(*c)) return peek_error(kInvalidNumber);  // only one leading zero
  } else if (is_digit(*first)) {
    significand = *first - '0';
    while (const auto c = peek()) {
      if (!is_digit(*c)) break;
      eat();
      beyond_u64 = beyond_u64 || __builtin_mul_overflow(significand, 10u, &significand) ||
                   __builtin_add_overflow(significand, static_cast<uint64_t>(*c - '0'), &significand);
    }
  } else {
    return error(kInvalidNumber);
  }
  bool is_float = beyond_u64;
  if (peek() == '.') {
    TARVO_TRY(parse_decimal());
    is_float = true;
  }
  if (peek() == 'e' || peek() == 'E') {
    TARVO_TRY(parse_exponent());
    is_float = true;
  }
  Value value;
  if (!is_float && positive) {
    value.kind = Value::Kind::kUnsigned;
    value.unsigned_int = significand;
    return value;
  }
  if (!is_float && significand != 0 && significand <= (uint64_t{1} << 63)) {
    value.kind = Value::Kind::kSigned;
    value.signed_int = static_cast<int64_t>(0 - significand);
    return value;
  }
  // Fractions, exponents, -0 and integers beyond the 64-bit ranges read as a double.
  const std::string_view number = text_.substr(start, index_ - start);
  value.kind = Value::Kind::kFloat;
  // The text was validated above, so the conversion fails only by being out of range.
  if (!read_double(number, value.floating)) {
    if (number_overflows(number)) return error(kNumberOutOfRange);
    value.floating = positive ? 0.0 : -0.0;
  }
  return value;
}

// The fraction: '.' and at least one digit.
Status Reader::parse_decimal() {
  eat();
  bool any = false;
  while (const auto c = peek()) {
    if (!is_digit(*c)) break;
    eat();
    any = true;
  }
  if (!any) return peek_error(peek() ? kInvalidNumber : kEofValue);
  return ok_status();
}

// The exponent: 'e' or 'E', an optional sign and at least one digit.
Status Reader::parse_exponent() {
  eat();
  if (peek() == '+' || peek() == '-') eat();
  const auto first = next_char();
  if (!first) return error(kEofValue);
  if (!is_digit(*first)) return error(kInvalidNumber);
  while (const auto c = peek()) {
    if (!is_digit(*c)) break;
    eat();
  }
  return ok_status();
}

}  // namespace tarvo::json
