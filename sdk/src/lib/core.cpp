#include "sdk/src/lib/core.h"

namespace tarvo::sdk {

namespace {

Error missing(const char* what) { return Error(std::string(what) + " is not implemented yet"); }

}  // namespace

Result<JubjubSignature> sign_withdraw(std::string_view, std::string_view) {
  return missing("withdrawal signing");
}
Result<JubjubSignature> sign_transfer(std::string_view, std::string_view) {
  return missing("transfer signing");
}
Result<JubjubSignature> sign_limit_order(std::string_view, std::string_view) {
  return missing("limit order signing");
}
Result<JubjubSignature> sign_liquidate(std::string_view, std::string_view) {
  return missing("liquidation signing");
}
Result<JubjubSignature> sign_signed_oracle_price(std::string_view, std::string_view) {
  return missing("oracle price signing");
}

Result<std::string> hash_withdraw(std::string_view) { return missing("withdrawal hashing"); }
Result<std::string> hash_transfer(std::string_view) { return missing("transfer hashing"); }
Result<std::string> hash_limit_order(std::string_view) { return missing("limit order hashing"); }
Result<std::string> hash_liquidate(std::string_view) { return missing("liquidation hashing"); }
Result<std::string> hash_signed_oracle_price(std::string_view) { return missing("oracle price hashing"); }


}  // namespace tarvo::sdk
