#include "sdk/src/json/writer.h"

namespace tarvo::json {

namespace {

// Appends `text` as a JSON string: the quotation mark and the reverse solidus escaped, the control
// characters as \b, \t, \n, \f, \r or \u00XX (upper-case digits); every other byte, those of UTF-8
// sequences too, as it is.
void append_string(std::string& out, std::string_view text) {
  static constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (const auto byte = static_cast<unsigned char>(c); byte < 0x20) {
          out += "\\u00";
          out += HEX_DIGITS[byte >> 4];
          out += HEX_DIGITS[byte & 0xf];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace

std::string compact_object(std::initializer_list<TextMember> members) {
  std::string out = "{";
  for (const TextMember& member : members) {
    if (out.size() > 1) out += ',';
    append_string(out, member.key);
    out += ':';
    append_string(out, member.value);
  }
  out += '}';
  return out;
}

}  // namespace tarvo::json
