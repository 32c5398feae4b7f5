// The one reader of all request records. A record is described by its layout: its name, its
// own members in declaration order, the flattened member group it may carry and, in the layout's type,
// whether its values may also come as an array. Everything else (required members, duplicate and unknown
// keys, flattening, the array form, error texts and positions) is here, once.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/base/result.h"
#include "sdk/src/json/declarations.h"
#include "sdk/src/json/member.h"
#include "sdk/src/json/reader.h"

namespace tarvo::json {

std::string missing_field(std::string_view key);
std::string duplicate_field(std::string_view key);

template <class R>
std::optional<size_t> find_member(std::span<const Member<R>> members, std::string_view key) {
  for (size_t i = 0; i < members.size(); ++i) {
    if (members[i].key == key) return i;
  }
  return std::nullopt;
}

// An entry of the object whose key belongs to the flattened group, kept with its value until the object
// is complete.
struct KeptEntry {
  size_t member;  // index in the group's members
  Value value;
};

// The group step of flattening: decodes the kept entries in their order (a group key met twice is a
// duplicate), then reports the first missing group member. Errors are unpositioned.
template <class G>
Status read_group(std::span<const KeptEntry> kept, std::span<const Member<G>> members, G& group) {
  std::vector<bool> seen(members.size());
  for (const KeptEntry& entry : kept) {
    if (seen[entry.member]) return Error(duplicate_field(members[entry.member].key));
    ValueSource source(entry.value);
    TARVO_TRY(members[entry.member].read(source, group));
    seen[entry.member] = true;
  }
  for (size_t i = 0; i < members.size(); ++i) {
    if (!seen[i]) return Error(missing_field(members[i].key));
  }
  return ok_status();
}

// A member of R that is a group of members of its own, whose keys stand at R's top level beside R's own
// keys (the request header). The group's type provides its members as `json_members()`.
template <class R>
struct Flattened {
  std::optional<size_t> (*find)(std::string_view key);  // the group member with this key
  Status (*read)(std::span<const KeptEntry> kept, R& record);
};

template <auto Group>
constexpr Flattened<RecordOf<Group>> flattened() {
  using G = typename MemberPointer<decltype(Group)>::Value;
  return {
      [](std::string_view key) { return find_member(G::json_members(), key); },
      [](std::span<const KeptEntry> kept, RecordOf<Group>& record) {
        return read_group(kept, G::json_members(), record.*Group);
      },
  };
}

// The array form is known from the type, so that the records without one have no code for it.
template <class R, Forms F>
struct RecordLayout {
  std::string_view name;                  // the errors say "struct {name}"
  std::span<const Member<R>> members;     // own members, in declaration order
  std::optional<Flattened<R>> flattened;  // the flattened group, for the records that carry one
};

// The entries of an object, after its opening brace, up to (not including) its closing brace; then the
// missing-member checks and the header step.
template <class R, Forms F>
Status read_entries(Reader& reader, const RecordLayout<R, F>& layout, R& record) {
  std::vector<bool> seen(layout.members.size());
  std::vector<KeptEntry> kept;
  bool first = true;
  while (TARVO_TRY(reader.has_next_key(first))) {
    const std::string key = TARVO_TRY(reader.read_key());
    if (const auto own = find_member(layout.members, key)) {
      if (seen[*own]) return reader.error(duplicate_field(key));
      TARVO_TRY(reader.parse_object_colon());
      ValueSource source(reader);
      TARVO_TRY(layout.members[*own].read(source, record));
      seen[*own] = true;
      continue;
    }
    // Any other key: its value is read through (and so validated); group entries are kept.
    TARVO_TRY(reader.parse_object_colon());
    Value value = TARVO_TRY(reader.read_any());
    if (!layout.flattened) continue;
    if (const auto group_member = layout.flattened->find(key)) {
      kept.push_back(KeptEntry{*group_member, std::move(value)});
    }
  }
  for (size_t i = 0; i < seen.size(); ++i) {
    if (!seen[i]) return Error(missing_field(layout.members[i].key));
  }
  if (layout.flattened) return layout.flattened->read(kept, record);
  return ok_status();
}

// The values of the array form, after its opening bracket: one per member, in declaration order.
template <class R, Forms F>
Status read_values(Reader& reader, const RecordLayout<R, F>& layout, R& record) {
  bool first = true;
  for (const Member<R>& member : layout.members) {
    if (!TARVO_TRY(reader.has_next_element(first))) {
      const size_t count = static_cast<size_t>(&member - layout.members.data());
      return Error("invalid length " + std::to_string(count) + ", expected struct " +
                   std::string(layout.name) + " with " + std::to_string(layout.members.size()) + " elements");
    }
    ValueSource source(reader);
    TARVO_TRY(member.read(source, record));
  }
  return ok_status();
}

// The object form, from its opening brace (at the reader's position) through its closing brace.
template <class R, Forms F>
Status read_object(Reader& reader, const RecordLayout<R, F>& layout, R& record) {
  reader.enter_record();
  reader.eat();
  const Status status = read_entries(reader, layout, record);
  reader.leave();
  if (!status) {
    reader.end_map_after_error();
    return status;
  }
  reader.end_map();
  return status;
}

// The array form, from its opening bracket (at the reader's position) through its closing bracket.
template <class R>
Status read_array(Reader& reader, const RecordLayout<R, Forms::object_or_array>& layout, R& record) {
  reader.enter_record();
  reader.eat();
  const Status status = read_values(reader, layout, record);
  reader.leave();
  if (!status) {
    reader.end_seq_after_error();
    return status;
  }
  return reader.end_seq();
}

// One record value at the reader's position: an object, the array form where the layout allows it, or
// the invalid-type error "..., expected struct {name}".
template <class R, Forms F>
Result<R> read_record(Reader& reader, const RecordLayout<R, F>& layout) {
  const auto peek = reader.parse_whitespace();
  if (!peek) return reader.peek_error(kEofValue);
  R record{};
  const Status status = [&]() -> Status {
    if (*peek == '{') return read_object(reader, layout, record);
    if constexpr (F == Forms::object_or_array) {
      if (*peek == '[') return read_array(reader, layout, record);
    }
    return reader.peek_invalid_type("struct " + std::string(layout.name));
  }();
  if (!status) return reader.fix_position(status.error());
  return record;
}

// A whole request text: the record, then nothing but blanks. Errors carry " at line L column C".
template <class R, Forms F>
Result<R> parse_record(std::string_view text, const RecordLayout<R, F>& layout) {
  Reader reader(text);
  auto record = read_record(reader, layout);
  if (!record) return reader.located(record.error());
  const Status end = reader.end();
  if (!end) return reader.located(end.error());
  return record;
}

// A member that is itself a record, read in place (Liquidate's liquidator_order). The member's type
// reads itself at a reader's position with `read_json()`, so that its reading is compiled once, beside its
// layout.
template <auto Field>
Status read_nested(ValueSource& source, RecordOf<Field>& record) {
  using Nested = typename MemberPointer<decltype(Field)>::Value;
  record.*Field = TARVO_TRY(Nested::read_json(source.reader()));
  return ok_status();
}

}  // namespace tarvo::json
