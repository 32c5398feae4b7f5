#include "sdk/src/json/writer.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace tarvo::json {

Result<std::string> compact_object(std::initializer_list<TextMember> members) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>, rapidjson::CrtAllocator,
                    rapidjson::kWriteValidateEncodingFlag>
      writer(buffer);
  writer.StartObject();
  for (const TextMember& member : members) {
    writer.Key(member.key);
    if (!writer.String(member.value.data(), static_cast<rapidjson::SizeType>(member.value.size()))) {
      return Error(std::string("the value of '") + member.key + "' is not valid UTF-8");
    }
  }
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace tarvo::json
