// Request records: accepted forms and the member values they give.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "sdk/tests/request_samples.h"
#include "sdk/tests/request_test_support.h"

namespace tarvo::testing {
namespace {

TEST(RequestRecords, EverySharedVectorRequestParsesToTheIndependentlyDerivedMembers) {
  for (const auto& sample : shared_vector_requests()) {
    SCOPED_TRACE(sample.text);
    EXPECT_EQ(outcome(sample.record, sample.text), "ok: " + sample.members);
  }
}

TEST(RequestRecords, EachRecordReadsItsMembersAndTheHeader) {
  EXPECT_EQ(
      outcome<Transfer>(kTransfer),
      "ok: nonce=6;public_key=" + U256::from_u64(7).to_hex() +
          ";expiration_timestamp=8;sender_position_id=1;receiver_public_key=" + U256::from_u64(2).to_hex() +
          ";receiver_position_id=3;amount=4;asset_id=" + U256::from_u64(5).to_hex());
  const auto withdraw = WithdrawRequest::from_json(kWithdraw);
  ASSERT_TRUE(withdraw.ok()) << withdraw.error().message();
  EXPECT_EQ(withdraw->position_id, 1u);
  EXPECT_EQ(withdraw->amount, 2u);
  EXPECT_EQ(withdraw->eth_address, U256::from_u64(3));
  EXPECT_EQ(withdraw->asset_id, U256::from_u64(4));
  EXPECT_EQ(withdraw->base, (OrderBase{5, U256::from_u64(6), 7}));

  const auto order = LimitOrderRequest::from_json(kLimitOrder);
  ASSERT_TRUE(order.ok()) << order.error().message();
  EXPECT_TRUE(order->asset_id_synthetic == 4);
  EXPECT_TRUE(order->is_buying_synthetic);
  EXPECT_EQ(order->base, (OrderBase{7, U256::from_u64(8), 9}));

  const auto liquidate = Liquidate::from_json(kLiquidate);
  ASSERT_TRUE(liquidate.ok()) << liquidate.error().message();
  EXPECT_EQ(liquidate->liquidator_order, order.value());
  EXPECT_EQ(liquidate->actual_liquidator_fee, 13u);

  const auto price = SignedOraclePrice::from_json(kOraclePrice);
  ASSERT_TRUE(price.ok()) << price.error().message();
  EXPECT_TRUE(price->external_price == 2);
  EXPECT_EQ(price->timestamp, 3u);
}

TEST(RequestRecords, ArrayFormsEqualTheObjectForms) {
  const std::string liquidate_array = "[" + kLimitOrder + R"(,"10","11","12","13"])";
  EXPECT_EQ(outcome<Liquidate>(liquidate_array), outcome<Liquidate>(kLiquidate));
  EXPECT_EQ(outcome<SignedOraclePrice>(R"( [ "0x1" , "2" , "3" , "0x4" ] )"),
            outcome<SignedOraclePrice>(kOraclePrice));
}

TEST(RequestRecords, KeyOrderBlanksAndEscapesDoNotMatter) {
  EXPECT_EQ(outcome<Transfer>(
                "\r\n\t {\n \"expiration_timestamp\" :\t\"8\" , \"public_key\":\"0x7\",\"nonce\":\"6\",\n"
                R"("asset_id":"0x5","amount":"4","receiver_position_id":"3","receiver_public_key":"0x2",)"
                "\"sender_position_id\":\"1\" \n}\r\n "),
            outcome<Transfer>(kTransfer));
  // Keys and values are unescaped before they are compared or decoded.
  EXPECT_EQ(
      outcome<Transfer>(
          R"({"sender_position_id":"\u0031","receiver_public_key":"\u00302","receiver_position_id":"3",)"
          R"("\u0061mount":"4","asset_id":"0x5","nonce":"6","public\u005fkey":"0x7",)"
          R"("expiration_timestamp":"\u0038"})"),
      outcome<Transfer>(kTransfer));
}

TEST(RequestRecords, UnknownKeysAreSkippedWhateverTheirValue) {
  for (const char* extra : {R"(,"extra":{"a":[1,{"b":null}],"c":"\ud83d\ude00"})", R"(,"extra":[])",
                            R"(,"extra":-1.5e-3)", R"(,"extra":18446744073709551616)", R"(,"extra":null)",
                            R"(,"extra":true)", R"(,"Amount":"x")", R"(,"":"")", R"(,"base":{})"}) {
    SCOPED_TRACE(extra);
    EXPECT_EQ(outcome<Transfer>(transfer_with(extra)), outcome<Transfer>(kTransfer));
    EXPECT_EQ(outcome<WithdrawRequest>(kWithdraw.substr(0, kWithdraw.size() - 1) + extra + "}"),
              outcome<WithdrawRequest>(kWithdraw));
    EXPECT_EQ(outcome<LimitOrderRequest>(kLimitOrder.substr(0, kLimitOrder.size() - 1) + extra + "}"),
              outcome<LimitOrderRequest>(kLimitOrder));
    EXPECT_EQ(outcome<Liquidate>(kLiquidate.substr(0, kLiquidate.size() - 1) + extra + "}"),
              outcome<Liquidate>(kLiquidate));
    EXPECT_EQ(outcome<SignedOraclePrice>(kOraclePrice.substr(0, kOraclePrice.size() - 1) + extra + "}"),
              outcome<SignedOraclePrice>(kOraclePrice));
  }
}

TEST(RequestRecords, NumberTextEdgeCasesAtTheRecordLevel) {
  const auto amount = [](std::string_view value) {
    return outcome<Transfer>(
        R"({"sender_position_id":"1","receiver_public_key":"0x2","receiver_position_id":"3",)"
        R"("asset_id":"0x5","nonce":"6","public_key":"0x7","expiration_timestamp":"8",)"
        R"("amount":)" +
        std::string(value) + "}");
  };
  EXPECT_NE(amount(R"("+17")").find(";amount=17;"), std::string::npos);
  EXPECT_NE(amount(R"("00018446744073709551615")").find(";amount=18446744073709551615;"), std::string::npos);

  const auto asset_id = [](std::string_view value) {
    const auto parsed = Transfer::from_json(
        R"({"sender_position_id":"1","receiver_public_key":"0x2","receiver_position_id":"3","amount":"4",)"
        R"("nonce":"6","public_key":"0x7","expiration_timestamp":"8","asset_id":)" +
        std::string(value) + "}");
    return parsed ? parsed->asset_id.to_hex() : parsed.error().message();
  };
  EXPECT_EQ(asset_id(R"("0x")"), U256{}.to_hex());
  EXPECT_EQ(asset_id(R"("")"), U256{}.to_hex());
  EXPECT_EQ(asset_id(R"("0xABC")"), asset_id(R"("0xabc")"));
  EXPECT_EQ(asset_id(R"("0x8000000000000000000000000000000000000000000000000000000000000004")"),
            "0x8000000000000000000000000000000000000000000000000000000000000004");
  EXPECT_EQ(asset_id(R"("0x\u00e9")"),
            "u256 from string error: Invalid character '\xc3\xa9' at position 0" + col(173));
  EXPECT_EQ(asset_id(R"("0x1\ud83d\ude00")"),
            "u256 from string error: Invalid character '\xf0\x9f\x98\x80' at position 2" + col(180));

  const auto synthetic = [](std::string_view value) {
    const auto parsed = LimitOrderRequest::from_json(
        R"({"amount_synthetic":"1","amount_collateral":"2","amount_fee":"3","asset_id_collateral":"0x5",)"
        R"("position_id":"6","is_buying_synthetic":false,"nonce":"7","public_key":"0x8","expiration_timestamp":"9",)"
        R"("asset_id_synthetic":)" +
        std::string(value) + "}");
    return parsed ? i128_to_string(parsed->asset_id_synthetic) : parsed.error().message();
  };
  EXPECT_EQ(synthetic(R"("0x0x1f")"), "31");
  EXPECT_EQ(synthetic(R"("0x-5")"), "-5");
  EXPECT_EQ(synthetic(R"("-80000000000000000000000000000000")"), "-170141183460469231731687303715884105728");
  EXPECT_EQ(synthetic(R"("-0x5")"), "decode hex string error: invalid digit found in string" + col(224));
  EXPECT_EQ(synthetic(R"("0X1f")"), "decode hex string error: invalid digit found in string" + col(224));

  const auto price = [](std::string_view value) {
    const auto parsed = SignedOraclePrice::from_json(
        R"({"signer_key":"0x1","timestamp":"3","signed_asset_id":"0x4","external_price":)" +
        std::string(value) + "}");
    return parsed ? u128_to_string(parsed->external_price) : parsed.error().message();
  };
  EXPECT_EQ(price(R"("340282366920938463463374607431768211455")"), "340282366920938463463374607431768211455");
  EXPECT_EQ(price(R"("340282366920938463463374607431768211456")"),
            "decode u128 string error: number too large to fit in target type" + col(118));
}

}  // namespace
}  // namespace tarvo::testing
