#include "sdk/src/tx/sign.h"

#include "crypto/base/secret.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/tx/convert.h"
#include "sdk/src/tx/packed_public_key.h"

namespace tarvo {

TxSignature TxSignature::sign_msg(const eddsa::PrivateKey& private_key,
                                  std::span<const uint8_t, 32> message) {
  const eddsa::Seed seed = eddsa::Seed::deterministic_seed(private_key, message);
  const eddsa::SubgroupSignature signature =
      private_key.sign_raw_message(message, seed, GENERATOR_INDEX, *JUBJUB_PARAMS);
  declassify(signature);  // the signature is the output
  const VerifiedSignature verified = verify_with_public_key(private_key, message, signature);
  const auto [r_x, r_y] = verified.r;
  return {verified.pub_key, {{r_x, r_y, r_x * r_y, Fr::one()}, signature.s}, verified.pub_key_x};
}

JubjubSignature TxSignature::to_jubjub_signature() const {
  const auto [x, y] = edwards::to_affine(signature.r);
  return {{fr_to_u256(x), fr_to_u256(y)}, U256{signature.s.into_repr()}};
}

Result<JubjubSignature> sign_hash(const U256& hash, std::string_view private_key) {
  const eddsa::PrivateKey key = TARVO_TRY(private_key_from_string(private_key));
  return TxSignature::sign_msg(key, message_bytes(hash)).to_jubjub_signature();
}

}  // namespace tarvo
