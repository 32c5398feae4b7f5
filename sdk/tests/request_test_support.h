// Helpers of the request record tests: member listings, outcomes, error tables and valid requests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "sdk/src/numbers/number_text.h"
#include "sdk/src/transaction/limit_order.h"
#include "sdk/src/transaction/liquidate.h"
#include "sdk/src/transaction/oracle_price.h"
#include "sdk/src/transaction/transfer.h"
#include "sdk/src/transaction/withdraw.h"
#include "sdk/tests/int128_text.h"

namespace tarvo::testing {

// Members as "name=value;..." (integers decimal, 256-bit values as 0x and 64 digits): the form of
// request_samples.h.
inline std::string show(uint64_t v) { return std::to_string(v); }
inline std::string show(unsigned __int128 v) { return u128_to_string(v); }
inline std::string show(__int128 v) { return i128_to_string(v); }
inline std::string show(const U256& v) { return v.to_hex(); }
inline std::string show(bool v) { return v ? "true" : "false"; }

inline std::string members(const OrderBase& b) {
  return "nonce=" + show(b.nonce) + ";public_key=" + show(b.public_key) +
         ";expiration_timestamp=" + show(uint64_t{b.expiration_timestamp});
}
inline std::string members(const Transfer& t) {
  return members(t.base) + ";sender_position_id=" + show(t.sender_position_id) +
         ";receiver_public_key=" + show(t.receiver_public_key) +
         ";receiver_position_id=" + show(t.receiver_position_id) + ";amount=" + show(t.amount) +
         ";asset_id=" + show(t.asset_id);
}
inline std::string members(const WithdrawRequest& w) {
  return members(w.base) + ";position_id=" + show(w.position_id) + ";amount=" + show(w.amount) +
         ";eth_address=" + show(w.eth_address) + ";asset_id=" + show(w.asset_id);
}
inline std::string members(const LimitOrderRequest& o) {
  return members(o.base) + ";amount_synthetic=" + show(o.amount_synthetic) +
         ";amount_collateral=" + show(o.amount_collateral) + ";amount_fee=" + show(o.amount_fee) +
         ";asset_id_synthetic=" + show(o.asset_id_synthetic) +
         ";asset_id_collateral=" + show(o.asset_id_collateral) + ";position_id=" + show(o.position_id) +
         ";is_buying_synthetic=" + show(o.is_buying_synthetic);
}
inline std::string members(const Liquidate& l) {
  return "liquidator_order={" + members(l.liquidator_order) +
         "};liquidated_position_id=" + show(l.liquidated_position_id) +
         ";actual_collateral=" + show(l.actual_collateral) + ";actual_synthetic=" + show(l.actual_synthetic) +
         ";actual_liquidator_fee=" + show(l.actual_liquidator_fee);
}
inline std::string members(const SignedOraclePrice& p) {
  return "signer_key=" + show(p.signer_key) + ";external_price=" + show(p.external_price) +
         ";timestamp=" + show(uint64_t{p.timestamp}) + ";signed_asset_id=" + show(p.signed_asset_id);
}

// Either "ok: <members>" or "error: <message>".
template <class R>
std::string outcome(std::string_view text) {
  auto parsed = R::from_json(text);
  return parsed ? "ok: " + members(parsed.value()) : "error: " + parsed.error().message();
}

inline std::string outcome(std::string_view record, std::string_view text) {
  if (record == "Transfer") return outcome<Transfer>(text);
  if (record == "WithdrawRequest") return outcome<WithdrawRequest>(text);
  if (record == "LimitOrderRequest") return outcome<LimitOrderRequest>(text);
  if (record == "Liquidate") return outcome<Liquidate>(text);
  if (record == "SignedOraclePrice") return outcome<SignedOraclePrice>(text);
  return "unknown record " + std::string(record);
}

// A request and the exact error text it must give (position included).
struct ErrorCase {
  std::string record;
  std::string text;
  std::string error;
};

inline void expect_errors(const std::vector<ErrorCase>& cases) {
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.record + " " + c.text);
    EXPECT_EQ(outcome(c.record, c.text), "error: " + c.error);
  }
}

// Valid requests to build cases from. Each is a single line.
inline const std::string kTransfer =
    R"({"sender_position_id":"1","receiver_public_key":"0x2","receiver_position_id":"3","amount":"4",)"
    R"("asset_id":"0x5","nonce":"6","public_key":"0x7","expiration_timestamp":"8"})";
inline const std::string kTransferOwn =  // the own members only, without the closing brace
    R"({"sender_position_id":"1","receiver_public_key":"0x2","receiver_position_id":"3","amount":"4",)"
    R"("asset_id":"0x5")";
inline const std::string kWithdraw =
    R"({"position_id":"1","amount":"2","eth_address":"0x3","asset_id":"0x4","nonce":"5","public_key":"0x6",)"
    R"("expiration_timestamp":"7"})";
inline const std::string kLimitOrder =
    R"({"amount_synthetic":"1","amount_collateral":"2","amount_fee":"3","asset_id_synthetic":"0x4",)"
    R"("asset_id_collateral":"0x5","position_id":"6","is_buying_synthetic":true,"nonce":"7","public_key":"0x8",)"
    R"("expiration_timestamp":"9"})";
inline const std::string kLiquidate = R"({"liquidator_order":)" + kLimitOrder +
                                      R"(,"liquidated_position_id":"10","actual_collateral":"11",)"
                                      R"("actual_synthetic":"12","actual_liquidator_fee":"13"})";
inline const std::string kOraclePrice =
    R"({"signer_key":"0x1","external_price":"2","timestamp":"3","signed_asset_id":"0x4"})";

// kTransfer with `extra` inserted just before its closing brace.
inline std::string transfer_with(std::string_view extra) {
  return kTransfer.substr(0, kTransfer.size() - 1) + std::string(extra) + "}";
}

inline std::string col(size_t column) { return " at line 1 column " + std::to_string(column); }

}  // namespace tarvo::testing
