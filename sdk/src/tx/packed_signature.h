// Signature encodings: the affine JubjubSignature, its JSON text and the texts verification reads,
// and the packed form the verifier consumes. Every failure here is a fatal internal error.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "crypto/eddsa/eddsa.h"
#include "sdk/src/zkw/types.h"

namespace tarvo {

// {"r":"0x…","s":"0x…"}: r is the packed encoding of R (y + 2^255·(x mod 2)), s the scalar, each 64
// lowercase digits (147 characters in all).
std::string signature_to_json(const JubjubSignature& signature);

// Reads the "r" and "s" texts of a signature: every leading "0x", then every leading "0X" removed,
// then the 256-bit hexadecimal rule; R must decode as a point. s is kept as given (not reduced).
JubjubSignature jubjub_signature_from_str(std::string_view r_text, std::string_view s_text);

// The verifier's form: R from its affine coordinates, s < l.
eddsa::Signature to_packed_signature(const JubjubSignature& signature);

// Affine coordinates of the point whose encoding, read little-endian, is r.
std::pair<Fr, Fr> get_xy_from_r(const U256& r);

// The curve point with canonical affine coordinates (x, y).
edwards::Point<edwards::Unknown> point_from_xy(const U256& x, const U256& y);

}  // namespace tarvo
