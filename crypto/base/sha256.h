// SHA-256 (FIPS 180-4) and HMAC-SHA-256 (RFC 2104). The compression function runs on the CPU's SHA
// instructions where it has them (the x86-64 SHA extensions, the ARMv8 SHA-2 instructions), else on its
// portable twin. Blocks and
// chaining values are kept as big-endian words: an evaluation costs its compressions and little else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/base/kernel_choice.h"

namespace tarvo {

inline constexpr size_t kSha256BlockSize = 64;
using Sha256Digest = std::array<uint8_t, 32>;
// The chaining value h0..h7; after the last block, the digest as big-endian words.
using Sha256State = std::array<uint32_t, 8>;
// One message block as sixteen big-endian words.
using Sha256Block = std::array<uint32_t, 16>;

// The chaining value before the first block.
inline constexpr Sha256State SHA256_INITIAL_STATE = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

namespace sha256_kernel {

// The round constants, four to a 16-byte group for the vector kernels.
alignas(16) inline constexpr uint32_t ROUND_CONSTANTS[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// The compression: portable C++, or the SHA instructions of x86-64 (SHA extensions) or of aarch64 (SHA-2).
enum class Sha256Kernels { portable, sha_ni, armv8 };
inline constexpr KernelEntry<Sha256Kernels> SHA256_KERNELS[] = {
    {Sha256Kernels::portable, "portable", Capability::none},
    {Sha256Kernels::sha_ni, "sha_ni", Capability::sha_ni},
    {Sha256Kernels::armv8, "armv8", Capability::armv8_sha2}};
constexpr std::span<const KernelEntry<Sha256Kernels>> kernel_list(Sha256Kernels) { return SHA256_KERNELS; }

// True when the SHA instruction kernels run.
inline bool cpu_has_sha_extensions() { return fastest_kernels<Sha256Kernels>() != Sha256Kernels::portable; }

// One compression in plain C++ (sha256_portable.cpp): the kernel of CPUs without SHA instructions, and
// the reference of the tests.
void compress_portable(Sha256State& state, const Sha256Block& block);

// One compression, and two independent ones interleaved (about the latency of one: the rounds of a
// block are a chain of dependent instructions). Only call when cpu_has_sha_extensions().
void compress_sha_ni(Sha256State& state, const Sha256Block& block);
void compress_pair_sha_ni(Sha256State& first, const Sha256Block& first_block, Sha256State& second,
                          const Sha256Block& second_block);

// The same on the ARMv8 SHA-2 instructions (sha256_arm.cpp). Only call when cpu_has_sha_extensions().
void compress_armv8(Sha256State& state, const Sha256Block& block);
void compress_pair_armv8(Sha256State& first, const Sha256Block& first_block, Sha256State& second,
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
