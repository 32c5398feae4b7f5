// Core operations on keys and signatures: sign, verify, and the public key utilities.
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/packed_public_key.h"
#include "sdk/src/signing/packed_signature.h"
#include "sdk/src/signing/sign.h"

namespace tarvo::sdk {

Result<JubjubSignature> sign(std::string_view private_key, std::string_view msg) {
  return sign_hash(TARVO_TRY(U256::from_hex(msg)), private_key);
}

Result<bool> verify_signature(std::string_view sig_r, std::string_view sig_s, std::string_view pub_key_x,
                              std::string_view /*pub_key_y*/, std::string_view msg) {
  // The failures keep their order: the signature's, the message's and the key's texts, the key's
  // decoding. With both texts good, R and the key decode together.
  const Result<U256> message = U256::from_hex(msg);
  const Result<U256> packed_key = U256::from_hex(pub_key_x);
  if (!message.ok() || !packed_key.ok()) {
    (void)packed_signature_from_str(sig_r, sig_s);  // for its failures, which come first
    return message.ok() ? packed_key.error() : message.error();
  }
  const auto [signature, point] = signature_and_public_key(sig_r, sig_s, *packed_key);
  const eddsa::PublicKey public_key = TARVO_TRY(convert_to_pubkey(point.x, point.y));
  return public_key.verify_for_raw_message(message_bytes(*message), signature, GENERATOR_INDEX,
                                           *JUBJUB_PARAMS);
}

Result<PublicKey> pub_key_to_xy(std::string_view public_key) {
  const std::string_view trimmed = trim_hex_prefixes(public_key);
  const U256 packed = TARVO_TRY(U256::from_hex(trimmed));
  const BabyJubjubPoint point = unpack_public_key(packed);
  return PublicKey{"0x" + std::string(trimmed), point.x.to_hex()};
}

// The same texts as pub_key_to_xy of the packed key's text, without decoding the point just encoded.
Result<PublicKey> private_key_to_pubkey_xy(std::string_view private_key) {
  const eddsa::PrivateKey key = TARVO_TRY(private_key_from_string(private_key));
  const auto [packed, point] = public_key_and_point(key);
  return PublicKey{packed.to_hex(), point.x.to_hex()};
}

Result<bool> is_on_curve(std::string_view x, std::string_view y) {
  const std::string_view trimmed_x = trim_hex_prefixes(x);
  const std::string_view trimmed_y = trim_hex_prefixes(y);
  const PublicKey texts = TARVO_TRY(pub_key_to_xy(trimmed_x));
  return trim_hex_prefixes(texts.x) == trimmed_x && trim_hex_prefixes(texts.y) == trimmed_y;
}

}  // namespace tarvo::sdk
