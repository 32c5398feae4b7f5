// The compact JSON object writer of the module's result records.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "crypto/base/result.h"

namespace tarvo::python {

struct JsonField {
  const char* key;
  std::string_view value;
};

// {"key":"value",...}: the fields in the order given, every value a JSON string with standard escaping,
// no blanks. A value that is not valid UTF-8 is an error naming its key.
Result<std::string> compact_json_object(std::initializer_list<JsonField> fields);

}  // namespace tarvo::python
