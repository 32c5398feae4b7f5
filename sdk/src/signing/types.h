// Affine point and signature types shared by the key, signature and signing code; the signature records
// say what their JSON texts hold.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "crypto/base/bytes.h"
#include "crypto/curve/edwards.h"
#include "crypto/field/fr.h"
#include "sdk/src/json/writer.h"
#include "sdk/src/numbers/u256.h"

namespace tarvo {

// A public key in its packed form: the 32-byte point encoding read as a little-endian integer,
// y + 2^255 * (x mod 2).
using PackedPublicKey = U256;

// The packed form of an affine point: its encoding read as a little-endian integer (the packed public
// key).
inline U256 packed_point(const std::pair<Fr, Fr>& affine) {
  return U256::from_le_bytes(edwards::write_affine(affine.first, affine.second));
}

// Affine point; x and y are canonical field integers (or, under the address rule of packed public
// keys, x = 0 and y a raw value below 2^160).
struct BabyJubjubPoint {
  U256 x;
  U256 y;

  friend bool operator==(const BabyJubjubPoint&, const BabyJubjubPoint&) = default;
};

// A signature in affine form: the affine coordinates of the point R and the canonical integer of the scalar
// s.
struct JubjubSignature {
  std::pair<Fr, Fr> r;
  U256 s;

  // {"r":"0x…","s":"0x…"}: r the encoding of R read as a little-endian integer, s the scalar, each 64
  // lowercase digits (147 characters in all).
  std::string to_json() const {
    std::array<uint8_t, 32> encoding = edwards::write_affine(r.first, r.second);
    std::ranges::reverse(encoding);  // the integer's bytes, most significant first
    return json::compact_object({{"r", hex_encode(encoding, "0x")}, {"s", s.to_hex()}});
  }

  friend bool operator==(const JubjubSignature&, const JubjubSignature&) = default;
};

// The layer-one signature record. Every field is "0x" and 64 lowercase hexadecimal digits.
struct L1Signature {
  std::string x;     // affine x of R
  std::string y;     // affine y of R
  std::string s;     // the signature scalar
  std::string pk_x;  // the packed public key
  std::string pk_y;  // affine x of the public key point

  // {"x":"…","y":"…","s":"…","pk_x":"…","pk_y":"…"}.
  std::string to_json() const {
    return json::compact_object({{"x", x}, {"y", y}, {"s", s}, {"pk_x", pk_x}, {"pk_y", pk_y}});
  }
};

}  // namespace tarvo
