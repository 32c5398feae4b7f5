// Signature encodings: the texts verification reads, read straight into the form the verifier consumes,
// and the decoding of a point encoding. Every failure here is a fatal internal error.
#pragma once

#include <string_view>
#include <utility>

#include "crypto/eddsa/eddsa.h"
#include "sdk/src/numbers/u256.h"

namespace tarvo {

// The verifier's form of the "r" and "s" texts of a signature: every leading "0x", then every leading
// "0X" removed, then the 256-bit hexadecimal rule; r must be the encoding of a point (R), s below l.
eddsa::Signature packed_signature_from_str(std::string_view r_text, std::string_view s_text);

// Affine coordinates of the point whose encoding, read little-endian, is r.
std::pair<Fr, Fr> get_xy_from_r(const U256& r);

// packed_signature_from_str, then get_xy_from_r(encoding), the two points decoded together (their square
// roots' exponentiations in lockstep): the same results and the same failures in the same order.
std::pair<eddsa::Signature, std::pair<Fr, Fr>> packed_signature_and_xy_from_r(std::string_view r_text,
                                                                              std::string_view s_text,
                                                                              const U256& encoding);

}  // namespace tarvo
