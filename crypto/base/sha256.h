// SHA-256 and HMAC-SHA-256 (RFC 2104) on OpenSSL's low-level SHA-256 functions only.
#pragma once

#include <openssl/sha.h>

#include <array>
#include <cstdint>
#include <span>

namespace tarvo {

using Sha256Digest = std::array<uint8_t, SHA256_DIGEST_LENGTH>;

Sha256Digest sha256(std::span<const uint8_t> data);

// HMAC-SHA-256 under one 32-byte key, for many messages. Invariant: `inner_` and `outer_` hold SHA-256
// after absorbing the key XOR ipad and XOR opad blocks, so each message costs no key set-up; both are
// wiped with the object.
class HmacSha256 {
 public:
  explicit HmacSha256(std::span<const uint8_t, 32> key);
  HmacSha256(const HmacSha256&) = delete;
  HmacSha256& operator=(const HmacSha256&) = delete;
  ~HmacSha256();

  Sha256Digest mac(std::span<const uint8_t> data) const;

 private:
  SHA256_CTX inner_;
  SHA256_CTX outer_;
};

}  // namespace tarvo
