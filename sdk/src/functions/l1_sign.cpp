#include "sdk/src/functions/l1_sign.h"

#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/sign.h"

namespace tarvo::sdk {

Result<L1Signature> l1_sign(std::string_view msg, std::string_view private_key) {
  const std::string_view trimmed = trim_hex_prefixes(msg);
  const eddsa::PrivateKey key = TARVO_TRY(private_key_from_string(private_key));  // checked before msg
  const U256 message = TARVO_TRY(U256::from_hex(trimmed));
  return TxSignature::sign_msg(key, message_bytes(message)).to_l1_signature();
}

}  // namespace tarvo::sdk
