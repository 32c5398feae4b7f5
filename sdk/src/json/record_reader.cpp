#include "sdk/src/json/record_reader.h"

namespace tarvo::json {

std::string missing_field(std::string_view key) { return "missing field `" + std::string(key) + "`"; }

std::string duplicate_field(std::string_view key) { return "duplicate field `" + std::string(key) + "`"; }

}  // namespace tarvo::json
