// The transaction signer: signs a 32-byte message with fixed generator 5 and checks its own result.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "crypto/base/result.h"
#include "crypto/eddsa/eddsa.h"
#include "sdk/src/signing/types.h"

namespace tarvo {

// The signer's result. Invariant: `signature` verifies against `signature.public_key` for the message it
// was made for.
struct TxSignature {
  eddsa::CheckedSignature signature;

  // Deterministic nonce, (R, s) = (r·G, m·sk + r), then verification against sk·G.
  static TxSignature sign_msg(const eddsa::PrivateKey& private_key, std::span<const uint8_t, 32> message);

  // R as its affine coordinates and s as its canonical integer; the public key is not carried over.
  JubjubSignature to_jubjub_signature() const;
  // R, s and the public key (packed here, and its affine x) as hexadecimal texts.
  L1Signature to_l1_signature() const;
};

// A 256-bit message value as the signer reads it: 32 bytes, least significant first.
inline std::array<uint8_t, 32> message_bytes(const U256& value) { return value.to_le_bytes(); }

// The transaction signing routine shared by every request kind once its hash is known: parse the key
// text, sign the hash's 32 bytes, return the affine signature. Key errors are returned.
Result<JubjubSignature> sign_hash(const U256& hash, std::string_view private_key);

}  // namespace tarvo
