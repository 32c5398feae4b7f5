#include "sdk/src/json/member.h"

namespace tarvo::json {

Result<std::string> ValueSource::string() {
  if (reader_ != nullptr) return reader_->read_string(kExpectingString);
  if (kept_->kind != Value::Kind::kString) return Error(invalid_type(*kept_, kExpectingString));
  return kept_->text;
}

// No flattened group holds a boolean, so a boolean is always read in place.
Result<bool> ValueSource::boolean() { return reader().read_bool(kExpectingBool); }

Reader& ValueSource::reader() {
  ensure(reader_ != nullptr, "a record member can only be read in place");
  return *reader_;
}

Error ValueSource::decoding_error(const Error& error) {
  if (reader_ != nullptr) return reader_->fix_position(error);
  return error;
}

}  // namespace tarvo::json
