#include "sdk/src/json/reader.h"

#include <algorithm>

namespace tarvo::json {

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
               std::to_string(at - line_start));
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
  const auto c = peek();  // every caller has seen a character there
  switch (*c) {
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
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9': {
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
    case '[':
      found.kind = Value::Kind::kSeq;
      break;
    case '{':
      found.kind = Value::Kind::kMap;
      break;
    default:
      return peek_error(kExpectedValue);
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
    case '[':
      return read_any_seq();
    case '{':
      return read_any_map();
    default:
      if (*c >= '0' && *c <= '9') return parse_number(true, index_);
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
  eat();  // the closing bracket at which has_next_element has ended the elements
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
  end_map();
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

void Reader::end_map() { eat(); }

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
