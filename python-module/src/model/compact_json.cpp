#include "python-module/src/model/compact_json.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace tarvo::python {

Result<std::string> compact_json_object(std::initializer_list<JsonField> fields) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>, rapidjson::CrtAllocator,
                    rapidjson::kWriteValidateEncodingFlag>
      writer(buffer);
  writer.StartObject();
  for (const JsonField& field : fields) {
    writer.Key(field.key);
    if (!writer.String(field.value.data(), static_cast<rapidjson::SizeType>(field.value.size()))) {
      return Error(std::string("the value of '") + field.key + "' is not valid UTF-8");
    }
  }
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace tarvo::python
