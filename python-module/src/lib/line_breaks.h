// What counts as a line break in a diagnostic: every boundary Python's str.splitlines() honours, so a
// diagnostic that has none of them is one line to a Python reader.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvo::python {

// Byte length of a line break starting at text[i], or 0.
inline std::size_t line_break_length(std::string_view text, std::size_t i) {
  switch (static_cast<unsigned char>(text[i])) {
    case '\n':
    case '\r':
    case '\v':
    case '\f':
    case 0x1c:
    case 0x1d:
    case 0x1e:
      return 1;
    case 0xc2:  // U+0085
      return text.substr(i, 2) == "\xc2\x85" ? 2 : 0;
    case 0xe2:  // U+2028, U+2029
      return text.substr(i, 3) == "\xe2\x80\xa8" || text.substr(i, 3) == "\xe2\x80\xa9" ? 3 : 0;
    default:
      return 0;
  }
}

}  // namespace tarvo::python
