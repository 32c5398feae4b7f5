// Liquidate: a liquidation: the liquidator's limit order and the liquidated position's figures.
// Read from a JSON object or array of the member values in declaration order.
#pragma once

#include <cstdint>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/signing/types.h"
#include "sdk/src/transaction/limit_order.h"

namespace tarvo {

struct Liquidate {
  LimitOrderRequest liquidator_order;   // nested object, with its own header keys
  uint64_t liquidated_position_id = 0;  // U64AsString
  uint64_t actual_collateral = 0;       // U64AsString
  uint64_t actual_synthetic = 0;        // U64AsString
  uint64_t actual_liquidator_fee = 0;   // U64AsString

  // Parses a request text; the error text ends with " at line L column C".
  static Result<Liquidate> from_json(std::string_view text);

  friend bool operator==(const Liquidate&, const Liquidate&) = default;
};

}  // namespace tarvo
