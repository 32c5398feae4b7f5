#include "sdk/src/json/value.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>

#include "crypto/base/utf8.h"

namespace tarvo::json {

namespace {

struct Range {
  uint32_t first, last;
};

// Code points a debug-quoted string writes as \u{...}: controls, format characters, separators other
// than the space, private use, non-characters, and the common combining (grapheme-extending) blocks.
// The list covers what a request can plausibly carry; it is the one approximation in the
// descriptions of a met value.
constexpr Range kEscaped[] = {
    {0x00, 0x1f},     {0x7f, 0x9f},       {0xa0, 0xa0},        {0xad, 0xad},     {0x300, 0x36f},
    {0x483, 0x489},   {0x591, 0x5bd},     {0x600, 0x605},      {0x61c, 0x61c},   {0x6dd, 0x6dd},
    {0x70f, 0x70f},   {0x1680, 0x1680},   {0x180e, 0x180e},    {0x1ab0, 0x1aff}, {0x1dc0, 0x1dff},
    {0x2000, 0x200f}, {0x2028, 0x202f},   {0x205f, 0x2064},    {0x2066, 0x206f}, {0x20d0, 0x20ff},
    {0x3000, 0x3000}, {0xe000, 0xf8ff},   {0xfe00, 0xfe0f},    {0xfe20, 0xfe2f}, {0xfeff, 0xfeff},
    {0xfff9, 0xfffb}, {0xe0000, 0xe0fff}, {0xf0000, 0x10ffff},
};

bool escaped_in_debug(uint32_t cp) {
  if ((cp & 0xfffe) == 0xfffe) return true;  // the non-characters U+xFFFE and U+xFFFF of every plane
  for (const Range& r : kEscaped) {
    if (cp >= r.first && cp <= r.last) return true;
  }
  return false;
}

}  // namespace

std::string float_text(double value) {
  // Shortest round-trip digits first, then laid out positionally with zeros. A double's scientific form
  // fits the buffer.
  char buf[64];
  const char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific).ptr;
  const std::string_view sci(buf, static_cast<size_t>(end - buf));
  const size_t e_pos = sci.find('e');
  std::string digits;
  bool negative = false;
  for (char c : sci.substr(0, e_pos)) {
    if (c == '-')
      negative = true;
    else if (c != '.')
      digits.push_back(c);
  }
  int exponent = 0;
  std::from_chars(sci.data() + e_pos + 1 + (sci[e_pos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                  exponent);
  const long point = exponent + 1;  // digits before the decimal point
  const long n = static_cast<long>(digits.size());
  std::string out = negative ? "-" : "";
  if (point <= 0) {
    out += "0." + std::string(static_cast<size_t>(-point), '0') + digits;
  } else if (point >= n) {
    out += digits + std::string(static_cast<size_t>(point - n), '0') + ".0";
  } else {
    out += digits.substr(0, static_cast<size_t>(point)) + "." + digits.substr(static_cast<size_t>(point));
  }
  return out;
}

std::string debug_quoted(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    // The reader has validated the text; a malformed byte would be passed on alone.
    const Utf8Char c = utf8_char_at(text, i);
    const uint32_t cp = c.code_point;
    const size_t len = std::max<size_t>(c.length, 1);
    switch (cp) {
      case '\0':
        out += "\\0";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      default:
        if (escaped_in_debug(cp)) {
          char hex[16];
          std::snprintf(hex, sizeof hex, "\\u{%x}", static_cast<unsigned>(cp));
          out += hex;
        } else {
          out.append(text.substr(i, len));
        }
    }
    i += len;
  }
  return out + "\"";
}

std::string Value::describe() const {
  switch (kind) {
    case Kind::kNull:
      break;
    case Kind::kBool:
      return boolean ? "boolean `true`" : "boolean `false`";
    case Kind::kUnsigned:
      return "integer `" + std::to_string(unsigned_int) + "`";
    case Kind::kSigned:
      return "integer `" + std::to_string(signed_int) + "`";
    case Kind::kFloat:
      return "floating point `" + float_text(floating) + "`";
    case Kind::kString:
      return "string " + debug_quoted(text);
    case Kind::kSeq:
      return "sequence";
    case Kind::kMap:
      return "map";
  }
  return "null";
}

std::string invalid_type(const Value& found, std::string_view expected) {
  return "invalid type: " + found.describe() + ", expected " + std::string(expected);
}

}  // namespace tarvo::json
