// Malformed requests: the exact error text, with its position, for every kind of problem.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "sdk/tests/request_test_support.h"

namespace tarvo::testing {
namespace {

// The request-level cases of the shared errors.json (the text after "Couldn't get hash: ").
TEST(RequestErrors, SharedErrorVectors) {
  expect_errors({
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":5,"nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(invalid type: integer `5`, expected a string at line 1 column 80)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"-1","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u64 from string error: invalid digit found in string at line 1 column 83)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u64 from string error: cannot parse integer from empty string at line 1 column 81)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"18446744073709551616","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u64 from string error: number too large to fit in target type at line 1 column 101)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"4294967296","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u64 from string error: number too large to fit in target type at line 1 column 178)"},
      {"Transfer",
       R"({"asset_id":"0x11111111111111111111111111111111111111111111111111111111111111111","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u256 from string error: Invalid string length at line 1 column 81)"},
      {"Transfer",
       R"({"asset_id":"0x0x1f","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u256 from string error: Invalid character 'x' at position 1 at line 1 column 20)"},
      {"Transfer",
       R"({"asset_id":"0xabz","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u256 from string error: Invalid character 'z' at position 3 at line 1 column 19)"},
      {"Transfer",
       R"({"asset_id":"0xabzz","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"})",
       R"(u256 from string error: Invalid character 'z' at position 2 at line 1 column 20)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0xzz","receiver_public_key":"0x2"})",
       R"(Invalid character 'z' at position 0 at line 1 column 170)"},
      {"Transfer", R"({})", R"(missing field `sender_position_id` at line 1 column 2)"},
      {"Transfer", R"([1])", R"(invalid type: sequence, expected struct Transfer at line 1 column 0)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2")",
       R"(EOF while parsing an object at line 1 column 168)"},
      {"Transfer",
       R"({"asset_id":"0x4","sender_position_id":"1","receiver_position_id":"2","amount":"3","nonce":"5","expiration_timestamp":"6","public_key":"0x1","receiver_public_key":"0x2"}x)",
       R"(trailing characters at line 1 column 170)"},
      {"Transfer", R"({"amount":"1","amount":"2"})", R"(duplicate field `amount` at line 1 column 22)"},
      {"LimitOrderRequest",
       R"({"asset_id_synthetic": "0x", "asset_id_collateral": "0x2", "amount_synthetic": "3", "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "nonce": "7", "expiration_timestamp": "8", "is_buying_synthetic": true, "public_key": "0x1"})",
       R"(decode hex string error: cannot parse integer from empty string at line 1 column 27)"},
      {"LimitOrderRequest",
       R"({"asset_id_synthetic": "0x1", "asset_id_collateral": "0x2", "amount_synthetic": "3", "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "nonce": "7", "expiration_timestamp": "8", "is_buying_synthetic": "true", "public_key": "0x1"})",
       R"(invalid type: string "true", expected a boolean at line 1 column 222)"},
      {"SignedOraclePrice",
       R"({"signed_asset_id": "0x1", "external_price": "340282366920938463463374607431768211456", "timestamp": "3", "signer_key": "0x5"})",
       R"(decode u128 string error: number too large to fit in target type at line 1 column 86)"},
      {"Liquidate",
       R"([{"asset_id_synthetic": "0x1", "asset_id_collateral": "0x2", "amount_synthetic": "3", "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "nonce": "7", "expiration_timestamp": "8", "is_buying_synthetic": true, "public_key": "0x1"}, "1", "2", "3"])",
       R"(invalid length 4, expected struct Liquidate with 5 elements at line 1 column 259)"},
  });
}

TEST(RequestErrors, InvalidTypesDescribeWhatWasMetJustAfterIt) {
  expect_errors({
      {"Transfer", R"({"amount":5})", "invalid type: integer `5`, expected a string" + col(11)},
      {"Transfer", R"({"amount": -5 })", "invalid type: integer `-5`, expected a string" + col(13)},
      {"Transfer", R"({"amount":1.5})", "invalid type: floating point `1.5`, expected a string" + col(13)},
      {"Transfer", R"({"amount":-0})", "invalid type: floating point `-0.0`, expected a string" + col(12)},
      {"Transfer", R"({"amount":1e2})", "invalid type: floating point `100.0`, expected a string" + col(13)},
      {"Transfer", R"({"amount":1E+2})", "invalid type: floating point `100.0`, expected a string" + col(14)},
      {"Transfer", R"({"amount":1e-7})",
       "invalid type: floating point `0.0000001`, expected a string" + col(14)},
      {"Transfer", R"({"amount":0.1})", "invalid type: floating point `0.1`, expected a string" + col(13)},
      {"Transfer", R"({"amount":1e-400})", "invalid type: floating point `0.0`, expected a string" + col(16)},
      {"Transfer", R"({"amount":18446744073709551615})",
       "invalid type: integer `18446744073709551615`, expected a string" + col(30)},
      {"Transfer", R"({"amount":18446744073709551616})",
       "invalid type: floating point `18446744073709552000.0`, expected a string" + col(30)},
      {"Transfer", R"({"amount":-9223372036854775808})",
       "invalid type: integer `-9223372036854775808`, expected a string" + col(30)},
      {"Transfer", R"({"amount":-9223372036854775809})",
       "invalid type: floating point `-9223372036854776000.0`, expected a string" + col(30)},
      {"Transfer", R"({"amount":null})", "invalid type: null, expected a string" + col(14)},
      {"Transfer", R"({"amount":true})", "invalid type: boolean `true`, expected a string" + col(14)},
      {"Transfer", R"({"amount":false})", "invalid type: boolean `false`, expected a string" + col(15)},
      // A container is refused before its opening bracket, without being read.
      {"Transfer", R"({"amount":[1,)", "invalid type: sequence, expected a string" + col(10)},
      {"Transfer", R"({"amount": {"a")", "invalid type: map, expected a string" + col(11)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":"true"})",
       R"(invalid type: string "true", expected a boolean)" + col(29)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":1})",
       "invalid type: integer `1`, expected a boolean" + col(24)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":[]})",
       "invalid type: sequence, expected a boolean" + col(23)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":)", "EOF while parsing a value" + col(23)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":tru})", "expected ident" + col(27)},
      {"Liquidate", R"({"liquidator_order":)", "EOF while parsing a value" + col(20)},
      // Surrogate pairs at the ends of their ranges, and the code points just outside them.
      {"LimitOrderRequest", R"({"is_buying_synthetic":"\ud800\udc00\udbff\udfff\ud7ff\ue000"})",
       "invalid type: string \"\xf0\x90\x80\x80\\u{10ffff}\xed\x9f\xbf\\u{e000}\", expected a boolean" +
           col(61)},
      // Every escape, decoded, and quoted back with the controls escaped.
      {"LimitOrderRequest", R"({"is_buying_synthetic":"\"\\\/\b\f\n\r\t\u0000\u0041\u00e9\ud83d\ude00"})",
       R"(invalid type: string "\"\\/\u{8}\u{c}\n\r\t\0Aé😀", expected a boolean)" + col(71)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":"a\"b\\c\n\t\u0001\u007f\u00e9\u00a0"})",
       "invalid type: string \"a\\\"b\\\\c\\n\\t\\u{1}\\u{7f}\xc3\xa9\\u{a0}\", expected a boolean" +
           col(60)},
      {"Transfer", "5", "invalid type: integer `5`, expected struct Transfer" + col(1)},
      {"Transfer", R"("x")", R"(invalid type: string "x", expected struct Transfer)" + col(3)},
      {"WithdrawRequest", "null", "invalid type: null, expected struct WithdrawRequest" + col(4)},
      {"LimitOrderRequest", " [", "invalid type: sequence, expected struct LimitOrderRequest" + col(1)},
      {"Liquidate", "true", "invalid type: boolean `true`, expected struct Liquidate" + col(4)},
      {"SignedOraclePrice", "-1.5",
       "invalid type: floating point `-1.5`, expected struct SignedOraclePrice" + col(4)},
      {"Liquidate", R"({"liquidator_order":[]})",
       "invalid type: sequence, expected struct LimitOrderRequest" + col(20)},
      {"Liquidate", R"([[]])", "invalid type: sequence, expected struct LimitOrderRequest" + col(1)},
      {"Liquidate", R"({"liquidator_order":"{}"})",
       R"(invalid type: string "{}", expected struct LimitOrderRequest)" + col(24)},
  });
}

TEST(RequestErrors, MissingMembersOwnFirstThenHeaderAfterTheClosingBrace) {
  const std::string own = kTransferOwn;
  expect_errors({
      // Both amount and nonce missing: the own member is named.
      {"Transfer",
       R"({"sender_position_id":"1","receiver_public_key":"0x2","receiver_position_id":"3","asset_id":"0x5"})",
       "missing field `amount`" + col(98)},
      {"Transfer", own + "}", "missing field `nonce`" + col(own.size() + 1)},
      {"Transfer", own + R"(,"expiration_timestamp":"1","public_key":"0x1"})",
       "missing field `nonce`" + col(own.size() + 47)},
      {"Transfer", own + R"(,"nonce":"1","expiration_timestamp":"1"})",
       "missing field `public_key`" + col(own.size() + 40)},
      {"Transfer", own + R"(,"nonce":"1","public_key":"0x1"})",
       "missing field `expiration_timestamp`" + col(own.size() + 32)},
      // A header nested under a key of its own is not recognised.
      {"Transfer", own + R"(,"base":{"nonce":"1","public_key":"0x1","expiration_timestamp":"2"}})",
       "missing field `nonce`" + col(own.size() + 68)},
      // Header errors wait for the own members: a missing own member is reported first.
      {"Transfer", R"({"nonce":"x","public_key":"0xzz"})", "missing field `sender_position_id`" + col(33)},
      {"WithdrawRequest", R"({ })", "missing field `position_id`" + col(3)},
      {"LimitOrderRequest", R"({})", "missing field `amount_synthetic`" + col(2)},
      {"Liquidate", R"({})", "missing field `liquidator_order`" + col(2)},
      {"Liquidate", R"({"liquidator_order":{}})", "missing field `amount_synthetic`" + col(22)},
      {"Liquidate", R"({"liquidator_order":)" + kLimitOrder + "}",
       "missing field `liquidated_position_id`" + col(20 + kLimitOrder.size() + 1)},
      {"SignedOraclePrice", R"({"signer_key":"0x1","external_price":"2","timestamp":"3"})",
       "missing field `signed_asset_id`" + col(57)},
      // Keys are case-sensitive.
      {"SignedOraclePrice",
       R"({"Signer_key":"0x1","external_price":"2","timestamp":"3","signed_asset_id":"4"})",
       "missing field `signer_key`" + col(79)},
  });
}

TEST(RequestErrors, HeaderEntriesAreDecodedInOrderAfterTheObject) {
  const std::string own = kTransferOwn;
  const auto at_end = [&](std::string_view rest) { return col(own.size() + rest.size()); };
  const std::string bad_key_first = R"(,"public_key":"0xzz","nonce":"x","expiration_timestamp":"1"})";
  const std::string bad_nonce_first = R"(,"nonce":"x","public_key":"0xzz","expiration_timestamp":"1"})";
  const std::string twice = R"(,"nonce":"1","public_key":"0x1","expiration_timestamp":"1","nonce":"2"})";
  const std::string twice_bad_second =
      R"(,"nonce":"1","public_key":"0x1","nonce":"x","expiration_timestamp":"1"})";
  const std::string twice_bad_first =
      R"(,"nonce":"x","public_key":"0x1","nonce":"1","expiration_timestamp":"1"})";
  const std::string number = R"(,"nonce":5,"public_key":"0x1","expiration_timestamp":"1"})";
  const std::string seq = R"(,"nonce":[1,"2"],"public_key":"0x1","expiration_timestamp":"1"})";
  const std::string map = R"(,"nonce":{"a":1},"public_key":"0x1","expiration_timestamp":"1"})";
  const std::string null = R"(,"nonce":null,"public_key":"0x1","expiration_timestamp":"1"})";
  const std::string fraction = R"(,"nonce":2.5,"public_key":"0x1","expiration_timestamp":"1"})";
  const std::string wide = R"(,"nonce":"1","public_key":"0x1","expiration_timestamp":"4294967296"})";
  expect_errors({
      {"Transfer", own + bad_key_first, "Invalid character 'z' at position 0" + at_end(bad_key_first)},
      {"Transfer", own + bad_nonce_first,
       "u64 from string error: invalid digit found in string" + at_end(bad_nonce_first)},
      {"Transfer", own + twice, "duplicate field `nonce`" + at_end(twice)},
      {"Transfer", own + twice_bad_second, "duplicate field `nonce`" + at_end(twice_bad_second)},
      {"Transfer", own + twice_bad_first,
       "u64 from string error: invalid digit found in string" + at_end(twice_bad_first)},
      {"Transfer", own + number, "invalid type: integer `5`, expected a string" + at_end(number)},
      {"Transfer", own + seq, "invalid type: sequence, expected a string" + at_end(seq)},
      {"Transfer", own + map, "invalid type: map, expected a string" + at_end(map)},
      {"Transfer", own + null, "invalid type: null, expected a string" + at_end(null)},
      {"Transfer", own + fraction,
       "invalid type: floating point `2.5`, expected a string" + at_end(fraction)},
      {"Transfer", own + wide,
       "u64 from string error: number too large to fit in target type" + at_end(wide)},
      // Positioned just after the closing brace, before any blanks that follow it.
      {"Transfer", own + R"(,"nonce":"x" } )",
       "u64 from string error: invalid digit found in string" + col(own.size() + 14)},
      // A syntax error met before the object ends wins over a faulty header entry.
      {"Transfer", own + R"(,"nonce":"x",})", "trailing comma" + col(own.size() + 14)},
      {"Transfer", own + R"(,"nonce":"x")", "EOF while parsing an object" + col(own.size() + 12)},
      // An own member's error is reported where it is met, before the header is looked at.
      {"Transfer", R"({"nonce":"x","amount":"y"})",
       "u64 from string error: invalid digit found in string" + col(25)},
  });
}

TEST(RequestErrors, HeaderErrorsOfTheNestedOrderArePositionedAtItsOwnEnd) {
  const std::string order_without_nonce =
      R"({"amount_synthetic":"1","amount_collateral":"2","amount_fee":"3","asset_id_synthetic":"0x4",)"
      R"("asset_id_collateral":"0x5","position_id":"6","is_buying_synthetic":true,"public_key":"0x8",)"
      R"("expiration_timestamp":"9"})";
  const std::string prefix = R"({"liquidated_position_id":"10","liquidator_order":)";
  const std::string open_order = order_without_nonce.substr(0, order_without_nonce.size() - 1);
  const std::string bad_nonce = open_order + R"(,"nonce":"x"})";
  const std::string twice = open_order + R"(,"nonce":"1","nonce":"2"})";
  expect_errors({
      {"Liquidate", prefix + order_without_nonce + R"(,"actual_collateral":"11"})",
       "missing field `nonce`" + col(prefix.size() + order_without_nonce.size())},
      {"Liquidate", "[" + order_without_nonce + "]",
       "missing field `nonce`" + col(1 + order_without_nonce.size())},
      {"Liquidate", prefix + bad_nonce + "}",
       "u64 from string error: invalid digit found in string" + col(prefix.size() + bad_nonce.size())},
      {"Liquidate", prefix + twice + "}", "duplicate field `nonce`" + col(prefix.size() + twice.size())},
  });
}

TEST(RequestErrors, DuplicateKeysAreRefusedWhenTheSecondKeyIsRead) {
  expect_errors({
      {"Transfer", R"({"amount":"1","amount" : 5})", "duplicate field `amount`" + col(22)},
      {"Transfer", R"({"amount":"1","\u0061mount":"1"})", "duplicate field `amount`" + col(27)},
      {"Liquidate", R"({"actual_synthetic":"1","actual_synthetic":)",
       "duplicate field `actual_synthetic`" + col(42)},
      {"SignedOraclePrice", R"({"timestamp":"1", "timestamp")", "duplicate field `timestamp`" + col(29)},
      // Unknown keys may repeat.
      {"Transfer", R"({"x":1,"x":2})", "missing field `sender_position_id`" + col(13)},
  });
  // Every record, and the order nested in a liquidation (after the prefix, which shifts the columns): an
  // own key twice, an own or unknown key without its colon, a key with a bad escape, an unknown key with a
  // bad value, the object cut short.
  const std::string nested = R"({"liquidator_order":)";
  const std::tuple<std::string, std::string, std::string> records[] = {
      {"Transfer", "amount", ""},
      {"WithdrawRequest", "amount", ""},
      {"LimitOrderRequest", "amount_fee", ""},
      {"Liquidate", "actual_collateral", ""},
      {"SignedOraclePrice", "timestamp", ""},
      {"Liquidate", "amount_fee", nested}};
  for (const auto& [record, key, prefix] : records) {
    const std::string twice = prefix + R"({")" + key + R"(":"1",")" + key + "\"";
    const size_t at = prefix.size();
    expect_errors({
        {record, twice + ":1}", "duplicate field `" + key + "`" + col(twice.size())},
        {record, prefix + R"({"x" 1})", "expected `:`" + col(at + 6)},
        {record, prefix + R"({")" + key + R"(" 1})", "expected `:`" + col(at + key.size() + 5)},
        {record, prefix + R"({"\q":1})", "invalid escape" + col(at + 4)},
        {record, prefix + R"({"x":tru})", "expected ident" + col(at + 9)},
        {record, prefix + "{", "EOF while parsing an object" + col(at + 1)},
    });
  }
}

TEST(RequestErrors, ArrayForms) {
  const std::string order = kLimitOrder;
  const size_t n = order.size();
  expect_errors({
      {"Liquidate", "[]", "invalid length 0, expected struct Liquidate with 5 elements" + col(2)},
      {"Liquidate", "[ ]  ", "invalid length 0, expected struct Liquidate with 5 elements" + col(3)},
      {"Liquidate", "[" + order + "]",
       "invalid length 1, expected struct Liquidate with 5 elements" + col(n + 2)},
      {"Liquidate", "[" + order + R"(,"1","2","3","4","5"])", "trailing characters" + col(n + 19)},
      {"Liquidate", "[" + order + R"(,"1","2","3","4",])", "trailing comma" + col(n + 19)},
      {"Liquidate", "[" + order + R"(,"1","2","3","4" 5])", "trailing characters" + col(n + 19)},
      {"Liquidate", "[" + order + R"(,"1","2","3","4")", "EOF while parsing a list" + col(n + 17)},
      {"Liquidate", "[" + order + R"(,"1","2","3",])", "trailing comma" + col(n + 15)},
      {"Liquidate", "[" + order + R"(,"1","2","3","x"])",
       "u64 from string error: invalid digit found in string" + col(n + 17)},
      {"SignedOraclePrice", R"(["0x1","2","3"])",
       "invalid length 3, expected struct SignedOraclePrice with 4 elements" + col(15)},
      {"SignedOraclePrice", R"(["0x1","x","3","0x4"])",
       "decode u128 string error: invalid digit found in string" + col(10)},
      {"SignedOraclePrice", R"(["0x1" "2","3","0x4"])", "expected `,` or `]`" + col(8)},
      {"SignedOraclePrice", R"(["0x1",)", "EOF while parsing a value" + col(7)},
      {"SignedOraclePrice", R"(["0x1",2,"3","0x4"])",
       "invalid type: integer `2`, expected a string" + col(8)},
      {"SignedOraclePrice", R"(["0xzz","2","3","0x4"])", "Invalid character 'z' at position 0" + col(7)},
      {"WithdrawRequest", R"(["1","2"])", "invalid type: sequence, expected struct WithdrawRequest" + col(0)},
  });
}

TEST(RequestErrors, SyntaxErrorsWithTheirPositions) {
  const std::string t = kTransfer;
  expect_errors({
      {"Transfer", "", "EOF while parsing a value" + col(0)},
      {"Transfer", "  \n ", "EOF while parsing a value at line 2 column 1"},
      {"Transfer", "{", "EOF while parsing an object" + col(1)},
      {"Transfer", R"({"amount")", "EOF while parsing an object" + col(9)},
      {"Transfer", R"({"amount":)", "EOF while parsing a value" + col(10)},
      {"Transfer", R"({"amount":"1")", "EOF while parsing an object" + col(13)},
      {"Transfer", R"({"amount":"1",)", "EOF while parsing a value" + col(14)},
      {"Transfer", R"({"amount":"1)", "EOF while parsing a string" + col(12)},
      {"Transfer", R"({"amou)", "EOF while parsing a string" + col(6)},
      {"Transfer", R"({"amount" "1"})", "expected `:`" + col(11)},
      {"Transfer", R"({amount:"1"})", "key must be a string" + col(2)},
      {"Transfer", R"({"amount":"1",5:1})", "key must be a string" + col(15)},
      {"Transfer", R"({"amount":"1",})", "trailing comma" + col(15)},
      {"Transfer", R"({"amount":"1" "nonce":"2"})", "expected `,` or `}`" + col(15)},
      {"Transfer", R"({"amount":"1"])", "expected `,` or `}`" + col(14)},
      {"Transfer", R"({"x":[1,2})", "expected `,` or `]`" + col(10)},
      {"Transfer", R"({"x":[1,]})", "trailing comma" + col(9)},
      {"Transfer", R"({"x":[,1]})", "expected value" + col(7)},
      {"Transfer", R"({"x":[)", "EOF while parsing a list" + col(6)},
      {"Transfer", R"({"x":{"a" 1}})", "expected `:`" + col(11)},
      {"Transfer", R"({"x":{"a":1,}})", "trailing comma" + col(13)},
      {"Transfer", R"({"x":{"a":1)", "EOF while parsing an object" + col(11)},
      {"Transfer", R"({"x":tru})", "expected ident" + col(9)},
      {"Transfer", R"({"x":nul})", "expected ident" + col(9)},
      {"Transfer", R"({"x":tr)", "EOF while parsing a value" + col(7)},
      {"Transfer", R"({"amount":fals)", "EOF while parsing a value" + col(14)},
      {"Transfer", R"({"x":})", "expected value" + col(6)},
      {"Transfer", R"({"x":'a'})", "expected value" + col(6)},
      {"Transfer", R"({"amount":x})", "expected value" + col(11)},
      {"Transfer", t + "\n\n  x", "trailing characters at line 3 column 3"},
      {"Transfer", t + t, "trailing characters" + col(t.size() + 1)},
      {"Transfer", t + " ,", "trailing characters" + col(t.size() + 2)},
      {"Transfer", t + "]", "trailing characters" + col(t.size() + 1)},
      {"Transfer", "{\n  \"amount\": 5\n}",
       "invalid type: integer `5`, expected a string at line 2 column 13"},
      {"Transfer", "{\r\n\"nonce\":\"x\"\r\n}", "missing field `sender_position_id` at line 3 column 1"},
  });
}

TEST(RequestErrors, StringErrors) {
  expect_errors({
      {"Transfer", R"({"x":"\q"})", "invalid escape" + col(8)},
      {"Transfer", R"({"x":"\u12g4"})", "invalid escape" + col(12)},
      {"Transfer", R"({"x":"\u12)", "EOF while parsing a string" + col(10)},
      {"Transfer", R"({"x":"\)", "EOF while parsing a string" + col(7)},
      {"Transfer", R"({"x":"\udc00"})", "lone leading surrogate in hex escape" + col(12)},
      {"Transfer", R"({"x":"\ud800x"})", "unexpected end of hex escape" + col(13)},
      {"Transfer", R"({"x":"\ud800\n"})", "unexpected end of hex escape" + col(14)},
      {"Transfer", R"({"x":"\ud800\u0041"})", "lone leading surrogate in hex escape" + col(18)},
      {"Transfer", R"({"x":"\ud800)", "EOF while parsing a string" + col(12)},
      {"Transfer", R"({"x":"\udfff"})", "lone leading surrogate in hex escape" + col(12)},
      {"Transfer", R"({"x":"\ud800\udbff"})", "lone leading surrogate in hex escape" + col(18)},
      {"Transfer", R"({"x":"\udbff\ue000"})", "lone leading surrogate in hex escape" + col(18)},
      {"Transfer", R"({"x":"\ud800\u12g4"})", "invalid escape" + col(18)},
      {"Transfer", R"({"x":{"\q":1}})", "invalid escape" + col(9)},
      {"LimitOrderRequest", R"({"is_buying_synthetic":"\q"})", "invalid escape" + col(26)},
      {"Transfer", R"({"\udc00":1})", "lone leading surrogate in hex escape" + col(8)},
      {"Transfer", "{\"x\":\"a\tb\"}",
       "control character (\\u0000-\\u001F) found while parsing a string" + col(8)},
      {"Transfer", "{\"x\":\"a\nb\"}",
       "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"},
      {"Transfer", std::string("{\"x\":\"a\0b\"}", 11),
       "control character (\\u0000-\\u001F) found while parsing a string" + col(8)},
      {"Transfer", std::string("{\0}", 3), "key must be a string" + col(2)},
  });
}

// One sequence of every kind of malformed UTF-8: each lead byte class cut short after each of its bytes,
// its second byte just outside the range its lead allows (overlong forms, surrogates, values above
// U+10FFFF), a later byte that is no continuation byte, and the bytes that never lead.
const std::vector<std::string> kMalformedUtf8 = {
    // A continuation byte without a lead; the overlong two-byte forms.
    "\x80", "\xbf", "\xc0\x80", "\xc1\xbf",
    // C2..DF: cut short; no continuation byte.
    "\xc2", "\xdf", "\xc2\x7f", "\xdf\xc0",
    // E0: cut short after each byte; overlong; no continuation byte.
    "\xe0", "\xe0\xa0", "\xe0\x9f\xbf", "\xe0\xa0\xc0",
    // E1..EC.
    "\xe1", "\xe1\x80", "\xe1\x7f\x80", "\xec\xc0\x80", "\xec\xbf\x7f",
    // ED: cut short; the surrogates.
    "\xed\x80", "\xed\xa0\x80", "\xed\xbf\xbf", "\xed\x7f\x80",
    // EE..EF.
    "\xee", "\xef\xbf", "\xee\xc0\x80", "\xef\xbf\xc0",
    // F0: cut short after each byte; overlong; no continuation byte.
    "\xf0", "\xf0\x90", "\xf0\x90\x80", "\xf0\x8f\xbf\xbf", "\xf0\x90\x80\xc0",
    // F1..F3.
    "\xf1", "\xf1\x80", "\xf3\xbf\xbf", "\xf1\x7f\x80\x80", "\xf3\xc0\x80\x80", "\xf3\x80\x7f\x80",
    "\xf3\x80\x80\xc0",
    // F4: cut short after each byte; above U+10FFFF; no continuation byte.
    "\xf4", "\xf4\x8f", "\xf4\x8f\xbf", "\xf4\x90\x80\x80", "\xf4\xbf\xbf\xbf", "\xf4\x7f\x80\x80",
    "\xf4\x8f\xbf\xc0",
    // Never a lead.
    "\xf5\x80\x80\x80", "\xf7\xbf\xbf\xbf", "\xf8\x88\x80\x80\x80", "\xfe", "\xff"};

// The last ASCII character, the first and the last sequence of every lead byte class and those around the
// surrogates, each with the form a diagnostic quotes it in (code points that are controls, private use or
// non-characters as \u{..}).
const std::vector<std::pair<std::string, std::string>> kUtf8Edges = {
    {"\x7f", "\\u{7f}"},
    {"\xc2\x80", "\\u{80}"},
    {"\xdf\xbf", "\xdf\xbf"},
    {"\xe0\xa0\x80", "\xe0\xa0\x80"},
    {"\xe0\xbf\xbf", "\xe0\xbf\xbf"},
    {"\xe1\x80\x80", "\xe1\x80\x80"},
    {"\xec\xbf\xbf", "\xec\xbf\xbf"},
    {"\xed\x80\x80", "\xed\x80\x80"},
    {"\xed\x9f\xbf", "\xed\x9f\xbf"},
    {"\xee\x80\x80", "\\u{e000}"},
    {"\xef\xbf\xbf", "\\u{ffff}"},
    {"\xf0\x90\x80\x80", "\xf0\x90\x80\x80"},
    {"\xf0\xbf\xbf\xbf", "\\u{3ffff}"},
    {"\xf1\x80\x80\x80", "\xf1\x80\x80\x80"},
    {"\xf3\xbf\xbf\xbf", "\\u{fffff}"},
    {"\xf4\x80\x80\x80", "\\u{100000}"},
    {"\xf4\x8f\xbf\xbf", "\\u{10ffff}"},
};

TEST(RequestErrors, InvalidUtf8IsRefusedAtItsLeadByte) {
  std::vector<ErrorCase> cases;
  for (const std::string& bad : kMalformedUtf8) {
    // After a two-byte character inside a string, and at the end of the text.
    cases.push_back({"Transfer", "{\"x\":\"a\xc3\xa9" + bad + "\"}", "invalid unicode code point" + col(10)});
    cases.push_back({"Transfer", "{\"x\":\"" + bad, "invalid unicode code point" + col(7)});
  }
  for (const auto& [good, quoted] : kUtf8Edges) {
    // Read whole, also where the text ends just after it, and decoded when quoted.
    cases.push_back({"Transfer", R"({"amount":")" + good + "\"}",
                     "u64 from string error: invalid digit found in string" + col(12 + good.size())});
    cases.push_back({"Transfer", "{\"x\":\"" + good, "EOF while parsing a string" + col(6 + good.size())});
    cases.push_back({"LimitOrderRequest", R"({"is_buying_synthetic":")" + good + "\"}",
                     "invalid type: string \"" + quoted + "\", expected a boolean" + col(25 + good.size())});
  }
  expect_errors(cases);
  expect_errors({
      {"Transfer", "{\"x\":\"\xff\"}", "invalid unicode code point" + col(7)},
      {"Transfer", "{\"x\":\"ab\xc0\x80\"}", "invalid unicode code point" + col(9)},
      {"Transfer", "{\"x\":\"\xed\xa0\x80\"}", "invalid unicode code point" + col(7)},
      {"Transfer", "{\"x\":\"\xf4\x90\x80\x80\"}", "invalid unicode code point" + col(7)},
      {"Transfer", "{\"x\":\"\xe2\x82\"}", "invalid unicode code point" + col(7)},
      {"Transfer", "{\"x\":\"\xe2\x82", "invalid unicode code point" + col(7)},
      {"Transfer", "{\"\x80\":1}", "invalid unicode code point" + col(3)},
      {"Transfer", "{\"amount\":\"\xc3\"}", "invalid unicode code point" + col(12)},
      {"Transfer", "\xef\xbb\xbf{}", "expected value" + col(1)},
      {"Transfer", kTransfer + "\xc3\xa9", "trailing characters" + col(kTransfer.size() + 1)},
  });
  // Valid multi-byte text passes through to the encodings whole.
  EXPECT_EQ(outcome<Transfer>(R"({"x":"é€😀","amount":"é"})"),
            "error: u64 from string error: invalid digit found in string" + col(30));
}

TEST(RequestErrors, NumberSyntax) {
  expect_errors({
      {"Transfer", R"({"x":01})", "invalid number" + col(7)},
      {"Transfer", R"({"x":-01})", "invalid number" + col(8)},
      {"Transfer", R"({"x":-})", "invalid number" + col(7)},
      {"Transfer", R"({"x":-a})", "invalid number" + col(7)},
      {"Transfer", R"({"x":-)", "EOF while parsing a value" + col(6)},
      {"Transfer", R"({"x":1.})", "invalid number" + col(8)},
      {"Transfer", R"({"x":1.)", "EOF while parsing a value" + col(7)},
      {"Transfer", R"({"x":1.e5})", "invalid number" + col(8)},
      {"Transfer", R"({"x":1e})", "invalid number" + col(8)},
      {"Transfer", R"({"x":1e+)", "EOF while parsing a value" + col(8)},
      {"Transfer", R"({"x":.5})", "expected value" + col(6)},
      {"Transfer", R"({"x":+1})", "expected value" + col(6)},
      {"Transfer", R"({"x":1e400})", "number out of range" + col(10)},
      {"Transfer", R"({"x":-2e308})", "number out of range" + col(11)},
      // Out of range with a fraction or several digits: too large whatever the digits' layout.
      {"Transfer", R"({"x":99.9e307})", "number out of range" + col(13)},
      {"Transfer", R"({"x":0.5e400})", "number out of range" + col(12)},
      {"Transfer", R"({"x":-123.4e307})", "number out of range" + col(15)},
      {"Transfer", R"({"x":1e99999999999999})", "number out of range" + col(21)},
      {"Transfer", R"({"x":1E+400})", "number out of range" + col(11)},
      {"Transfer", R"({"x":1)" + std::string(400, '0') + "}", "number out of range" + col(406)},
      {"Transfer", R"({"x":0)", "EOF while parsing an object" + col(6)},
      {"Transfer", R"({"x":1e5)", "EOF while parsing an object" + col(8)},
      {"Transfer", R"({"x":1)" + std::string(340, '0') + "e-5}", "number out of range" + col(349)},
      {"Transfer", R"({"x":1 2})", "expected `,` or `}`" + col(8)},
      {"Transfer", R"({"amount":01})", "invalid number" + col(12)},
  });
  // Underflow reads as zero, and 0 with any exponent is 0, whatever the digits' layout.
  EXPECT_EQ(outcome<Transfer>(transfer_with(R"(,"x":1e-400,"y":0e999999999999999999,"z":-0.5e-400,)"
                                            R"("w":123456789e-340,"v":0.)" +
                                            std::string(340, '0') + "1e5,\"u\":1." + std::string(400, '0') +
                                            "e-330")),
            outcome<Transfer>(kTransfer));
  expect_errors({
      {"Transfer", R"({"amount":0.00012e-330})",
       "invalid type: floating point `0.0`, expected a string" + col(22)},
      {"Transfer", R"({"amount":-5e-400})",
       "invalid type: floating point `-0.0`, expected a string" + col(17)},
  });
}

TEST(RequestErrors, NestingIsLimitedTo127Levels) {
  // The request object is level 1, so 126 brackets under one of its keys are accepted, 127 are not.
  const auto nested = [](size_t depth) {
    return transfer_with(R"(,"x":)" + std::string(depth, '[') + std::string(depth, ']'));
  };
  EXPECT_EQ(outcome<Transfer>(nested(126)), outcome<Transfer>(kTransfer));
  const size_t before = kTransfer.size() - 1 + 5;  // bytes before the first bracket
  EXPECT_EQ(outcome<Transfer>(nested(127)), "error: recursion limit exceeded" + col(before + 126 + 1));
  // The same for a value never closed: the limit is met before the end of the text.
  EXPECT_EQ(outcome<Transfer>(R"({"x":)" + std::string(100000, '{')), "error: key must be a string" + col(7));
  EXPECT_EQ(outcome<Transfer>(R"({"x":)" + std::string(100000, '[')),
            "error: recursion limit exceeded" + col(5 + 127));
  std::string maps = R"({"x":)";
  for (int level = 0; level < 127; ++level) maps += R"({"a":)";
  EXPECT_EQ(outcome<Transfer>(maps), "error: recursion limit exceeded" + col(5 + 126 * 5 + 1));
  // The nested liquidator order counts as a level.
  const std::string deep = std::string(125, '[') + std::string(125, ']');
  const std::string liquidate = R"({"liquidator_order":)" + kLimitOrder.substr(0, kLimitOrder.size() - 1) +
                                R"(,"x":)" + deep +
                                R"(},"liquidated_position_id":"10","actual_collateral":"11",)"
                                R"("actual_synthetic":"12","actual_liquidator_fee":"13"})";
  EXPECT_EQ(outcome<Liquidate>(liquidate), outcome<Liquidate>(kLiquidate));
  const std::string deeper = std::string(126, '[') + std::string(126, ']');
  const std::string too_deep =
      R"({"liquidator_order":)" + kLimitOrder.substr(0, kLimitOrder.size() - 1) + R"(,"x":)" + deeper + "}}";
  EXPECT_EQ(outcome<Liquidate>(too_deep),
            "error: recursion limit exceeded" + col(20 + kLimitOrder.size() - 1 + 5 + 125 + 1));
}

}  // namespace
}  // namespace tarvo::testing
