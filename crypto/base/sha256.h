// SHA-256 and HMAC-SHA-256 (RFC 2104). The compression function runs on our kernel for the x86-64 SHA
// extensions where the CPU has them, else on OpenSSL's low-level SHA-256 (hardware-accelerated on
// aarch64 too). Blocks and chaining values are kept as big-endian words, the padding and the HMAC
// midstates are ours: an evaluation costs its compressions and little else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/base/cpu_features.h"

namespace tarvo {

inline constexpr size_t kSha256BlockSize = 64;
using Sha256Digest = std::array<uint8_t, 32>;
// The chaining value h0..h7; after the last block, the digest as big-endian words.
using Sha256State = std::array<uint32_t, 8>;
// One message block as sixteen big-endian words.
using Sha256Block = std::array<uint32_t, 16>;

namespace sha256_kernel {

// True when the SHA-extension kernels run: an x86-64 CPU with SHA and SSE4.1.
inline bool cpu_has_sha_extensions() {
  static const bool has_sha = cpu_features().sha;
  return has_sha;
}

// One compression through OpenSSL's SHA256_Transform: the fallback, and the reference of the tests.
void compress_openssl(Sha256State& state, const Sha256Block& block);

// One compression, and two independent ones interleaved (about the latency of one: the rounds of a
// block are a chain of dependent instructions). Only call when cpu_has_sha_extensions().
void compress_sha_ni(Sha256State& state, const Sha256Block& block);
void compress_pair_sha_ni(Sha256State& first, const Sha256Block& first_block, Sha256State& second,
                          const Sha256Block& second_block);

}  // namespace sha256_kernel

// state = compression of `block` into `state`.
void sha256_compress(Sha256State& state, const Sha256Block& block);
// The same for two independent states and blocks.
void sha256_compress_pair(Sha256State& first, const Sha256Block& first_block, Sha256State& second,
                          const Sha256Block& second_block);

Sha256Digest sha256_digest_bytes(const Sha256State& digest);
Sha256State sha256_digest_words(std::span<const uint8_t, 32> digest);

Sha256Digest sha256(std::span<const uint8_t> data);

// HMAC-SHA-256 under one 32-byte key, for many messages. Invariant: `inner_` and `outer_` hold the
// chaining values after the key XOR ipad and XOR opad blocks, so each message costs no key set-up; the
// padding of the key blocks and of the outer blocks is written once. Everything is wiped with the object.
class HmacSha256 {
 public:
  explicit HmacSha256(const Sha256State& key);
  HmacSha256(const HmacSha256&) = delete;
  HmacSha256& operator=(const HmacSha256&) = delete;
  ~HmacSha256();

  // Replaces the key in place (its two padded blocks compressed side by side).
  void set_key(const Sha256State& key);

  Sha256Digest mac(std::span<const uint8_t> data);

  // A message of at most kMaxOneBlockMessage bytes with its padding: the one block that follows the
  // key block, reusable under any key.
  static constexpr size_t kMaxOneBlockMessage = kSha256BlockSize - 9;
  static Sha256Block one_block_message(std::span<const uint8_t> message);

  // The MACs of two one-block messages, computed side by side, as big-endian words.
  std::array<Sha256State, 2> mac_pair(const Sha256Block& first, const Sha256Block& second);

 private:
  Sha256State inner_;
  Sha256State outer_;
  std::array<Sha256Block, 2> key_blocks_;    // key XOR ipad, key XOR opad
  std::array<Sha256Block, 2> outer_blocks_;  // an inner digest and its padding
  std::array<Sha256State, 2> states_;
  std::array<Sha256Block, 2> tail_;
};

}  // namespace tarvo
