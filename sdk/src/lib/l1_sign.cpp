#include "sdk/src/lib/l1_sign.h"

namespace tarvo::sdk {

Result<L1Signature> l1_sign(std::string_view, std::string_view) {
  return Error("layer-one signing is not implemented yet");
}

}  // namespace tarvo::sdk
