// The one writer of the JSON texts the system returns: the signature, the layer-one signature record and
// the public key coordinates.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "crypto/base/result.h"

namespace tarvo::json {

struct TextMember {
  const char* key;
  std::string_view value;
};

// {"key":"value",...}: the members in the order given, every value a JSON string with standard escaping,
// no blanks. A value that is not valid UTF-8 is an error naming its key.
Result<std::string> compact_object(std::initializer_list<TextMember> members);

}  // namespace tarvo::json
