// The JSON text of a layer-one signature record.
#pragma once

#include <string>

#include "crypto/base/result.h"
#include "sdk/src/lib/l1_sign.h"

namespace tarvo::python {

// {"x":"…","y":"…","s":"…","pk_x":"…","pk_y":"…"}, compact, keys in this order.
Result<std::string> to_json(const sdk::L1Signature& signature);

}  // namespace tarvo::python
