// How each request is packed into 64-bit words and hashed: bit-exact contracts with the exchange's
// verifier. Members that the layouts leave out (the transfer's public keys, the liquidation's own
// figures, the oracle's signer key) are parsed but never hashed.
#pragma once

#include <cstdint>
#include <vector>

#include "crypto/base/result.h"
#include "sdk/src/transaction/limit_order.h"
#include "sdk/src/transaction/liquidate.h"
#include "sdk/src/transaction/oracle_price.h"
#include "sdk/src/transaction/transfer.h"
#include "sdk/src/transaction/withdraw.h"

namespace tarvo {

// Type tags in the top bits of the last packed word.
inline constexpr uint64_t LIMIT_ORDER_TAG = 3;
inline constexpr uint64_t TRANSFER_TAG = 4;
inline constexpr uint64_t WITHDRAWAL_TAG = 6;
inline constexpr uint64_t WITHDRAWAL_TO_ADDRESS_TAG = 7;

// 16 words: asset_id, 0, P0 (positions and nonce), P1 (tag, amount, expiration). `recorded_words`,
// when given, receives the word stream.
U256 transfer_hash_internal(const Transfer& transfer, std::vector<uint64_t>* recorded_words = nullptr);

// hash2(F, P): F is asset_id when eth_address equals the header's public key (all 256 bits), else
// hash2(asset_id, eth_address) with the to-address tag.
U256 withdrawal_hash(const U256& eth_address, const OrderBase& base, uint64_t position_id, uint64_t amount,
                     const U256& asset_id);

// 20 words: A, B (the assets in the order the buy side decides), asset_id_collateral, P0, P1. Refuses a
// negative asset_id_synthetic with "Unsigned integer can't be created from negative value".
Result<U256> limit_order_hash_internal(const LimitOrderRequest& order,
                                       std::vector<uint64_t>* recorded_words = nullptr);

// hash2(signed_asset_id, external_price·2^32 + timestamp).
U256 oracle_price_hash(const SignedOraclePrice& price);

// The hash of each request, one overload per record over its layout: what its kind's hash and sign
// operations compute. Only the kinds whose layout can refuse a record return a Result.
inline U256 request_hash(const Transfer& transfer) { return transfer_hash_internal(transfer); }
inline U256 request_hash(const WithdrawRequest& withdrawal) {
  return withdrawal_hash(withdrawal.eth_address, withdrawal.base, withdrawal.position_id, withdrawal.amount,
                         withdrawal.asset_id);
}
inline Result<U256> request_hash(const LimitOrderRequest& order) { return limit_order_hash_internal(order); }
// A liquidation is the limit order hash of its liquidator's order alone; its own figures take no part.
inline Result<U256> request_hash(const Liquidate& liquidation) {
  return limit_order_hash_internal(liquidation.liquidator_order);
}
inline U256 request_hash(const SignedOraclePrice& price) { return oracle_price_hash(price); }

}  // namespace tarvo
