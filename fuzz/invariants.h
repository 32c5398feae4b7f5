// The invariants the fuzz harnesses check, and how a broken one is reported: a description on standard
// error, then abort(), which libFuzzer records as a crash and saves the input for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tarvo::fuzz {

[[noreturn]] inline void broken(std::string_view what, std::string_view detail) {
  std::fputs("invariant broken: ", stderr);
  std::fwrite(what.data(), 1, what.size(), stderr);
  std::fputs("\n  detail: ", stderr);
  std::fwrite(detail.data(), 1, detail.size(), stderr);
  std::fputc('\n', stderr);
  std::abort();
}

inline void require(bool condition, std::string_view what, std::string_view detail = {}) {
  if (!condition) broken(what, detail);
}

inline std::string_view as_text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Length of the well-formed UTF-8 sequence at text[i] (RFC 3629: no overlong form, no surrogate, at most
// U+10FFFF), or 0 when it is malformed or cut off; its code point goes to `code_point`. Written
// independently of the readers under test.
inline size_t decode_utf8(std::string_view text, size_t i, uint32_t& code_point) {
  const auto byte = [&](size_t k) { return i + k < text.size() ? static_cast<uint8_t>(text[i + k]) : 0u; };
  const unsigned b0 = byte(0);
  if (b0 < 0x80) {
    code_point = b0;
    return 1;
  }
  size_t len = 0;
  uint32_t cp = 0;
  uint32_t min = 0;
  if (b0 >= 0xc0 && b0 < 0xe0) {
    len = 2, cp = b0 & 0x1f, min = 0x80;
  } else if (b0 >= 0xe0 && b0 < 0xf0) {
    len = 3, cp = b0 & 0x0f, min = 0x800;
  } else if (b0 >= 0xf0 && b0 < 0xf8) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  for (size_t k = 1; k < len; ++k) {
    if (i + k >= text.size() || (byte(k) & 0xc0) != 0x80) return 0;
    cp = (cp << 6) | (byte(k) & 0x3f);
  }
  if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return 0;
  code_point = cp;
  return len;
}

inline size_t utf8_length(std::string_view text, size_t i) {
  uint32_t code_point = 0;
  return decode_utf8(text, i, code_point);
}

// The code points at which Python's str.splitlines() breaks a line, from its documentation; written
// independently of the diagnostic line's own line-break test (sdk/src/functions/diagnostic.h).
inline bool is_line_break(uint32_t code_point) {
  switch (code_point) {
    case 0x0a:
    case 0x0b:
    case 0x0c:
    case 0x0d:
    case 0x1c:
    case 0x1d:
    case 0x1e:
    case 0x85:
    case 0x2028:
    case 0x2029:
      return true;
    default:
      return false;
  }
}

inline bool is_utf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t len = utf8_length(text, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

inline constexpr std::string_view kEchoStart = "Invalid character '";
inline constexpr std::string_view kEchoEnd = "' at position ";

// The length of the character that an "Invalid character '{c}' at position {i}" clause starting at
// text[i] quotes (one to four bytes, followed by the closing quote and a decimal position), or 0 when no
// such clause starts there.
inline size_t quoted_character_length(std::string_view text, size_t i) {
  if (!text.substr(i).starts_with(kEchoStart)) return 0;
  const size_t c = i + kEchoStart.size();
  for (size_t len = 1; len <= 4 && c + len < text.size(); ++len) {
    const size_t digits = c + len + kEchoEnd.size();
    if (text.substr(c + len).starts_with(kEchoEnd) && digits < text.size() && text[digits] >= '0' &&
        text[digits] <= '9') {
      return len;
    }
  }
  return 0;
}

// An error or fatal text: non-empty, and one line of valid UTF-8 except for the one input character that
// each "Invalid character '{c}' at position {i}" clause quotes as it is, which may be a line break, and
// may be malformed UTF-8 only when the input is (`input_is_utf8` false; a Python caller's text never is).
inline void check_error_text(std::string_view text, bool input_is_utf8) {
  const std::string shown(text);
  require(!text.empty(), "error text is empty");
  for (size_t i = 0; i < text.size();) {
    const size_t quoted = quoted_character_length(text, i);
    const size_t c = i + kEchoStart.size();
    if (quoted != 0 && (!input_is_utf8 || utf8_length(text, c) == quoted)) {
      i = c + quoted + kEchoEnd.size();
      continue;
    }
    uint32_t code_point = 0;
    const size_t len = decode_utf8(text, i, code_point);
    require(len != 0, "error text is not valid UTF-8", shown);
    require(!is_line_break(code_point), "error text has a line break", shown);
    i += len;
  }
}

// Reads the decimal number at text[i...] into `value`; returns the index after it, or npos.
inline size_t read_decimal(std::string_view text, size_t i, size_t& value) {
  const size_t start = i;
  value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 19) {
    value = value * 10 + static_cast<size_t>(text[i] - '0');
    ++i;
  }
  return i == start ? std::string_view::npos : i;
}

// A request reader's error: a well-formed error text ending in " at line L column C", where line L (from 1)
// exists in `input` and holds at least C bytes before its end or its line feed.
inline void check_located_error(std::string_view text, std::string_view input) {
  const std::string shown(text);
  check_error_text(text, true);
  const size_t at = text.rfind(" at line ");
  require(at != std::string_view::npos && at > 0, "request error has no position", shown);
  size_t line = 0;
  size_t column = 0;
  size_t i = read_decimal(text, at + 9, line);
  require(i != std::string_view::npos && text.substr(i).starts_with(" column "), "malformed position", shown);
  i = read_decimal(text, i + 8, column);
  require(i == text.size(), "request error does not end with its position", shown);
  require(line >= 1, "line numbers start at 1", shown);
  size_t line_start = 0;
  for (size_t l = 1; l < line; ++l) {
    const size_t newline = input.find('\n', line_start);
    require(newline != std::string_view::npos, "error line is past the input", shown);
    line_start = newline + 1;
  }
  require(line_start + column <= input.size(), "error column is past the input", shown);
  require(input.substr(line_start, column).find('\n') == std::string_view::npos,
          "error column crosses a line", shown);
}

}  // namespace tarvo::fuzz
