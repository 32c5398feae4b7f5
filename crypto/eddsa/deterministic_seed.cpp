#include <openssl/crypto.h>

#include <algorithm>
#include <array>

#include "crypto/base/sha256.h"
#include "crypto/eddsa/eddsa.h"

namespace tarvo::eddsa {

namespace {

using Bytes32 = Sha256Digest;

Bytes32 hmac_sha256(const Bytes32& key, std::span<const uint8_t> data) {
  TARVO_COUNT_HMAC(key, data);
  return HmacSha256(key).mac(data);
}

// V ‖ separator ‖ x ‖ h1, the input of the two key updates before the loop.
std::array<uint8_t, 97> key_update_input(const Bytes32& v, uint8_t separator, const Bytes32& x,
                                         const Bytes32& h1) {
  std::array<uint8_t, 97> input{};
  std::copy(v.begin(), v.end(), input.begin());
  input[32] = separator;
  std::copy(x.begin(), x.end(), input.begin() + 33);
  std::copy(h1.begin(), h1.end(), input.begin() + 65);
  return input;
}

template <typename... Buffers>
void wipe(Buffers&... buffers) {
  (OPENSSL_cleanse(buffers.data(), sizeof buffers), ...);
}

}  // namespace

// The HMAC-DRBG steps of RFC 6979 section 3.2 with the message hash taken as is (not reduced mod l)
// and V left unchanged between rejected candidates.
Seed Seed::deterministic_seed(const PrivateKey& key, std::span<const uint8_t> message) {
  const Bytes32 h1 = sha256(message);
  Bytes32 x = key.sk.to_be_bytes();
  Bytes32 v;
  v.fill(0x01);
  Bytes32 k{};

  std::array<uint8_t, 97> input = key_update_input(v, 0x00, x, h1);
  k = hmac_sha256(k, input);
  v = hmac_sha256(k, v);
  input = key_update_input(v, 0x01, x, h1);
  k = hmac_sha256(k, input);
  v = hmac_sha256(k, v);

  std::array<uint8_t, 33> retry_input{};
  std::copy(v.begin(), v.end(), retry_input.begin());
  Bytes32 t;
  Limbs candidate;
  for (;;) {
    const HmacSha256 hmac(k);
    TARVO_COUNT_HMAC(k, v);
    t = hmac.mac(v);
    candidate = limbs_from_be_bytes(t);
    if (below_l_declassified(candidate)) {
      Seed seed{Fs::from_u256_reduced(candidate)};
      wipe(k, v, t, x, input, retry_input, candidate);
      return seed;
    }
    TARVO_COUNT_HMAC(k, retry_input);
    k = hmac.mac(retry_input);
  }
}

}  // namespace tarvo::eddsa
