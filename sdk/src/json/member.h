// Member tables of the request records: each member is its JSON key and a function that reads its value
// with the member's encoding. The generic record reader (record_reader.h) is driven by these tables only.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "crypto/base/result.h"
#include "sdk/src/json/reader.h"
#include "sdk/src/json/value.h"

namespace tarvo::json {

inline constexpr std::string_view kExpectingString = "a string";
inline constexpr std::string_view kExpectingBool = "a boolean";

// Where a member's value comes from.
//   - The reader: the value is read in place. An error of its encoding is positioned just after the
//     value (after a string's closing quote).
//   - A value kept while the object was read (header flattening): the value is decoded after the
//     object's closing brace; its errors stay unpositioned and are positioned there.
class ValueSource {
 public:
  explicit ValueSource(Reader& reader) : reader_(&reader) {}
  explicit ValueSource(const Value& kept) : kept_(&kept) {}

  // The value as a JSON string; otherwise the invalid-type error "..., expected a string".
  Result<std::string> string();
  // The value as a JSON boolean; otherwise the invalid-type error "..., expected a boolean". Only read
  // in place (fatal for a kept value).
  Result<bool> boolean();
  // The live reader, for a member that is itself a record (only read in place). Fatal for a kept value.
  Reader& reader();
  // The error of the member's encoding, positioned as this source requires.
  Error decoding_error(const Error& error);

 private:
  Reader* reader_ = nullptr;
  const Value* kept_ = nullptr;
};

template <class R>
struct Member {
  std::string_view key;
  // Reads the member's value from the source into the record.
  Status (*read)(ValueSource& source, R& record);
};

template <class T>
struct MemberPointer;
template <class C, class V>
struct MemberPointer<V C::*> {
  using Record = C;
  using Value = V;
};

template <auto Field>
using RecordOf = typename MemberPointer<decltype(Field)>::Record;

// A member carried as a JSON string in `Encoding` (number_text.h).
template <auto Field, class Encoding>
Status read_text(ValueSource& source, RecordOf<Field>& record) {
  const std::string text = TARVO_TRY(source.string());
  auto value = Encoding::parse(text);
  if (!value) return source.decoding_error(value.error());
  record.*Field = std::move(value).value();
  return ok_status();
}

// A member carried as a JSON literal true or false.
template <auto Field>
Status read_boolean(ValueSource& source, RecordOf<Field>& record) {
  record.*Field = TARVO_TRY(source.boolean());
  return ok_status();
}

}  // namespace tarvo::json
