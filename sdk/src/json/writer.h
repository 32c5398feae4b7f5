// The one writer of the JSON texts the system returns: objects whose every value is a string, compact (no
// blanks), the members in the order given. What a text holds is its record's to say; this writes keys and
// strings only.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvo::json {

// A member of a written object: its key and the text of its string value.
struct TextMember {
  std::string_view key;
  std::string_view value;
};

// {"key":"value",…} of the members, in their order.
std::string compact_object(std::initializer_list<TextMember> members);

}  // namespace tarvo::json
