// SignedOraclePrice: a price signed by an oracle. Read from a JSON object or array of the member
// values in declaration order.
#pragma once

#include <cstdint>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/signing/types.h"

namespace tarvo {

struct SignedOraclePrice {
  PackedPublicKey signer_key;            // packed public key text
  unsigned __int128 external_price = 0;  // U128AsString
  uint32_t timestamp = 0;                // U32AsString
  U256 signed_asset_id;                  // U256AsHexString

  // Parses a request text; the error text ends with " at line L column C".
  static Result<SignedOraclePrice> from_json(std::string_view text);

  friend bool operator==(const SignedOraclePrice&, const SignedOraclePrice&) = default;
};

}  // namespace tarvo
