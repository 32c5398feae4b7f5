#include "python-module/src/model/l1_signature_json.h"

#include "python-module/src/model/compact_json.h"

namespace tarvo::python {

Result<std::string> to_json(const sdk::L1Signature& signature) {
  return compact_json_object({{"x", signature.x},
                              {"y", signature.y},
                              {"s", signature.s},
                              {"pk_x", signature.pk_x},
                              {"pk_y", signature.pk_y}});
}

}  // namespace tarvo::python
