// OrderBase: the header carried by transfers, withdrawals and limit orders. Its keys stand at
// the top level of the request object, beside the record's own keys.
#pragma once

#include <cstdint>
#include <span>

#include "sdk/src/json/declarations.h"
#include "sdk/src/signing/types.h"

namespace tarvo {

struct OrderBase {
  uint64_t nonce = 0;                 // U64AsString
  PackedPublicKey public_key;         // packed public key text
  uint32_t expiration_timestamp = 0;  // U32AsString

  // Members in declaration order, the order in which a missing one is reported.
  static std::span<const json::Member<OrderBase>> json_members();

  friend bool operator==(const OrderBase&, const OrderBase&) = default;
};

}  // namespace tarvo
