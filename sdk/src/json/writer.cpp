#include "sdk/src/json/writer.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace tarvo::json {

std::string compact_object(std::initializer_list<TextMember> members) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  for (const TextMember& member : members) {
    writer.Key(member.key.data(), static_cast<rapidjson::SizeType>(member.key.size()));
    writer.String(member.value.data(), static_cast<rapidjson::SizeType>(member.value.size()));
  }
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace tarvo::json
