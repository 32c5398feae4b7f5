// LimitOrderRequest: a limit order. Read from a JSON object.
#pragma once

#include <cstdint>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/json/declarations.h"
#include "sdk/src/signing/types.h"
#include "sdk/src/transaction/order_base.h"

namespace tarvo {

struct LimitOrderRequest {
  OrderBase base;                    // header keys at the top level of the object
  uint64_t amount_synthetic = 0;     // U64AsString
  uint64_t amount_collateral = 0;    // U64AsString
  uint64_t amount_fee = 0;           // U64AsString
  __int128 asset_id_synthetic = 0;   // I128AsHexString (negative values are refused by the hash layout)
  U256 asset_id_collateral;          // U256AsHexString
  uint64_t position_id = 0;          // U64AsString
  bool is_buying_synthetic = false;  // JSON true or false

  // Parses a request text; the error text ends with " at line L column C".
  static Result<LimitOrderRequest> from_json(std::string_view text);
  // The order at the reader's position, when it is nested (Liquidate's liquidator_order).
  static Result<LimitOrderRequest> read_json(json::Reader& reader);

  friend bool operator==(const LimitOrderRequest&, const LimitOrderRequest&) = default;
};

}  // namespace tarvo
