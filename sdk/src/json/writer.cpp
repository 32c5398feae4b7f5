#include "sdk/src/json/writer.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <initializer_list>

namespace tarvo::json {

namespace {

struct TextMember {
  const char* key;
  std::string_view value;
};

std::string compact_object(std::initializer_list<TextMember> members) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  for (const TextMember& member : members) {
    writer.Key(member.key);
    writer.String(member.value.data(), static_cast<rapidjson::SizeType>(member.value.size()));
  }
  writer.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace

std::string to_json(const JubjubSignature& signature) {
  return compact_object({{"r", packed_point(signature.r).to_hex()}, {"s", signature.s.to_hex()}});
}

std::string to_json(const L1Signature& signature) {
  return compact_object({{"x", signature.x},
                         {"y", signature.y},
                         {"s", signature.s},
                         {"pk_x", signature.pk_x},
                         {"pk_y", signature.pk_y}});
}

std::string public_key_to_json(std::string_view x, std::string_view y) {
  return compact_object({{"x", x}, {"y", y}});
}

}  // namespace tarvo::json
