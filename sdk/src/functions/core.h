// The core operations: one entry point per Python function, the hash and sign operations written once
// for all request kinds. Each takes UTF-8 texts and returns a value or an error result; fatal internal
// errors propagate as tarvo::FatalError.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "crypto/base/result.h"
#include "sdk/src/json/writer.h"
#include "sdk/src/signing/sign.h"
#include "sdk/src/signing/types.h"
#include "sdk/src/transaction/hash_layouts.h"

namespace tarvo::sdk {

// The request's hash, or the error of its record's parsing or (for some kinds) of its layout.
template <class Request>
Result<U256> parsed_request_hash(std::string_view json) {
  return request_hash(TARVO_TRY(Request::from_json(json)));
}

// hash_{kind}: the request's hash text, "0x" and 64 lowercase hexadecimal digits. A malformed request
// reports its record's parse error.
template <class Request>
Result<std::string> hash_request(std::string_view json) {
  return TARVO_TRY(parsed_request_hash<Request>(json)).to_hex();
}

// sign_{kind}: the signature over that hash. The request is parsed and hashed before the key is read.
template <class Request>
Result<JubjubSignature> sign_request(std::string_view json, std::string_view pri_key) {
  return sign_hash(TARVO_TRY(parsed_request_hash<Request>(json)), pri_key);
}

// One kind of transaction request: the names of its two operations and the operations themselves.
struct RequestKind {
  const char* hash_name;
  const char* sign_name;
  Result<std::string> (*hash)(std::string_view json);
  Result<JubjubSignature> (*sign)(std::string_view json, std::string_view pri_key);
};

template <class Request>
constexpr RequestKind request_kind(const char* hash_name, const char* sign_name) {
  return {hash_name, sign_name, &hash_request<Request>, &sign_request<Request>};
}

// Every request kind, in the order of the module's function table. A kind is its record (parsed by
// `from_json`), its `request_hash` overload and its row here.
inline constexpr std::array REQUEST_KINDS = {
    request_kind<WithdrawRequest>("hash_withdraw", "sign_withdraw"),
    request_kind<Transfer>("hash_transfer", "sign_transfer"),
    request_kind<LimitOrderRequest>("hash_limit_order", "sign_limit_order"),
    request_kind<Liquidate>("hash_liquidate", "sign_liquidate"),
    request_kind<SignedOraclePrice>("hash_signed_oracle_price", "sign_signed_oracle_price"),
};

Result<JubjubSignature> sign(std::string_view private_key, std::string_view msg);
// pub_key_y takes no part: any text is accepted and ignored.
Result<bool> verify_signature(std::string_view sig_r, std::string_view sig_s, std::string_view pub_key_x,
                              std::string_view pub_key_y, std::string_view msg);
Result<bool> is_on_curve(std::string_view x, std::string_view y);

// The PublicKey record: x the echoed packed key, y the affine x-coordinate of the point it encodes.
struct PublicKey {
  std::string x;
  std::string y;

  // {"x":"…","y":"…"}.
  std::string to_json() const { return json::compact_object({{"x", x}, {"y", y}}); }
};
Result<PublicKey> pub_key_to_xy(std::string_view public_key);
Result<PublicKey> private_key_to_pubkey_xy(std::string_view private_key);

Result<std::string> private_key_from_seed(std::string_view seed);

}  // namespace tarvo::sdk
