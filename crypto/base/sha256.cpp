// The padding and the HMAC midstates, over the compression the CPU runs best. The nonce loop's messages
// are one block each, so nothing here copies, re-pads or converts a whole context per message.
#include "crypto/base/sha256.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "crypto/base/fatal.h"
#include "crypto/base/target.h"
#include "crypto/base/wipe.h"

namespace tarvo {

namespace {

constexpr size_t kLengthField = 8;
// A message tail of at most this many bytes leaves room in its block for 0x80 and the length field.
constexpr size_t kOneBlockTail = kSha256BlockSize - kLengthField - 1;
constexpr uint32_t kInnerPad = 0x36363636, kOuterPad = 0x5c5c5c5c;

// One byte swap each rather than byte-wise shifts, which compilers vectorise poorly over whole blocks.
uint32_t big_endian(uint32_t word) {
  return std::endian::native == std::endian::little ? __builtin_bswap32(word) : word;
}

void store_be32(uint32_t word, uint8_t* out) {
  word = big_endian(word);
  std::memcpy(out, &word, sizeof word);
}

uint32_t load_be32(const uint8_t* in) {
  uint32_t word;
  std::memcpy(&word, in, sizeof word);
  return big_endian(word);
}

void load_block(const uint8_t* bytes, Sha256Block& block) {
  for (size_t i = 0; i < block.size(); ++i) block[i] = load_be32(bytes + 4 * i);
}

// The padding after the last `tail_size` bytes of a message of `total_bytes` in all: 0x80, zeros and
// the bit length, which end the block(s) at `tail`. Returns the number of blocks the tail fills.
size_t pad(uint8_t* tail, size_t tail_size, uint64_t total_bytes) {
  const size_t blocks = tail_size <= kOneBlockTail ? 1 : 2;
  const size_t end = blocks * kSha256BlockSize;
  tail[tail_size] = 0x80;
  std::fill(tail + tail_size + 1, tail + end - kLengthField, uint8_t{0});
  const uint64_t bits = total_bytes * 8;
  for (size_t i = 0; i < kLengthField; ++i) tail[end - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
  return blocks;
}

// Absorbs `data`, the end of a message of `total_bytes` whose earlier blocks are in `state` already,
// and its padding; the blocks pass through `scratch`.
void absorb_last(Sha256State& state, std::span<const uint8_t> data, uint64_t total_bytes,
                 std::array<Sha256Block, 2>& scratch) {
  const size_t whole = data.size() - data.size() % kSha256BlockSize;
  for (size_t offset = 0; offset < whole; offset += kSha256BlockSize) {
    load_block(data.data() + offset, scratch[0]);
    sha256_compress(state, scratch[0]);
  }
  std::array<uint8_t, 2 * kSha256BlockSize> tail;
  std::copy(data.begin() + whole, data.end(), tail.begin());
  const size_t blocks = pad(tail.data(), data.size() - whole, total_bytes);
  for (size_t i = 0; i < blocks; ++i) load_block(tail.data() + i * kSha256BlockSize, scratch[i]);
  wipe(tail.data(), tail.size());
  for (size_t i = 0; i < blocks; ++i) sha256_compress(state, scratch[i]);
}

}  // namespace

void sha256_compress(Sha256State& state, const Sha256Block& block) {
  [[maybe_unused]] const sha256_kernel::Sha256Kernels kernels =
      fastest_kernels<sha256_kernel::Sha256Kernels>();
#if TARVO_X86_64
  if (kernels == sha256_kernel::Sha256Kernels::sha_ni) return sha256_kernel::compress_sha_ni(state, block);
#elif TARVO_AARCH64
  if (kernels == sha256_kernel::Sha256Kernels::armv8) return sha256_kernel::compress_armv8(state, block);
#endif
  sha256_kernel::compress_portable(state, block);
}

void sha256_compress_pair(Sha256State& first, const Sha256Block& first_block, Sha256State& second,
                          const Sha256Block& second_block) {
  [[maybe_unused]] const sha256_kernel::Sha256Kernels kernels =
      fastest_kernels<sha256_kernel::Sha256Kernels>();
#if TARVO_X86_64
  if (kernels == sha256_kernel::Sha256Kernels::sha_ni) {
    return sha256_kernel::compress_pair_sha_ni(first, first_block, second, second_block);
  }
#elif TARVO_AARCH64
  if (kernels == sha256_kernel::Sha256Kernels::armv8) {
    return sha256_kernel::compress_pair_armv8(first, first_block, second, second_block);
  }
#endif
  sha256_kernel::compress_portable(first, first_block);
  sha256_kernel::compress_portable(second, second_block);
}

Sha256Digest sha256_digest_bytes(const Sha256State& digest) {
  Sha256Digest bytes;
  for (size_t i = 0; i < digest.size(); ++i) store_be32(digest[i], bytes.data() + 4 * i);
  return bytes;
}

Sha256State sha256_digest_words(std::span<const uint8_t, 32> digest) {
  Sha256State words;
  for (size_t i = 0; i < words.size(); ++i) words[i] = load_be32(digest.data() + 4 * i);
  return words;
}

Sha256Digest sha256(std::span<const uint8_t> data) {
  Sha256State state = SHA256_INITIAL_STATE;
  std::array<Sha256Block, 2> scratch;
  absorb_last(state, data, data.size(), scratch);
  const Sha256Digest digest = sha256_digest_bytes(state);
  wipe(state.data(), sizeof state);
  wipe(scratch.data(), sizeof scratch);
  return digest;
}

HmacSha256::HmacSha256(const Sha256State& key) {
  constexpr size_t kKeyWords = std::tuple_size_v<Sha256State>;
  std::fill(key_blocks_[0].begin() + kKeyWords, key_blocks_[0].end(), kInnerPad);
  std::fill(key_blocks_[1].begin() + kKeyWords, key_blocks_[1].end(), kOuterPad);
  for (Sha256Block& block : outer_blocks_) {  // after the opad block: a 32-byte inner digest
    std::fill(block.begin() + kKeyWords, block.end(), 0);
    block[kKeyWords] = 0x80000000;
    block.back() = (kSha256BlockSize + 32) * 8;
  }
  set_key(key);
}

HmacSha256::~HmacSha256() {
  wipe(inner_.data(), sizeof inner_);
  wipe(outer_.data(), sizeof outer_);
  wipe(key_blocks_.data(), sizeof key_blocks_);
  wipe(outer_blocks_.data(), sizeof outer_blocks_);
  wipe(states_.data(), sizeof states_);
  wipe(tail_.data(), sizeof tail_);
}

void HmacSha256::set_key(const Sha256State& key) {
  for (size_t i = 0; i < key.size(); ++i) {
    key_blocks_[0][i] = key[i] ^ kInnerPad;
    key_blocks_[1][i] = key[i] ^ kOuterPad;
  }
  inner_ = SHA256_INITIAL_STATE;
  outer_ = SHA256_INITIAL_STATE;
  sha256_compress_pair(inner_, key_blocks_[0], outer_, key_blocks_[1]);
}

Sha256Digest HmacSha256::mac(std::span<const uint8_t> data) {
  Sha256State& inner = states_[0];
  Sha256State& outer = states_[1];
  inner = inner_;
  absorb_last(inner, data, kSha256BlockSize + data.size(), tail_);
  std::copy(inner.begin(), inner.end(), outer_blocks_[0].begin());
  outer = outer_;
  sha256_compress(outer, outer_blocks_[0]);
  return sha256_digest_bytes(outer);
}

Sha256Block HmacSha256::one_block_message(std::span<const uint8_t> message) {
  ensure(message.size() <= kMaxOneBlockMessage, "a one-block HMAC message fits its block");
  std::array<uint8_t, kSha256BlockSize> bytes;
  std::copy(message.begin(), message.end(), bytes.begin());
  pad(bytes.data(), message.size(), kSha256BlockSize + message.size());
  Sha256Block block;
  load_block(bytes.data(), block);
  wipe(bytes.data(), bytes.size());
  return block;
}

std::array<Sha256State, 2> HmacSha256::mac_pair(const Sha256Block& first, const Sha256Block& second) {
  states_ = {inner_, inner_};
  sha256_compress_pair(states_[0], first, states_[1], second);
  for (size_t i = 0; i < 2; ++i) {
    std::copy(states_[i].begin(), states_[i].end(), outer_blocks_[i].begin());
    states_[i] = outer_;
  }
  sha256_compress_pair(states_[0], outer_blocks_[0], states_[1], outer_blocks_[1]);
  return states_;
}

}  // namespace tarvo
