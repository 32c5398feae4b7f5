#include "sdk/src/signing/sign.h"

#include "crypto/curve/jubjub_params.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/packed_public_key.h"

namespace tarvo {

TxSignature TxSignature::sign_msg(const eddsa::PrivateKey& private_key,
                                  std::span<const uint8_t, 32> message) {
  return {private_key.sign(message, GENERATOR_INDEX, *JUBJUB_PARAMS)};
}

JubjubSignature TxSignature::to_jubjub_signature() const {
  return {signature.r, U256{signature.s.into_repr()}};
}

L1Signature TxSignature::to_l1_signature() const {
  const auto& [x, y] = signature.r;
  return {
      .x = "0x" + FeConvert::to_hex(x),
      .y = "0x" + FeConvert::to_hex(y),
      .s = "0x" + FeConvert::to_hex(signature.s),
      .pk_x = packed_point(signature.public_key).to_hex(),
      .pk_y = "0x" + FeConvert::to_hex(signature.public_key.first),
  };
}

Result<JubjubSignature> sign_hash(const U256& hash, std::string_view private_key) {
  const eddsa::PrivateKey key = TARVO_TRY(private_key_from_string(private_key));
  return TxSignature::sign_msg(key, message_bytes(hash)).to_jubjub_signature();
}

}  // namespace tarvo
