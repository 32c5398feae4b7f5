// Transfer: a transfer between two positions. Read from a JSON object.
#pragma once

#include <cstdint>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/signing/types.h"
#include "sdk/src/transaction/order_base.h"

namespace tarvo {

struct Transfer {
  OrderBase base;                       // header keys at the top level of the object
  uint64_t sender_position_id = 0;      // U64AsString
  PackedPublicKey receiver_public_key;  // packed public key text
  uint64_t receiver_position_id = 0;    // U64AsString
  uint64_t amount = 0;                  // U64AsString
  U256 asset_id;                        // U256AsHexString

  // Parses a request text; the error text ends with " at line L column C".
  static Result<Transfer> from_json(std::string_view text);

  friend bool operator==(const Transfer&, const Transfer&) = default;
};

}  // namespace tarvo
