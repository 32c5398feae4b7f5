#include "sdk/src/signing/packed_public_key.h"

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/packed_signature.h"

namespace tarvo {

namespace {

// An address (a nonzero value below 2^160) rather than a point encoding.
bool is_address(const PackedPublicKey& packed) {
  return !packed.is_zero() && packed.limbs[3] == 0 && (packed.limbs[2] >> 32) == 0;
}

}  // namespace

std::pair<PackedPublicKey, BabyJubjubPoint> public_key_and_point(const eddsa::PrivateKey& private_key) {
  const std::pair<Fr, Fr> affine =
      edwards::to_affine(eddsa::PublicKey::from_private(private_key, GENERATOR_INDEX, *JUBJUB_PARAMS).a);
  const PackedPublicKey packed = packed_point(affine);
  if (is_address(packed)) return {packed, unpack_public_key(packed)};
  return {packed, {fr_to_u256(affine.first), fr_to_u256(affine.second)}};
}

BabyJubjubPoint unpack_public_key(const PackedPublicKey& packed) {
  if (is_address(packed)) return {U256{}, packed};
  const auto [x, y] = get_xy_from_r(packed);
  return {fr_to_u256(x), fr_to_u256(y)};
}

std::pair<eddsa::Signature, BabyJubjubPoint> signature_and_public_key(std::string_view r_text,
                                                                      std::string_view s_text,
                                                                      const PackedPublicKey& packed) {
  if (is_address(packed)) return {packed_signature_from_str(r_text, s_text), unpack_public_key(packed)};
  const auto [signature, xy] = packed_signature_and_xy_from_r(r_text, s_text, packed);
  return {signature, {fr_to_u256(xy.first), fr_to_u256(xy.second)}};
}

Result<eddsa::PublicKey> convert_to_pubkey(const U256& x, const U256& y) {
  const Fr fx = TARVO_TRY(Fr::from_repr(x.limbs));
  const Fr fy = TARVO_TRY(Fr::from_repr(y.limbs));
  const auto point = edwards::from_xy(fx, fy, *JUBJUB_PARAMS);
  if (!point) return Error("could not decode public key by x and y");
  return eddsa::PublicKey{*point};
}

}  // namespace tarvo
