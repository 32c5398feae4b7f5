#include "crypto/base/bytes.h"
#include "crypto/base/sha256.h"
#include "crypto/base/wipe.h"
#include "crypto/field/fs.h"
#include "sdk/src/lib/core.h"

namespace tarvo::sdk {

namespace {

bool below_subgroup_order(const Sha256Digest& digest) {
  Limbs limbs = limbs_from_be_bytes(digest);
  const bool below = below_l_declassified(limbs);
  wipe(limbs.data(), sizeof limbs);
  return below;
}

}  // namespace

// The first of SHA-256(seed) hashed again and again whose big-endian value is below l; each candidate is
// accepted with a probability of about 1/42.
Result<std::string> private_key_from_seed(std::string_view seed) {
  if (seed.size() < 32) return Error("seed is too short");
  Sha256Digest previous = sha256({reinterpret_cast<const uint8_t*>(seed.data()), seed.size()});
  Sha256Digest digest{};
  for (;;) {
    digest = sha256(previous);
    if (below_subgroup_order(digest)) break;
    previous = digest;
  }
  std::string text = hex_encode(digest, "0x");
  wipe(previous.data(), previous.size());
  wipe(digest.data(), digest.size());
  return text;
}

}  // namespace tarvo::sdk
