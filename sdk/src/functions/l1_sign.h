// Layer-one signing: the signature and the signer's public key as separate hexadecimal coordinates.
#pragma once

#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/signing/types.h"

namespace tarvo::sdk {

// Note the argument order: the message first, the key second.
Result<L1Signature> l1_sign(std::string_view msg, std::string_view private_key);

}  // namespace tarvo::sdk
