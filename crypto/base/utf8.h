// UTF-8 as the bindings accept it and the JSON reader reads it: the well-formed sequences of RFC 3629
// (no overlong form, no surrogate, nothing above U+10FFFF, nothing cut off), the texts a Python str can
// be encoded into. One validator serves every layer that reads or quotes text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvo {

// The character that starts at text[i]: its code point and its length in bytes (1 for ASCII), or length
// 0 when text[i] does not start a well-formed sequence.
struct Utf8Char {
  uint32_t code_point;
  std::size_t length;
};

Utf8Char utf8_char_at(std::string_view text, std::size_t i);

// Whether the whole text is a series of well-formed sequences.
bool is_utf8(std::string_view text);

}  // namespace tarvo
