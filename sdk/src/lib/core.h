// The core operations: one entry point per Python function. Each takes UTF-8 texts and returns a
// value or an error result; fatal internal errors propagate as tarvo::FatalError.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "crypto/base/result.h"
#include "sdk/src/zkw/types.h"

namespace tarvo::sdk {

Result<JubjubSignature> sign_withdraw(std::string_view json, std::string_view pri_key);
Result<JubjubSignature> sign_transfer(std::string_view json, std::string_view pri_key);
Result<JubjubSignature> sign_limit_order(std::string_view json, std::string_view pri_key);
Result<JubjubSignature> sign_liquidate(std::string_view json, std::string_view pri_key);
Result<JubjubSignature> sign_signed_oracle_price(std::string_view json, std::string_view pri_key);

// Each returns the hash text: "0x" and 64 lowercase hexadecimal digits.
Result<std::string> hash_withdraw(std::string_view json);
Result<std::string> hash_transfer(std::string_view json);
Result<std::string> hash_limit_order(std::string_view json);
Result<std::string> hash_liquidate(std::string_view json);
Result<std::string> hash_signed_oracle_price(std::string_view json);

Result<JubjubSignature> sign(std::string_view private_key, std::string_view msg);
// pub_key_y takes no part: any text is accepted and ignored.
Result<bool> verify_signature(std::string_view sig_r, std::string_view sig_s, std::string_view pub_key_x,
                              std::string_view pub_key_y, std::string_view msg);
Result<bool> is_on_curve(std::string_view x, std::string_view y);

// (first, second): the echoed packed key and the affine x-coordinate of the point it encodes.
using TextPair = std::pair<std::string, std::string>;
Result<TextPair> pub_key_to_xy(std::string_view public_key);
Result<TextPair> private_key_to_pubkey_xy(std::string_view private_key);

Result<std::string> private_key_from_seed(std::string_view seed);

}  // namespace tarvo::sdk
