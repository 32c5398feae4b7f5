// Core operations on transaction requests: parse the record, hash it with its layout, and for the
// signing operations sign that hash.
#include "sdk/src/lib/core.h"

#include "sdk/src/transaction/hash_layouts.h"
#include "sdk/src/transaction/liquidate.h"
#include "sdk/src/tx/sign.h"

namespace tarvo::sdk {

namespace {

U256 hash_of(const WithdrawRequest& w) {
  return withdrawal_hash(w.eth_address, w.base, w.position_id, w.amount, w.asset_id);
}

}  // namespace

Result<std::string> hash_withdraw(std::string_view json) {
  return hash_of(TARVO_TRY(WithdrawRequest::from_json(json))).to_hex();
}
Result<std::string> hash_transfer(std::string_view json) {
  return transfer_hash_internal(TARVO_TRY(Transfer::from_json(json))).to_hex();
}
Result<std::string> hash_limit_order(std::string_view json) {
  return TARVO_TRY(limit_order_hash_internal(TARVO_TRY(LimitOrderRequest::from_json(json)))).to_hex();
}
Result<std::string> hash_liquidate(std::string_view json) {
  const Liquidate liquidation = TARVO_TRY(Liquidate::from_json(json));
  return TARVO_TRY(limit_order_hash_internal(liquidation.liquidator_order)).to_hex();
}
Result<std::string> hash_signed_oracle_price(std::string_view json) {
  return oracle_price_hash(TARVO_TRY(SignedOraclePrice::from_json(json))).to_hex();
}

Result<JubjubSignature> sign_withdraw(std::string_view json, std::string_view pri_key) {
  return sign_hash(hash_of(TARVO_TRY(WithdrawRequest::from_json(json))), pri_key);
}
Result<JubjubSignature> sign_transfer(std::string_view json, std::string_view pri_key) {
  return sign_hash(transfer_hash_internal(TARVO_TRY(Transfer::from_json(json))), pri_key);
}
Result<JubjubSignature> sign_limit_order(std::string_view json, std::string_view pri_key) {
  const LimitOrderRequest order = TARVO_TRY(LimitOrderRequest::from_json(json));
  return sign_hash(TARVO_TRY(limit_order_hash_internal(order)), pri_key);
}
Result<JubjubSignature> sign_liquidate(std::string_view json, std::string_view pri_key) {
  const Liquidate liquidation = TARVO_TRY(Liquidate::from_json(json));
  return sign_hash(TARVO_TRY(limit_order_hash_internal(liquidation.liquidator_order)), pri_key);
}
Result<JubjubSignature> sign_signed_oracle_price(std::string_view json, std::string_view pri_key) {
  return sign_hash(oracle_price_hash(TARVO_TRY(SignedOraclePrice::from_json(json))), pri_key);
}

}  // namespace tarvo::sdk
