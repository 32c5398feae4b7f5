#include <algorithm>
#include <array>

#include "crypto/base/sha256.h"
#include "crypto/base/wipe.h"
#include "crypto/eddsa/eddsa.h"

namespace tarvo::eddsa {

namespace {

using Bytes32 = Sha256Digest;

Bytes32 hmac_sha256(const Bytes32& key, std::span<const uint8_t> data) {
  HmacSha256 hmac(sha256_digest_words(key));
  return hmac.mac(data);
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

// A digest read as a big-endian 256-bit integer.
Limbs limbs_from_digest(const Sha256State& digest) {
  Limbs limbs;
  for (size_t i = 0; i < limbs.size(); ++i) limbs[3 - i] = uint64_t{digest[2 * i]} << 32 | digest[2 * i + 1];
  return limbs;
}

template <typename... Buffers>
void wipe_all(Buffers&... buffers) {
  (wipe(buffers.data(), sizeof buffers), ...);
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

  // Each round's candidate HMAC_K(V) and the next key HMAC_K(V ‖ 0x00) share K's midstates and are
  // computed side by side; the key of the round that accepts is computed too and dropped. V, and with
  // it the two padded message blocks, stays the same in every round.
  std::array<uint8_t, 33> retry_input{};
  std::copy(v.begin(), v.end(), retry_input.begin());
  std::array<Sha256Block, 2> blocks = {HmacSha256::one_block_message(v),
                                       HmacSha256::one_block_message(retry_input)};
  Sha256State key_words = sha256_digest_words(k);
  HmacSha256 hmac(key_words);
  std::array<Sha256State, 2> macs;
  Limbs candidate;
  for (;;) {
    macs = hmac.mac_pair(blocks[0], blocks[1]);
    candidate = limbs_from_digest(macs[0]);
    if (below_l_declassified(candidate)) {
      Seed seed{Fs::from_u256_reduced(candidate)};
      wipe_all(k, v, x, input, retry_input, blocks, key_words, macs, candidate);
      return seed;
    }
    key_words = macs[1];
    hmac.set_key(key_words);
  }
}

}  // namespace tarvo::eddsa
