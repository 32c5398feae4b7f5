#include "crypto/base/sha256.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <random>
#include <vector>

#include "crypto/base/target.h"

namespace tarvo {
namespace {

constexpr uint64_t kSeed = 26021;

std::vector<uint8_t> random_bytes(std::mt19937_64& rng, size_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(rng());
  return bytes;
}

TEST(Sha256, ExtensionKernelsAgreeWithOpenSsl) {
  if (!sha256_kernel::cpu_has_sha_extensions()) GTEST_SKIP() << "no SHA extensions: OpenSSL compresses";
#if TARVO_X86_64
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
    sha256_kernel::compress_openssl(expected[0], blocks[0]);
    sha256_kernel::compress_openssl(expected[1], blocks[1]);
    sha256_kernel::compress_sha_ni(single, blocks[0]);
    sha256_kernel::compress_pair_sha_ni(paired[0], blocks[0], paired[1], blocks[1]);
    ASSERT_EQ(single, expected[0]) << "seed " << kSeed;
    ASSERT_EQ(paired[0], expected[0]) << "seed " << kSeed;
    ASSERT_EQ(paired[1], expected[1]) << "seed " << kSeed;
  }
#endif
}

// Every padding case (one or two tail blocks, whole blocks before) against OpenSSL's one-shot functions.
TEST(Sha256, DigestsAndMacsAgreeWithOpenSsl) {
  std::mt19937_64 rng(kSeed);
  const std::vector<uint8_t> key = random_bytes(rng, 32);
  HmacSha256 hmac(sha256_digest_words(std::span<const uint8_t, 32>(key.data(), 32)));
  for (size_t size = 0; size <= 3 * kSha256BlockSize; ++size) {
    const std::vector<uint8_t> data = random_bytes(rng, size);
    Sha256Digest expected;
    ASSERT_EQ(EVP_Digest(data.data(), size, expected.data(), nullptr, EVP_sha256(), nullptr), 1);
    EXPECT_EQ(sha256(data), expected) << size;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), data.data(), size, expected.data(), nullptr);
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
