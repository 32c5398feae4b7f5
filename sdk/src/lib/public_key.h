// PublicKey: the two coordinate texts that public_key_to_xy and private_key_to_public_key_xy return.
#pragma once

#include <string>

#include "crypto/base/result.h"

namespace tarvo::sdk {

// x: "0x" and the packed public key text; y: "0x" and the point's affine x-coordinate.
struct PublicKey {
  std::string x;
  std::string y;
};

// {"x":"…","y":"…"}, compact.
Result<std::string> to_json(const PublicKey& key);

}  // namespace tarvo::sdk
