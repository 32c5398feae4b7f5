// Public keys: derivation from a private key, the packed form and its affine unpacking.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "crypto/base/result.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/eddsa/eddsa.h"
#include "sdk/src/signing/types.h"

namespace tarvo {

// The packed key of sk·G and what unpack_public_key gives for it, without decoding the packed form
// again.
std::pair<PackedPublicKey, BabyJubjubPoint> public_key_and_point(const eddsa::PrivateKey& private_key);

// Affine coordinates of a packed key. A nonzero value below 2^160 is an address, not a point: it
// unpacks to (0, value) without decoding. Anything else must decode as a point (fatal otherwise).
BabyJubjubPoint unpack_public_key(const PackedPublicKey& packed);

// packed_signature_from_str of the texts, then unpack_public_key, a key that is a point encoding decoded
// together with the signature's R: the same results and the same fatal failures in the same order.
std::pair<eddsa::Signature, BabyJubjubPoint> signature_and_public_key(std::string_view r_text,
                                                                      std::string_view s_text,
                                                                      const PackedPublicKey& packed);

// The verification key with affine coordinates (x, y). Errors: a coordinate >= r (the field's
// NotInField text), "could not decode public key by x and y" for a pair off the curve. No subgroup
// check: verification makes it.
Result<eddsa::PublicKey> convert_to_pubkey(const U256& x, const U256& y);

}  // namespace tarvo
