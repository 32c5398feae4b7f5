#include "crypto/base/sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/base/bytes.h"
#include "crypto/base/target.h"

namespace tarvo {
namespace {

constexpr uint64_t kSeed = 26021;

using Compress = void (*)(Sha256State&, const Sha256Block&);
struct Kernel {
  const char* name;
  Compress compress;
};

// The portable twin and every instruction kernel this CPU runs.
std::vector<Kernel> kernels_this_cpu_runs() {
  std::vector<Kernel> kernels = {{"portable", sha256_kernel::compress_portable}};
#if TARVO_X86_64
  if (sha256_kernel::cpu_has_sha_extensions())
    kernels.push_back({"SHA extensions", sha256_kernel::compress_sha_ni});
#elif TARVO_AARCH64
  if (sha256_kernel::cpu_has_sha_extensions())
    kernels.push_back({"ARMv8 SHA-2", sha256_kernel::compress_armv8});
#endif
  return kernels;
}

std::vector<uint8_t> random_bytes(std::mt19937_64& rng, size_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(rng());
  return bytes;
}

std::string repeated(std::string_view hex, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += hex;
  return text;
}

std::vector<uint8_t> from_hex(std::string_view hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(hex_digit_value(hex[i]) << 4 | hex_digit_value(hex[i + 1])));
  }
  return bytes;
}

// SHA-256 as the standard writes it: the whole message copied and padded, then compressed block by block.
Sha256Digest plain_sha256(std::span<const uint8_t> message, Compress compress) {
  std::vector<uint8_t> padded(message.begin(), message.end());
  padded.push_back(0x80);
  while (padded.size() % kSha256BlockSize != kSha256BlockSize - 8) padded.push_back(0);
  for (int shift = 56; shift >= 0; shift -= 8)
    padded.push_back(static_cast<uint8_t>(message.size() * 8 >> shift));
  Sha256State state = SHA256_INITIAL_STATE;
  for (size_t offset = 0; offset < padded.size(); offset += kSha256BlockSize) {
    Sha256Block block;
    for (size_t i = 0; i < block.size(); ++i) {
      const uint8_t* word = &padded[offset + 4 * i];
      block[i] = uint32_t{word[0]} << 24 | uint32_t{word[1]} << 16 | uint32_t{word[2]} << 8 | word[3];
    }
    compress(state, block);
  }
  return sha256_digest_bytes(state);
}

// HMAC as RFC 2104 writes it, for a key of any length.
Sha256Digest plain_hmac(std::span<const uint8_t> key, std::span<const uint8_t> message, Compress compress) {
  std::vector<uint8_t> block_key(kSha256BlockSize, 0);
  if (key.size() > kSha256BlockSize) {
    const Sha256Digest hashed = plain_sha256(key, compress);
    std::copy(hashed.begin(), hashed.end(), block_key.begin());
  } else {
    std::copy(key.begin(), key.end(), block_key.begin());
  }
  std::vector<uint8_t> inner, outer;
  for (const uint8_t byte : block_key) {
    inner.push_back(byte ^ 0x36);
    outer.push_back(byte ^ 0x5c);
  }
  inner.insert(inner.end(), message.begin(), message.end());
  const Sha256Digest inner_digest = plain_sha256(inner, compress);
  outer.insert(outer.end(), inner_digest.begin(), inner_digest.end());
  return plain_sha256(outer, compress);
}

// NIST's byte-oriented short and long message vectors (CAVP SHA256ShortMsg and SHA256LongMsg), at the
// padding's edges: 55 bytes and fewer fit one block with the length, 56 to 64 need a second.
struct DigestVector {
  std::string message;  // hexadecimal
  std::string_view digest;
};
std::vector<DigestVector> digest_vectors() {
  std::vector<DigestVector> vectors = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"d3", "28969cdfa74a12c82f3bad960b0b000aca2ac329deea5c2328ebc6f2ba9802c1"},
      {"11af", "5ca7133fa735326081558ac312c620eeca9970d1e70a4b95533d956f072d1f98"},
      {"b4190e", "dff2e73091f6c05e528896c4c831b9448653dc2ff043528f6769437bc7b975c2"},
      {"2d52447d1244d2ebc28650e7b05654bad35b3a68eedc7f8515306b496d75f3e73385dd1b002625024b81a02f2fd6dffb6e6d5"
       "61cb"
       "7d0bd7a",
       "cfb88d6faf2de3a69d36195acec2e255e2af2b7d933997f348e09f6ce5758360"},
      {"e2f76e97606a872e317439f1a03fcd92e632e5bd4e7cbc4e97f1afc19a16fde92d77cbe546416b51640cddb92af996534dfd8"
       "1e"
       "db17c4424cf1ac4d75aceeb",
       "18041bd4665083001fba8c5411d2d748e8abbfdcdfd9218cb02b68a78e7d4c23"},
      {"5a86b737eaea8ee976a0a24da63e7ed7eefad18a101c1211e2b3650c5187c2a8a650547208251f6d4237e661c7bf4c77f3353"
       "9"
       "0394c37fa1a9f9be836ac28509",
       "42e61e174fbb3897d6dd6cef3dd2802fe67b331953b06114a65c772859dfc1aa"},
      {"451101250ec6f26652249d59dc974b7361d571a8101cdfd36aba3b5854d3ae086b5fdd4597721b66e3c0dc5d8c606d9657d0e"
       "3"
       "23283a5217d1f53f2f284f57b85c8a61ac8924711f895c5ed90ef17745ed2d728abd22a5f7a13479a462d71b56c19a74a40b6"
       "5"
       "5c58edfe0a188ad2cf46cbf30524f65d423c837dd1ff2bf462ac4198007345bb44dbb7b1c861298cdf61982a833afc728fae1"
       "e"
       "da2f87aa2c9480858bec",
       "3c593aa539fdcdae516cdf2f15000f6634185c88f505b39775fb9ab137a10aa2"},
  };
  // The standard's long example: one million times "a".
  vectors.push_back(
      {repeated("61", 1'000'000), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"});
  return vectors;
}

TEST(Sha256, EveryKernelGivesTheNistDigests) {
  // Which kernels ran, for the emulated runs (scripts/cross-aarch64); the last one is the library's.
  std::string names;
  for (const Kernel& kernel : kernels_this_cpu_runs())
    names += std::string(names.empty() ? "" : ", ") + kernel.name;
  std::printf("SHA-256 kernels this CPU runs: %s\n", names.c_str());
  for (const DigestVector& vector : digest_vectors()) {
    const std::vector<uint8_t> message = from_hex(vector.message);
    EXPECT_EQ(hex_encode(sha256(message)), vector.digest) << message.size() << " bytes";
    for (const Kernel& kernel : kernels_this_cpu_runs()) {
      EXPECT_EQ(hex_encode(plain_sha256(message, kernel.compress)), vector.digest)
          << kernel.name << ", " << message.size() << " bytes";
    }
  }
}

// RFC 4231's test cases 1 to 7 (case 5 truncated to 128 bits). Keys of at most 32 bytes are the 32-byte
// key padded with zeros, as HMAC pads every key to the block; longer ones are hashed first.
TEST(HmacSha256, EveryKernelGivesTheRfc4231Macs) {
  struct MacVector {
    std::string key, data;  // hexadecimal
    std::string_view mac;
  };
  const std::string long_key = repeated("aa", 131);
  const MacVector vectors[] = {
      {repeated("0b", 20), "4869205468657265",
       "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"4a656665", "7768617420646f2079612077616e7420666f72206e6f7468696e673f",
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {repeated("aa", 20), repeated("dd", 50),
       "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
      {"0102030405060708090a0b0c0d0e0f10111213141516171819", repeated("cd", 50),
       "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
      {repeated("0c", 20), "546573742057697468205472756e636174696f6e", "a3b6167473100ee06e0c796c2955552b"},
      {long_key,
       "54657374205573696e67204c6172676572205468616e20426c6f636b2d53697a65204b6579202d2048617368204b657920466"
       "9"
       "727374",
       "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
      {long_key,
       "5468697320697320612074657374207573696e672061206c6172676572207468616e20626c6f636b2d73697a65206b6579206"
       "1"
       "6e642061206c6172676572207468616e20626c6f636b2d73697a6520646174612e20546865206b6579206e6565647320746f2"
       "0"
       "626520686173686564206265666f7265206265696e6720757365642062792074686520484d414320616c676f726974686d2e",
       "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
  };
  int number = 0;
  for (const MacVector& vector : vectors) {
    ++number;
    const std::vector<uint8_t> key = from_hex(vector.key), data = from_hex(vector.data);
    Sha256Digest key_bytes{};
    if (key.size() > key_bytes.size()) {
      key_bytes = sha256(key);
    } else {
      std::copy(key.begin(), key.end(), key_bytes.begin());
    }
    HmacSha256 hmac(sha256_digest_words(key_bytes));
    EXPECT_EQ(hex_encode(hmac.mac(data)).substr(0, vector.mac.size()), vector.mac) << "case " << number;
    for (const Kernel& kernel : kernels_this_cpu_runs()) {
      EXPECT_EQ(hex_encode(plain_hmac(key, data, kernel.compress)).substr(0, vector.mac.size()), vector.mac)
          << kernel.name << ", case " << number;
    }
  }
}

TEST(Sha256, InstructionKernelsAgreeWithThePortableTwin) {
  if (!sha256_kernel::cpu_has_sha_extensions()) GTEST_SKIP() << "no SHA instructions: the portable twin runs";
  std::mt19937_64 rng(kSeed);
  for (int round = 0; round < 200; ++round) {
    Sha256State expected[2], single, paired[2];
    Sha256Block blocks[2];
    for (size_t i = 0; i < 2; ++i) {
      for (uint32_t& word : expected[i]) word = static_cast<uint32_t>(rng());
      for (uint32_t& word : blocks[i]) word = static_cast<uint32_t>(rng());
    }
    single = paired[0] = expected[0];
    paired[1] = expected[1];
    sha256_kernel::compress_portable(expected[0], blocks[0]);
    sha256_kernel::compress_portable(expected[1], blocks[1]);
#if TARVO_X86_64
    sha256_kernel::compress_sha_ni(single, blocks[0]);
    sha256_kernel::compress_pair_sha_ni(paired[0], blocks[0], paired[1], blocks[1]);
#elif TARVO_AARCH64
    sha256_kernel::compress_armv8(single, blocks[0]);
    sha256_kernel::compress_pair_armv8(paired[0], blocks[0], paired[1], blocks[1]);
#endif
    ASSERT_EQ(single, expected[0]) << "seed " << kSeed;
    ASSERT_EQ(paired[0], expected[0]) << "seed " << kSeed;
    ASSERT_EQ(paired[1], expected[1]) << "seed " << kSeed;
  }
}

// Every padding case (one or two tail blocks, whole blocks before) against the plain definitions.
TEST(Sha256, DigestsAndMacsAgreeWithThePlainDefinitions) {
  std::mt19937_64 rng(kSeed);
  const std::vector<uint8_t> key = random_bytes(rng, 32);
  HmacSha256 hmac(sha256_digest_words(std::span<const uint8_t, 32>(key.data(), 32)));
  for (size_t size = 0; size <= 3 * kSha256BlockSize; ++size) {
    const std::vector<uint8_t> data = random_bytes(rng, size);
    EXPECT_EQ(sha256(data), plain_sha256(data, sha256_kernel::compress_portable)) << size;
    const Sha256Digest expected = plain_hmac(key, data, sha256_kernel::compress_portable);
    EXPECT_EQ(hmac.mac(data), expected) << size;
    if (size <= HmacSha256::kMaxOneBlockMessage) {
      const std::vector<uint8_t> other = random_bytes(rng, HmacSha256::kMaxOneBlockMessage - size);
      const auto macs =
          hmac.mac_pair(HmacSha256::one_block_message(data), HmacSha256::one_block_message(other));
      EXPECT_EQ(sha256_digest_bytes(macs[0]), expected) << size;
      EXPECT_EQ(sha256_digest_bytes(macs[1]), hmac.mac(other)) << size;
    }
  }
}

}  // namespace
}  // namespace tarvo
