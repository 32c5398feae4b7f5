#include "python-module/src/model/public_key.h"

#include "python-module/src/model/compact_json.h"

namespace tarvo::python {

Result<std::string> to_json(const PublicKey& key) {
  return compact_json_object({{"x", key.x}, {"y", key.y}});
}

}  // namespace tarvo::python
