#include "sdk/src/lib/public_key.h"

#include "sdk/src/json/writer.h"

namespace tarvo::sdk {

Result<std::string> to_json(const PublicKey& key) {
  return json::compact_object({{"x", key.x}, {"y", key.y}});
}

}  // namespace tarvo::sdk
