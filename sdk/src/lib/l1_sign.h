// Layer-one signing: the signature and the signer's public key as separate hexadecimal coordinates.
#pragma once

#include <string>
#include <string_view>

#include "crypto/base/result.h"

namespace tarvo::sdk {

// Every field is "0x" and 64 lowercase hexadecimal digits.
struct L1Signature {
  std::string x;     // affine x of R
  std::string y;     // affine y of R
  std::string s;     // the signature scalar
  std::string pk_x;  // the packed public key
  std::string pk_y;  // affine x of the public key point
};

// Note the argument order: the message first, the key second.
Result<L1Signature> l1_sign(std::string_view msg, std::string_view private_key);

// {"x":"…","y":"…","s":"…","pk_x":"…","pk_y":"…"}, compact, keys in this order.
Result<std::string> to_json(const L1Signature& signature);

}  // namespace tarvo::sdk
