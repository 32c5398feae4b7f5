#include "sdk/src/lib/l1_sign.h"

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/json/writer.h"
#include "sdk/src/tx/convert.h"
#include "sdk/src/tx/sign.h"

namespace tarvo::sdk {

Result<L1Signature> l1_sign(std::string_view msg, std::string_view private_key) {
  const std::string_view trimmed = trim_hex_prefixes(msg);
  const eddsa::PrivateKey key = TARVO_TRY(private_key_from_string(private_key));  // checked before msg
  const U256 message = TARVO_TRY(U256::from_hex(trimmed));
  const TxSignature signed_message = TxSignature::sign_msg(key, message_bytes(message));
  const auto [r_x, r_y] = edwards::to_affine(signed_message.signature.r);
  return L1Signature{
      .x = "0x" + FeConvert::to_hex(r_x),
      .y = "0x" + FeConvert::to_hex(r_y),
      .s = "0x" + FeConvert::to_hex(signed_message.signature.s),
      .pk_x = signed_message.pub_key.to_hex(),
      .pk_y = "0x" + FeConvert::to_hex(signed_message.pub_key_x),
  };
}

Result<std::string> to_json(const L1Signature& signature) {
  return json::compact_object({{"x", signature.x},
                               {"y", signature.y},
                               {"s", signature.s},
                               {"pk_x", signature.pk_x},
                               {"pk_y", signature.pk_y}});
}

}  // namespace tarvo::sdk
