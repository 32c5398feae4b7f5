// OpenSSL 3 marks the low-level SHA-256 functions deprecated but still provides them, with their hardware
// acceleration. They are what keeps the library small when libcrypto is linked in statically: the
// one-shot SHA256() and HMAC() go through the EVP layer, which drags in the provider machinery and the
// configuration loader (megabytes), and they set the key up again on every call where the midstates below
// are reused across the about 42 rounds of the nonce loop.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "crypto/base/sha256.h"

#include <openssl/crypto.h>

#include "crypto/base/fatal.h"

namespace tarvo {

namespace {

// The digest of `ctx` (a copy of a running state) after absorbing `data`.
Sha256Digest finish(SHA256_CTX ctx, std::span<const uint8_t> data) {
  Sha256Digest digest{};
  const bool ok =
      SHA256_Update(&ctx, data.data(), data.size()) == 1 && SHA256_Final(digest.data(), &ctx) == 1;
  OPENSSL_cleanse(&ctx, sizeof ctx);
  ensure(ok, "SHA-256 failed");
  return digest;
}

}  // namespace

Sha256Digest sha256(std::span<const uint8_t> data) {
  SHA256_CTX ctx;
  ensure(SHA256_Init(&ctx) == 1, "SHA-256 failed");
  return finish(ctx, data);
}

HmacSha256::HmacSha256(std::span<const uint8_t, 32> key) {
  std::array<uint8_t, SHA256_CBLOCK> pad{};
  for (size_t i = 0; i < pad.size(); ++i) pad[i] = (i < key.size() ? key[i] : 0) ^ 0x36;
  bool ok = SHA256_Init(&inner_) == 1 && SHA256_Update(&inner_, pad.data(), pad.size()) == 1;
  for (uint8_t& byte : pad) byte ^= 0x36 ^ 0x5c;
  ok = ok && SHA256_Init(&outer_) == 1 && SHA256_Update(&outer_, pad.data(), pad.size()) == 1;
  OPENSSL_cleanse(pad.data(), pad.size());
  ensure(ok, "HMAC can take key of any size");
}

HmacSha256::~HmacSha256() {
  OPENSSL_cleanse(&inner_, sizeof inner_);
  OPENSSL_cleanse(&outer_, sizeof outer_);
}

Sha256Digest HmacSha256::mac(std::span<const uint8_t> data) const {
  Sha256Digest inner_digest = finish(inner_, data);
  const Sha256Digest mac = finish(outer_, inner_digest);
  OPENSSL_cleanse(inner_digest.data(), inner_digest.size());
  return mac;
}

}  // namespace tarvo
