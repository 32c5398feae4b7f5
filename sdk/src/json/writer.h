// The one writer of the JSON texts the system returns: the signature, the layer-one signature record and
// the public key coordinates. Compact (no blanks), keys in the order shown, every value a JSON string.
// Every value is a hexadecimal text, which needs no escaping, so writing cannot fail.
#pragma once

#include <string>
#include <string_view>

#include "sdk/src/zkw/types.h"

namespace tarvo::json {

// {"r":"0x…","s":"0x…"}: r the packed encoding of R, s the scalar, each 64 lowercase digits (147
// characters in all).
std::string to_json(const JubjubSignature& signature);

// {"x":"…","y":"…","s":"…","pk_x":"…","pk_y":"…"}.
std::string to_json(const L1Signature& signature);

// {"x":"…","y":"…"}: the PublicKey record of the two texts of pub_key_to_xy.
std::string public_key_to_json(std::string_view x, std::string_view y);

}  // namespace tarvo::json
