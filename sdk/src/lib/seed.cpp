#include <openssl/crypto.h>
#include <openssl/sha.h>

#include <array>

#include "crypto/base/bytes.h"
#include "crypto/field/fs.h"
#include "sdk/src/lib/core.h"

namespace tarvo::sdk {

namespace {

using Digest = std::array<uint8_t, SHA256_DIGEST_LENGTH>;

bool below_subgroup_order(const Digest& digest) {
  Limbs limbs = limbs_from_be_bytes(digest);
  const bool below = below_l_declassified(limbs);
  OPENSSL_cleanse(limbs.data(), sizeof limbs);
  return below;
}

}  // namespace

// The first of SHA-256(seed) hashed again and again whose big-endian value is below l; each candidate is
// accepted with a probability of about 1/42.
Result<std::string> private_key_from_seed(std::string_view seed) {
  if (seed.size() < 32) return Error("seed is too short");
  Digest previous{};
  Digest digest{};
  SHA256(reinterpret_cast<const uint8_t*>(seed.data()), seed.size(), previous.data());
  for (;;) {
    SHA256(previous.data(), previous.size(), digest.data());
    if (below_subgroup_order(digest)) break;
    previous = digest;
  }
  std::string text = hex_encode(digest, "0x");
  OPENSSL_cleanse(previous.data(), previous.size());
  OPENSSL_cleanse(digest.data(), digest.size());
  return text;
}

}  // namespace tarvo::sdk
