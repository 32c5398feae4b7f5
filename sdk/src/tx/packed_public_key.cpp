#include "sdk/src/tx/packed_public_key.h"

#include "crypto/base/secret.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "sdk/src/tx/convert.h"
#include "sdk/src/tx/packed_signature.h"

namespace tarvo {

namespace {

PackedPublicKey pack(const edwards::Point<edwards::PrimeOrder>& point) {
  return le_to_u256(edwards::write(point));
}

PackedPublicKey pack_affine(const std::pair<Fr, Fr>& affine) {
  return le_to_u256(edwards::write_affine(affine.first, affine.second));
}

// The packed key and the affine coordinates of a public point, with one inversion.
std::pair<PackedPublicKey, std::pair<Fr, Fr>> pack_with_affine(
    const edwards::Point<edwards::PrimeOrder>& point) {
  const std::pair<Fr, Fr> affine = edwards::to_affine(point);
  return {pack_affine(affine), affine};
}

// An address (a nonzero value below 2^160) rather than a point encoding.
bool is_address(const PackedPublicKey& packed) {
  return !packed.is_zero() && packed.limbs[3] == 0 && (packed.limbs[2] >> 32) == 0;
}

}  // namespace

// sk·G: the public key, public by definition.
edwards::Point<edwards::PrimeOrder> public_point(const eddsa::PrivateKey& private_key) {
  const auto point = JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, private_key.sk);
  declassify(point);
  return point;
}

PackedPublicKey public_key_from_private(const eddsa::PrivateKey& private_key) {
  return pack(public_point(private_key));
}

std::pair<PackedPublicKey, BabyJubjubPoint> public_key_and_point(const eddsa::PrivateKey& private_key) {
  const auto [packed, affine] = pack_with_affine(public_point(private_key));
  const auto [x, y] = affine;
  if (is_address(packed)) return {packed, unpack_public_key(packed)};
  return {packed, {fr_to_u256(x), fr_to_u256(y)}};
}

VerifiedSignature verify_with_public_key(const eddsa::PrivateKey& private_key,
                                         std::span<const uint8_t> message,
                                         const eddsa::SubgroupSignature& signature) {
  const auto point = public_point(private_key);
  ensure(eddsa::verify_subgroup_signature(point, message, signature, GENERATOR_INDEX, *JUBJUB_PARAMS),
         "assertion failed: a freshly made signature verifies");
  const auto [key_affine, r_affine] = edwards::to_affine(point, signature.r);
  return {pack_affine(key_affine), key_affine.first, r_affine};
}

BabyJubjubPoint unpack_public_key(const PackedPublicKey& packed) {
  if (is_address(packed)) return {U256{}, packed};
  const auto [x, y] = get_xy_from_r(packed);
  return {fr_to_u256(x), fr_to_u256(y)};
}

Result<eddsa::PublicKey> convert_to_pubkey(const U256& x, const U256& y) {
  const Fr fx = TARVO_TRY(Fr::from_repr(x.limbs));
  const Fr fy = TARVO_TRY(Fr::from_repr(y.limbs));
  const auto point = edwards::from_xy(fx, fy, *JUBJUB_PARAMS);
  if (!point) return Error("could not decode public key by x and y");
  return eddsa::PublicKey{*point};
}

}  // namespace tarvo
