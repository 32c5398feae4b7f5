#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <algorithm>
#include <array>

#include "crypto/base/fatal.h"
#include "crypto/eddsa/eddsa.h"

namespace tarvo::eddsa {

namespace {

using Bytes32 = std::array<uint8_t, 32>;

Bytes32 hmac_sha256(const Bytes32& key, std::span<const uint8_t> data) {
  Bytes32 mac{};
  unsigned int length = 0;
  const bool done = HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), data.data(), data.size(),
                         mac.data(), &length) != nullptr;
  ensure(done && length == mac.size(), "HMAC can take key of any size");
  return mac;
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

Limbs limbs_from_be(const Bytes32& bytes) {
  Limbs limbs{};
  for (size_t i = 0; i < 32; ++i) limbs[3 - i / 8] |= uint64_t{bytes[i]} << (8 * (7 - i % 8));
  return limbs;
}

}  // namespace

// The HMAC-DRBG steps of RFC 6979 section 3.2 with the message hash taken as is (not reduced mod l)
// and V left unchanged between rejected candidates.
Seed Seed::deterministic_seed(const PrivateKey& key, std::span<const uint8_t> message) {
  Bytes32 h1{};
  SHA256(message.data(), message.size(), h1.data());
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
    t = hmac_sha256(k, v);
    candidate = limbs_from_be(t);
    const Result<Fs> r = Fs::from_repr(candidate);
    if (r) {
      wipe(k, v, t, x, input, retry_input, candidate);
      return Seed{*r};
    }
    k = hmac_sha256(k, retry_input);
  }
}

}  // namespace tarvo::eddsa
