#include "sdk/src/transaction/hash_layouts.h"

#include <gtest/gtest.h>

#include "sdk/src/hashing/hash.h"

namespace tarvo {
namespace {

constexpr uint64_t P(unsigned k) { return uint64_t{1} << k; }

Transfer sample_transfer() {
  Transfer t;
  t.asset_id = U256::from_u64(4);
  t.sender_position_id = 1;
  t.receiver_position_id = 2;
  t.amount = 3;
  t.base.nonce = 5;
  t.base.expiration_timestamp = 6;
  t.base.public_key = U256::from_u64(77);
  t.receiver_public_key = U256::from_u64(88);
  return t;
}

LimitOrderRequest sample_order(bool buying) {
  LimitOrderRequest o;
  o.asset_id_synthetic = 1;
  o.asset_id_collateral = U256::from_u64(2);
  o.amount_synthetic = 3;
  o.amount_collateral = 4;
  o.amount_fee = 5;
  o.position_id = 6;
  o.base.nonce = 7;
  o.base.expiration_timestamp = 8;
  o.is_buying_synthetic = buying;
  return o;
}

std::vector<uint64_t> transfer_words(const Transfer& t) {
  std::vector<uint64_t> words;
  transfer_hash_internal(t, &words);
  return words;
}

std::vector<uint64_t> order_words(const LimitOrderRequest& o) {
  std::vector<uint64_t> words;
  EXPECT_TRUE(limit_order_hash_internal(o, &words).ok());
  return words;
}

TEST(TransferLayout, WorkedWordStream) {
  const std::vector<uint64_t> expected = {4,         0,     0,     0, 0, 0,         0,         0,
                                          P(32) + 5, P(33), P(32), 0, 0, 3 * P(18), 3 * P(49), P(51)};
  EXPECT_EQ(transfer_words(sample_transfer()), expected);
}

TEST(TransferLayout, PublicKeysTakeNoPartAndTheSenderFillsTwoSlots) {
  Transfer other_keys = sample_transfer();
  other_keys.base.public_key = U256::from_u64(1);
  other_keys.receiver_public_key = U256{};
  EXPECT_EQ(transfer_hash_internal(other_keys), transfer_hash_internal(sample_transfer()));
  Transfer other_sender = sample_transfer();
  other_sender.sender_position_id = 9;
  const auto words = transfer_words(other_sender);
  EXPECT_EQ(words[8], 9 * P(32) + 5);
  EXPECT_EQ(words[10], 9 * P(32));
}

TEST(TransferLayout, NonceCarriesIntoTheBitsAbove) {
  Transfer t = sample_transfer();
  t.sender_position_id = 0xffffffff;  // low 32 bits of P0's first limb above the nonce are all ones
  t.base.nonce = P(32);
  const auto words = transfer_words(t);
  EXPECT_EQ(words[8], 0u);
  EXPECT_EQ(words[9], 2 * P(32) + 1);  // receiver (2) shifted, plus the carry
}

TEST(TransferLayout, TopBitOfTheAssetIsIgnored) {
  Transfer t = sample_transfer();
  t.asset_id.limbs[3] = P(63);
  EXPECT_EQ(transfer_hash_internal(t), transfer_hash_internal(sample_transfer()));
}

TEST(WithdrawalLayout, OwnAddressUsesTagSixAndTheAssetDirectly) {
  OrderBase base{5, U256::from_u64(1234), 6};
  const U256 p{{3 * P(50), 3 * P(17), P(50) + 5 * P(17), 3 * P(50)}};
  EXPECT_EQ(withdrawal_hash(base.public_key, base, 2, 3, U256::from_u64(4)), hash2(U256::from_u64(4), p));
}

TEST(WithdrawalLayout, AnyOtherAddressUsesTagSevenAndHash2) {
  OrderBase base{5, U256::from_u64(1234), 6};
  const U256 p{{3 * P(50), 3 * P(17), P(50) + 5 * P(17), 7 * P(49)}};
  // Differs from the public key in bit 255 only: still another address.
  U256 address = base.public_key;
  address.limbs[3] |= P(63);
  const U256 f = hash2(U256::from_u64(4), address);
  EXPECT_EQ(withdrawal_hash(address, base, 2, 3, U256::from_u64(4)), hash2(f, p));
}

TEST(LimitOrderLayout, WorkedWordStreams) {
  const std::vector<uint64_t> p1 = {3 * P(50) + P(20), 3 * P(50), 3 * P(50), 3 * P(49)};
  std::vector<uint64_t> buying = {2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 5 * P(32) + 7, 3 * P(32), P(34), 0};
  buying.insert(buying.end(), p1.begin(), p1.end());
  EXPECT_EQ(order_words(sample_order(true)), buying);
  std::vector<uint64_t> selling = {1, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 5 * P(32) + 7, P(34), 3 * P(32), 0};
  selling.insert(selling.end(), p1.begin(), p1.end());
  EXPECT_EQ(order_words(sample_order(false)), selling);
}

TEST(LimitOrderLayout, NonceWrapsWithinTheFirstLimb) {
  LimitOrderRequest o = sample_order(true);
  o.amount_fee = P(32) - 1;
  o.base.nonce = P(32);
  const auto words = order_words(o);
  EXPECT_EQ(words[12], 0u);
  EXPECT_EQ(words[13], 3 * P(32));  // buy amount only: no carry
}

TEST(LimitOrderLayout, NegativeSyntheticAssetIsRefused) {
  LimitOrderRequest o = sample_order(true);
  o.asset_id_synthetic = -1;
  const auto hash = limit_order_hash_internal(o);
  ASSERT_FALSE(hash.ok());
  EXPECT_EQ(hash.error().message(), "Unsigned integer can't be created from negative value");
}

TEST(OraclePriceLayout, PriceAboveTimestamp) {
  SignedOraclePrice price;
  price.signed_asset_id = U256::from_u64(1);
  price.external_price = 2;
  price.timestamp = 3;
  price.signer_key = U256::from_u64(99);
  EXPECT_EQ(oracle_price_hash(price), hash2(U256::from_u64(1), U256::from_u64(P(33) + 3)));
  price.signer_key = U256{};
  EXPECT_EQ(oracle_price_hash(price), hash2(U256::from_u64(1), U256::from_u64(P(33) + 3)));
}

}  // namespace
}  // namespace tarvo
