#include "sdk/src/lib/core.h"

namespace tarvo::sdk {

namespace {

Error missing(const char* what) { return Error(std::string(what) + " is not implemented yet"); }

}  // namespace

Result<JubjubSignature> sign_withdraw(std::string_view, std::string_view) { return missing("withdrawal signing"); }
Result<JubjubSignature> sign_transfer(std::string_view, std::string_view) { return missing("transfer signing"); }
Result<JubjubSignature> sign_limit_order(std::string_view, std::string_view) { return missing("limit order signing"); }
Result<JubjubSignature> sign_liquidate(std::string_view, std::string_view) { return missing("liquidation signing"); }
Result<JubjubSignature> sign_signed_oracle_price(std::string_view, std::string_view) {
  return missing("oracle price signing");
}

Result<std::string> hash_withdraw(std::string_view) { return missing("withdrawal hashing"); }
Result<std::string> hash_transfer(std::string_view) { return missing("transfer hashing"); }
Result<std::string> hash_limit_order(std::string_view) { return missing("limit order hashing"); }
Result<std::string> hash_liquidate(std::string_view) { return missing("liquidation hashing"); }
Result<std::string> hash_signed_oracle_price(std::string_view) { return missing("oracle price hashing"); }

Result<JubjubSignature> sign(std::string_view, std::string_view) { return missing("message signing"); }
Result<bool> verify_signature(std::string_view, std::string_view, std::string_view, std::string_view,
                              std::string_view) {
  return missing("signature verification");
}
Result<bool> is_on_curve(std::string_view, std::string_view) { return missing("the curve check"); }
Result<TextPair> pub_key_to_xy(std::string_view) { return missing("public key unpacking"); }
Result<TextPair> private_key_to_pubkey_xy(std::string_view) { return missing("public key derivation"); }

}  // namespace tarvo::sdk
