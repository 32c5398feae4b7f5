#include "sdk/src/transaction/hash_layouts.h"

#include "sdk/src/hashing/hash.h"

namespace tarvo {

namespace {

U256 u64(uint64_t value) { return U256::from_u64(value); }

U256 finalize(PoseidonHasher& hasher) { return U256{hasher.finalize()}; }

}  // namespace

U256 transfer_hash_internal(const Transfer& transfer, std::vector<uint64_t>* recorded_words) {
  // The sender's position fills two slots; the nonce addition carries into the bits above it.
  const U256 p0 = ((u64(transfer.sender_position_id).shl(64) + u64(transfer.receiver_position_id)).shl(64) +
                   u64(transfer.sender_position_id))
                      .shl(32) +
                  u64(transfer.base.nonce);
  const U256 p1 = (((u64(TRANSFER_TAG).shl(64) + u64(transfer.amount)).shl(64)).shl(32) +
                   u64(transfer.base.expiration_timestamp))
                      .shl(81);
  PoseidonHasher hasher(recorded_words);
  update_word_group(hasher, transfer.asset_id);
  update_word_group(hasher, U256{});
  update_word_group(hasher, p0);
  update_word_group(hasher, p1);
  return finalize(hasher);
}

U256 withdrawal_hash(const U256& eth_address, const OrderBase& base, uint64_t position_id, uint64_t amount,
                     const U256& asset_id) {
  const bool to_address = !(eth_address == base.public_key);
  const U256 f = to_address ? hash2(asset_id, eth_address) : asset_id;
  U256 p = u64(to_address ? WITHDRAWAL_TO_ADDRESS_TAG : WITHDRAWAL_TAG);
  p = p.shl(64) + u64(position_id);
  p = p.shl(32) + u64(base.nonce);
  p = p.shl(64) + u64(amount);
  p = p.shl(32) + u64(base.expiration_timestamp);
  return hash2(f, p.shl(49));
}

Result<U256> limit_order_hash_internal(const LimitOrderRequest& order,
                                       std::vector<uint64_t>* recorded_words) {
  const U256 synthetic = TARVO_TRY(U256::from_i128(order.asset_id_synthetic));
  const bool buying = order.is_buying_synthetic;
  const U256& a = buying ? order.asset_id_collateral : synthetic;
  const U256& b = buying ? synthetic : order.asset_id_collateral;
  const uint64_t sell = buying ? order.amount_collateral : order.amount_synthetic;
  const uint64_t buy = buying ? order.amount_synthetic : order.amount_collateral;
  U256 p0 = ((u64(sell).shl(64) + u64(buy)).shl(64) + u64(order.amount_fee)).shl(32);
  p0.limbs[0] += order.base.nonce;  // within limb 0 only: no carry into limb 1
  const U256 position = u64(order.position_id);
  const U256 p1 =
      ((((u64(LIMIT_ORDER_TAG).shl(64) + position).shl(64) + position).shl(64) + position).shl(32) +
       u64(order.base.expiration_timestamp))
          .shl(17);
  PoseidonHasher hasher(recorded_words);
  update_word_group(hasher, a);
  update_word_group(hasher, b);
  update_word_group(hasher, order.asset_id_collateral);
  update_word_group(hasher, p0);
  update_word_group(hasher, p1);
  return finalize(hasher);
}

U256 oracle_price_hash(const SignedOraclePrice& price) {
  return hash2(price.signed_asset_id, U256::from_u128(price.external_price).shl(32) + u64(price.timestamp));
}

}  // namespace tarvo
