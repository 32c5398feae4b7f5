// The transaction entry points of the core library parse their request record first and report its
// parse error as their own.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sdk/src/functions/core.h"

namespace tarvo::sdk {
namespace {

struct EntryPoint {
  const char* name;
  std::function<Error(std::string_view json)>
      failure;         // the error of the call (an empty one if it succeeded)
  std::string valid;   // a request its record accepts
  std::string record;  // the record name in invalid-type errors
};

template <class T>
Error error_of(const Result<T>& result) {
  return result ? Error("") : result.error();
}

const std::string kOrder =
    R"({"amount_synthetic":"1","amount_collateral":"2","amount_fee":"3","asset_id_synthetic":"0x4",)"
    R"("asset_id_collateral":"0x5","position_id":"6","is_buying_synthetic":true,"nonce":"7","public_key":"0x8",)"
    R"("expiration_timestamp":"9"})";
const std::string kWithdraw =
    R"({"position_id":"1","amount":"2","eth_address":"0x3","asset_id":"0x4","nonce":"5","public_key":"0x6",)"
    R"("expiration_timestamp":"7"})";
const std::string kTransfer =
    R"({"sender_position_id":"1","receiver_public_key":"0x2","receiver_position_id":"3","amount":"4",)"
    R"("asset_id":"0x5","nonce":"6","public_key":"0x7","expiration_timestamp":"8"})";
const std::string kLiquidate = "[" + kOrder + R"(,"10","11","12","13"])";
const std::string kPrice = R"(["0x1","2","3","0x4"])";
constexpr std::string_view kKey = "0x01";

// A request and the record name of each kind, in the order of REQUEST_KINDS.
const std::pair<std::string, std::string> kKindSamples[] = {
    {kWithdraw, "WithdrawRequest"}, {kTransfer, "Transfer"},       {kOrder, "LimitOrderRequest"},
    {kLiquidate, "Liquidate"},      {kPrice, "SignedOraclePrice"},
};
static_assert(std::size(kKindSamples) == REQUEST_KINDS.size());

std::vector<EntryPoint> entry_points() {
  std::vector<EntryPoint> entry_points;
  for (size_t k = 0; k < REQUEST_KINDS.size(); ++k) {
    const RequestKind& kind = REQUEST_KINDS[k];
    const auto& [valid, record] = kKindSamples[k];
    entry_points.push_back(
        {kind.hash_name, [&kind](auto j) { return error_of(kind.hash(j)); }, valid, record});
    entry_points.push_back(
        {kind.sign_name, [&kind](auto j) { return error_of(kind.sign(j, kKey)); }, valid, record});
  }
  return entry_points;
}

TEST(CoreEntryPoints, EachParsesItsOwnRecordAndReportsTheParseError) {
  for (const EntryPoint& e : entry_points()) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.failure("5").message(),
              "invalid type: integer `5`, expected struct " + e.record + " at line 1 column 1");
    EXPECT_EQ(e.failure(e.valid + " x").message(),
              "trailing characters at line 1 column " + std::to_string(e.valid.size() + 2));
    // A request of the right kind gets past parsing: whatever it yields is no JSON error.
    EXPECT_EQ(e.failure(e.valid).message().find(" at line "), std::string::npos)
        << e.failure(e.valid).message();
  }
}

TEST(CoreEntryPoints, SharedVectorParseErrors) {
  EXPECT_EQ(hash_request<Transfer>("{}").error().message(),
            "missing field `sender_position_id` at line 1 column 2");
  EXPECT_EQ(
      hash_request<SignedOraclePrice>(
          R"({"signed_asset_id": "0x1", "external_price": "340282366920938463463374607431768211456", "timestamp": "3", "signer_key": "0x5"})")
          .error()
          .message(),
      "decode u128 string error: number too large to fit in target type at line 1 column 86");
}

}  // namespace
}  // namespace tarvo::sdk
