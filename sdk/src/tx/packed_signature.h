// Signature encodings: the compact JSON text of a signature.
#pragma once

#include <string>

#include "sdk/src/zkw/types.h"

namespace tarvo {

// {"r":"0x…","s":"0x…"}: r is the packed encoding of R, both values 64 lowercase digits (147 characters
// in all). Fatal if R is not a curve point.
std::string signature_to_json(const JubjubSignature& signature);

}  // namespace tarvo
