#include "sdk/src/json/reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace tarvo::json {

namespace {

bool is_digit(uint8_t c) { return c >= '0' && c <= '9'; }

int hex_value(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of the well-formed UTF-8 sequence (RFC 3629: no overlong forms, no surrogates, at most
// U+10FFFF) that starts with the non-ASCII byte text[i]; 0 if it is malformed or cut off.
size_t utf8_sequence_length(std::string_view text, size_t i) {
  const auto at = [&](size_t k) -> int {
    return i + k < text.size() ? static_cast<uint8_t>(text[i + k]) : -1;
  };
  const int b0 = at(0);
  const auto cont = [&](size_t k, int lo = 0x80, int hi = 0xbf) {
    const int b = at(k);
    return b >= lo && b <= hi;
  };
  if (b0 >= 0xc2 && b0 <= 0xdf) return cont(1) ? 2 : 0;
  if (b0 >= 0xe0 && b0 <= 0xef) {
    const int lo = b0 == 0xe0 ? 0xa0 : 0x80;
    const int hi = b0 == 0xed ? 0x9f : 0xbf;
    return cont(1, lo, hi) && cont(2) ? 3 : 0;
  }
  if (b0 >= 0xf0 && b0 <= 0xf4) {
    const int lo = b0 == 0xf0 ? 0x90 : 0x80;
    const int hi = b0 == 0xf4 ? 0x8f : 0xbf;
    return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
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
  return seen_significant && magnitude + exponent > 0;
}

}  // namespace

// ------------------------------------------------------------------------------------------ cursor

std::optional<uint8_t> Reader::peek() const {
  if (index_ >= text_.size()) return std::nullopt;
  return static_cast<uint8_t>(text_[index_]);
}

std::optional<uint8_t> Reader::next_char() {
  auto c = peek();
  if (c) ++index_;
  return c;
}

std::optional<uint8_t> Reader::parse_whitespace() {
  while (auto c = peek()) {
    if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') return c;
    ++index_;
  }
  return std::nullopt;
}

// ------------------------------------------------------------------------------------------ errors

Error Reader::error(std::string text) {
  error_index_ = index_;
  return Error(std::move(text));
}

Error Reader::peek_error(std::string text) {
  error_index_ = std::min(index_ + 1, text_.size());
  return Error(std::move(text));
}

Error Reader::fix_position(Error error) {
  if (!error_index_) error_index_ = index_;
  return error;
}

Error Reader::located(const Error& error) const {
  const size_t at = error_index_.value_or(index_);
  const std::string_view before = text_.substr(0, at);
  const size_t newline = before.rfind('\n');
  const size_t line_start = newline == std::string_view::npos ? 0 : newline + 1;
  const size_t line = 1 + static_cast<size_t>(std::count(before.begin(), before.begin() + line_start, '\n'));
  return Error(error.message() + " at line " + std::to_string(line) + " column " +
                   std::to_string(at - line_start),
               error);
}

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
      const size_t len = utf8_sequence_length(text_, index_);
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
    case '"': out.push_back('"'); break;
    case '\\': out.push_back('\\'); break;
    case '/': out.push_back('/'); break;
    case 'b': out.push_back('\b'); break;
    case 'f': out.push_back('\f'); break;
    case 'n': out.push_back('\n'); break;
    case 'r': out.push_back('\r'); break;
    case 't': out.push_back('\t'); break;
    case 'u': return parse_unicode_escape(out);
    default: return error(kInvalidEscape);
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
    const int d = hex_value(static_cast<uint8_t>(text_[index_ + k]));
    valid = valid && d >= 0;
    value = value * 16 + static_cast<unsigned>(std::max(d, 0));
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
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value.floating);
  if (ec == std::errc::result_out_of_range) {
    if (number_overflows(number)) return error(kNumberOutOfRange);
    value.floating = positive ? 0.0 : -0.0;
  } else if (ec != std::errc() || end != number.data() + number.size()) {
    return error(kInvalidNumber);  // not reached: the text was validated above
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

// ------------------------------------------------------------------------------------------ values

Result<std::string> Reader::read_string(std::string_view expected) {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofValue);
  if (*c != '"') return peek_invalid_type(expected);
  eat();
  return parse_str();
}

Result<bool> Reader::read_bool(std::string_view expected) {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofValue);
  if (*c == 't' || *c == 'f') {
    eat();
    TARVO_TRY(parse_ident(*c == 't' ? "rue" : "alse"));
    return *c == 't';
  }
  return peek_invalid_type(expected);
}

Error Reader::peek_invalid_type(std::string_view expected) {
  Value found;
  const auto c = peek();
  switch (c.value_or(0)) {
    case 'n':
    case 't':
    case 'f': {
      eat();
      auto ident = parse_ident(*c == 'n' ? "ull" : *c == 't' ? "rue" : "alse");
      if (!ident) return ident.error();
      found.kind = *c == 'n' ? Value::Kind::kNull : Value::Kind::kBool;
      found.boolean = *c == 't';
      break;
    }
    case '-':
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9': {
      const size_t start = index_;
      if (*c == '-') eat();
      auto number = parse_number(*c != '-', start);
      if (!number) return number.error();
      found = std::move(number).value();
      break;
    }
    case '"': {
      eat();
      auto text = parse_str();
      if (!text) return text.error();
      found.kind = Value::Kind::kString;
      found.text = std::move(text).value();
      break;
    }
    case '[': found.kind = Value::Kind::kSeq; break;
    case '{': found.kind = Value::Kind::kMap; break;
    default: return peek_error(kExpectedValue);
  }
  return fix_position(Error(invalid_type(found, expected)));
}

Result<Value> Reader::read_any() {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofValue);
  Value value;
  switch (*c) {
    case 'n':
    case 't':
    case 'f':
      eat();
      TARVO_TRY(parse_ident(*c == 'n' ? "ull" : *c == 't' ? "rue" : "alse"));
      value.kind = *c == 'n' ? Value::Kind::kNull : Value::Kind::kBool;
      value.boolean = *c == 't';
      return value;
    case '-':
      eat();
      return parse_number(false, index_ - 1);
    case '"':
      eat();
      value.kind = Value::Kind::kString;
      value.text = TARVO_TRY(parse_str());
      return value;
    case '[': return read_any_seq();
    case '{': return read_any_map();
    default:
      if (is_digit(*c)) return parse_number(true, index_);
      return peek_error(kExpectedValue);
  }
}

Result<Value> Reader::read_any_seq() {
  TARVO_TRY(enter());
  eat();
  bool first = true;
  Status status = ok_status();
  for (;;) {
    auto more = has_next_element(first);
    if (!more || !more.value()) {
      if (!more) status = more.error();
      break;
    }
    auto element = read_any();
    if (!element) {
      status = element.error();
      break;
    }
  }
  leave();
  if (!status) {
    end_seq_after_error();
    return fix_position(status.error());
  }
  TARVO_TRY(end_seq());
  Value value;
  value.kind = Value::Kind::kSeq;
  return value;
}

Result<Value> Reader::read_any_map() {
  TARVO_TRY(enter());
  eat();
  bool first = true;
  Status status = ok_status();
  for (;;) {
    auto more = has_next_key(first);
    if (!more || !more.value()) {
      if (!more) status = more.error();
      break;
    }
    auto key = read_key();
    Status colon = key ? parse_object_colon() : Status(key.error());
    auto entry = colon ? read_any() : Result<Value>(colon.error());
    if (!entry) {
      status = entry.error();
      break;
    }
  }
  leave();
  if (!status) {
    end_map_after_error();
    return fix_position(status.error());
  }
  TARVO_TRY(end_map());
  Value value;
  value.kind = Value::Kind::kMap;
  return value;
}

Status Reader::end() {
  if (parse_whitespace()) return peek_error(kTrailingCharacters);
  return ok_status();
}

// ------------------------------------------------------------------------------------------ containers

Status Reader::enter() {
  if (--remaining_depth_ == 0) {
    ++remaining_depth_;
    return peek_error(kRecursionLimit);
  }
  return ok_status();
}

Result<bool> Reader::has_next_key(bool& first) {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofObject);
  if (*c == '}') return false;
  if (first) {
    first = false;
    if (*c == '"') return true;
    return peek_error(kKeyMustBeString);
  }
  if (*c != ',') return peek_error(kExpectedObjectCommaOrEnd);
  eat();
  const auto next = parse_whitespace();
  if (!next) return peek_error(kEofValue);
  if (*next == '"') return true;
  return peek_error(*next == '}' ? kTrailingComma : kKeyMustBeString);
}

Result<std::string> Reader::read_key() {
  eat();
  return parse_str();
}

Status Reader::parse_object_colon() {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofObject);
  if (*c != ':') return peek_error(kExpectedColon);
  eat();
  return ok_status();
}

Result<bool> Reader::has_next_element(bool& first) {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofList);
  if (*c == ']') return false;
  if (first) {
    first = false;
    return true;
  }
  if (*c != ',') return peek_error(kExpectedListCommaOrEnd);
  eat();
  const auto next = parse_whitespace();
  if (!next) return peek_error(kEofValue);
  if (*next == ']') return peek_error(kTrailingComma);
  return true;
}

Status Reader::end_map() {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofObject);
  if (*c == '}') {
    eat();
    return ok_status();
  }
  return peek_error(*c == ',' ? kTrailingComma : kTrailingCharacters);
}

Status Reader::end_seq() {
  const auto c = parse_whitespace();
  if (!c) return peek_error(kEofList);
  if (*c == ']') {
    eat();
    return ok_status();
  }
  if (*c == ',') {
    eat();
    return peek_error(parse_whitespace() == ']' ? kTrailingComma : kTrailingCharacters);
  }
  return peek_error(kTrailingCharacters);
}

void Reader::end_map_after_error() {
  if (parse_whitespace() == '}') eat();
}

void Reader::end_seq_after_error() {
  const auto c = parse_whitespace();
  if (c == ']') {
    eat();
  } else if (c == ',') {
    eat();
    parse_whitespace();
  }
}

}  // namespace tarvo::json
