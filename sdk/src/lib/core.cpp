#include "sdk/src/lib/core.h"

#include "sdk/src/transaction/limit_order.h"
#include "sdk/src/transaction/liquidate.h"
#include "sdk/src/transaction/oracle_price.h"
#include "sdk/src/transaction/transfer.h"
#include "sdk/src/transaction/withdraw.h"

namespace tarvo::sdk {

namespace {

Error missing(const char* what) { return Error(std::string(what) + " is not implemented yet"); }

}  // namespace

// Each transaction entry point first parses its request record; a parse error is the operation's error.

Result<JubjubSignature> sign_withdraw(std::string_view json, std::string_view) {
  [[maybe_unused]] const WithdrawRequest request = TARVO_TRY(WithdrawRequest::from_json(json));
  return missing("withdrawal signing");
}
Result<JubjubSignature> sign_transfer(std::string_view json, std::string_view) {
  [[maybe_unused]] const Transfer request = TARVO_TRY(Transfer::from_json(json));
  return missing("transfer signing");
}
Result<JubjubSignature> sign_limit_order(std::string_view json, std::string_view) {
  [[maybe_unused]] const LimitOrderRequest request = TARVO_TRY(LimitOrderRequest::from_json(json));
  return missing("limit order signing");
}
Result<JubjubSignature> sign_liquidate(std::string_view json, std::string_view) {
  [[maybe_unused]] const Liquidate request = TARVO_TRY(Liquidate::from_json(json));
  return missing("liquidation signing");
}
Result<JubjubSignature> sign_signed_oracle_price(std::string_view json, std::string_view) {
  [[maybe_unused]] const SignedOraclePrice request = TARVO_TRY(SignedOraclePrice::from_json(json));
  return missing("oracle price signing");
}

Result<std::string> hash_withdraw(std::string_view json) {
  [[maybe_unused]] const WithdrawRequest request = TARVO_TRY(WithdrawRequest::from_json(json));
  return missing("withdrawal hashing");
}
Result<std::string> hash_transfer(std::string_view json) {
  [[maybe_unused]] const Transfer request = TARVO_TRY(Transfer::from_json(json));
  return missing("transfer hashing");
}
Result<std::string> hash_limit_order(std::string_view json) {
  [[maybe_unused]] const LimitOrderRequest request = TARVO_TRY(LimitOrderRequest::from_json(json));
  return missing("limit order hashing");
}
Result<std::string> hash_liquidate(std::string_view json) {
  [[maybe_unused]] const Liquidate request = TARVO_TRY(Liquidate::from_json(json));
  return missing("liquidation hashing");
}
Result<std::string> hash_signed_oracle_price(std::string_view json) {
  [[maybe_unused]] const SignedOraclePrice request = TARVO_TRY(SignedOraclePrice::from_json(json));
  return missing("oracle price hashing");
}


}  // namespace tarvo::sdk
