// The nonce loop runs about 42 rounds of three HMAC-SHA-256 computations on short inputs. OpenSSL's
// one-shot HMAC() sets the key up again for each; keeping the inner and outer SHA-256 midstates of a
// key halves the compressions and avoids the per-call setup. The midstates need the low-level SHA-256
// interface, which OpenSSL 3 marks deprecated but still provides (with its hardware acceleration).
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/sha.h>

#include <algorithm>
#include <array>

#include "crypto/base/fatal.h"
#include "crypto/eddsa/eddsa.h"

namespace tarvo::eddsa {

namespace {

using Bytes32 = std::array<uint8_t, 32>;

// HMAC-SHA-256 (RFC 2104) under one 32-byte key. Invariant: `inner_` and `outer_` hold SHA-256 after
// absorbing the key XOR ipad and XOR opad blocks; both are wiped with the object.
class HmacSha256 {
 public:
  explicit HmacSha256(const Bytes32& key) {
    std::array<uint8_t, SHA256_CBLOCK> pad{};
    for (size_t i = 0; i < pad.size(); ++i) pad[i] = (i < key.size() ? key[i] : 0) ^ 0x36;
    bool ok = SHA256_Init(&inner_) == 1 && SHA256_Update(&inner_, pad.data(), pad.size()) == 1;
    for (uint8_t& byte : pad) byte ^= 0x36 ^ 0x5c;
    ok = ok && SHA256_Init(&outer_) == 1 && SHA256_Update(&outer_, pad.data(), pad.size()) == 1;
    OPENSSL_cleanse(pad.data(), pad.size());
    ensure(ok, "HMAC can take key of any size");
  }
  HmacSha256(const HmacSha256&) = delete;
  HmacSha256& operator=(const HmacSha256&) = delete;
  ~HmacSha256() {
    OPENSSL_cleanse(&inner_, sizeof inner_);
    OPENSSL_cleanse(&outer_, sizeof outer_);
  }

  Bytes32 mac(std::span<const uint8_t> data) const {
    Bytes32 inner_digest{}, mac{};
    SHA256_CTX ctx = inner_;
    bool ok =
        SHA256_Update(&ctx, data.data(), data.size()) == 1 && SHA256_Final(inner_digest.data(), &ctx) == 1;
    ctx = outer_;
    ok = ok && SHA256_Update(&ctx, inner_digest.data(), inner_digest.size()) == 1 &&
         SHA256_Final(mac.data(), &ctx) == 1;
    OPENSSL_cleanse(&ctx, sizeof ctx);
    OPENSSL_cleanse(inner_digest.data(), inner_digest.size());
    ensure(ok, "HMAC-SHA-256 failed");
    return mac;
  }

 private:
  SHA256_CTX inner_;
  SHA256_CTX outer_;
};

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
