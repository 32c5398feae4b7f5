// A validating pull reader over one JSON text, with the error texts and positions of the request format.
// The record reader (record_reader.h) drives it token by token: values are read lazily in document
// order, so the first problem met decides the error, whether it is a syntax error or a bad member value.
//
// Positions. An error is remembered together with a byte index; the final text gets
// " at line L column C" with L counted from 1 and C the number of bytes of line L before that index.
//   - error():      at the consumed position (just after the last byte read);
//   - peek_error(): one past the start of the next byte (consumed + 1, capped at the text length), for
//                   problems with the character that comes next;
//   - an error made without a position (a plain Error) is positioned by fix_position() at the consumed
//     position when the enclosing value or container has been read as far as it will be.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/json/value.h"

namespace tarvo::json {

// Syntax error texts.
inline constexpr const char* kEofObject = "EOF while parsing an object";
inline constexpr const char* kEofList = "EOF while parsing a list";
inline constexpr const char* kEofString = "EOF while parsing a string";
inline constexpr const char* kEofValue = "EOF while parsing a value";
inline constexpr const char* kExpectedColon = "expected `:`";
inline constexpr const char* kExpectedObjectCommaOrEnd = "expected `,` or `}`";
inline constexpr const char* kExpectedListCommaOrEnd = "expected `,` or `]`";
inline constexpr const char* kExpectedValue = "expected value";
inline constexpr const char* kExpectedIdent = "expected ident";
inline constexpr const char* kKeyMustBeString = "key must be a string";
inline constexpr const char* kTrailingComma = "trailing comma";
inline constexpr const char* kTrailingCharacters = "trailing characters";
inline constexpr const char* kInvalidEscape = "invalid escape";
inline constexpr const char* kControlCharacter =
    "control character (\\u0000-\\u001F) found while parsing a string";
inline constexpr const char* kInvalidNumber = "invalid number";
inline constexpr const char* kNumberOutOfRange = "number out of range";
inline constexpr const char* kRecursionLimit = "recursion limit exceeded";
inline constexpr const char* kLoneSurrogate = "lone leading surrogate in hex escape";
inline constexpr const char* kUnexpectedEndOfHexEscape = "unexpected end of hex escape";
inline constexpr const char* kInvalidUtf8 = "invalid unicode code point";

// Invariant: index_ <= text_.size(); no byte at or past text_.size() is ever read. The reader stops at
// its first error: after a method has returned an error, only the *_after_error recovery steps, fix_position
// and located may be called.
class Reader {
 public:
  // Nesting depth at which a container is refused (the document's outermost container is depth 1).
  static constexpr int kDepthLimit = 128;

  explicit Reader(std::string_view text) : text_(text) {}

  // --- cursor
  std::optional<uint8_t> peek() const;
  void eat() { ++index_; }
  // Skips blanks (space, tab, line feed, carriage return) and returns the next byte, if any.
  std::optional<uint8_t> parse_whitespace();

  // --- errors
  Error error(std::string text);
  Error peek_error(std::string text);
  Error fix_position(Error error);
  // The error with its position appended, once reading has stopped.
  Error located(const Error& error) const;

  // --- values
  // A JSON string (unescaped); any other value gives the invalid-type error against `expected`.
  Result<std::string> read_string(std::string_view expected);
  // The literal true or false; any other value gives the invalid-type error against `expected`.
  Result<bool> read_bool(std::string_view expected);
  // Any JSON value, fully validated (strings unescaped, numbers classified, containers read through).
  Result<Value> read_any();
  // Reads the next value only as far as needed to describe it and returns the invalid-type error.
  // Containers are not entered: their error is positioned before their opening bracket.
  Error peek_invalid_type(std::string_view expected);
  // After the document's value: only blanks may follow.
  Status end();

  // --- containers (the caller has peeked the opening bracket)
  // Counts one nesting level; refused with "recursion limit exceeded" before the bracket is eaten.
  Status enter();
  // Counts the nesting level of a record's own container. Records nest at most two deep (a liquidation's
  // order), far inside the limit, which only the values read through (read_any) can reach.
  void enter_record() { --remaining_depth_; }
  void leave() { ++remaining_depth_; }
  // Whether another entry follows; eats the separating comma. `first` tracks the first entry.
  Result<bool> has_next_key(bool& first);
  // The key whose opening quote has_next_key has just peeked.
  Result<std::string> read_key();
  Status parse_object_colon();
  Result<bool> has_next_element(bool& first);
  // Eats the closing brace at which has_next_key has ended the entries.
  void end_map();
  // After the values of a record's array form: eats the closing bracket, which must come next.
  Status end_seq();
  // The same steps after the container's reading failed: consume what end_map/end_seq would have
  // consumed, so that an unpositioned error is positioned after the closing bracket, and report nothing.
  void end_map_after_error();
  void end_seq_after_error();

 private:
  std::optional<uint8_t> next_char();
  Result<std::string> parse_str();  // after the opening quote
  Status parse_escape(std::string& out);
  Status parse_unicode_escape(std::string& out);
  Result<uint16_t> decode_hex_escape();
  Status parse_ident(std::string_view rest);
  Result<Value> parse_number(bool positive, size_t start);
  Status parse_decimal();
  Status parse_exponent();
  Result<Value> read_any_seq();
  Result<Value> read_any_map();

  std::string_view text_;
  size_t index_ = 0;
  int remaining_depth_ = kDepthLimit;
  std::optional<size_t> error_index_;
};

}  // namespace tarvo::json
