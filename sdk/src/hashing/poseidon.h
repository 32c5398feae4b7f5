// Word-stream Poseidon hashing: 64-bit words are packed four to a field element, eight elements are
// absorbed per permutation, and the stream ends with one padding element of value 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "crypto/poseidon/poseidon.h"

namespace tarvo {

// Packs words into elements: words w0..w3 form (w0 + w1·2^64 + w2·2^128 + w3·2^192) mod r, so
// integers at or above r are reduced silently. Invariant: `cursor_` (0..3) words of the current
// element have been taken into `words_`; the limbs above the cursor are zero.
class Reduce {
 public:
  // Takes one word; after every fourth word, returns the completed element.
  std::optional<Fr> reduce(uint64_t word);

 private:
  unsigned cursor_ = 0;
  Limbs words_{};
};

// The output side of a context. Invariant: `cursor` (0..3) is the next word of `values` to hand out;
// `values` holds the last sponge output, least significant word first (zero before the first).
struct Generator {
  unsigned cursor = 0;
  std::array<uint64_t, 4> values{};
};

// Collects elements for the sponge and hands its output out one word per poseidon_finalize call.
// Invariant: `buf_len_` (0..8) elements of `buf_` are waiting for absorption.
class PoseidonContext {
 public:
  // No sponge yet; poseidon_new(1) installs one.
  PoseidonContext() = default;

  // Empties the buffer; a non-zero flag also restarts the sponge from POSEIDON_HASHER.
  void poseidon_new(uint64_t new_sponge);
  void push(uint64_t word);
  // Needs exactly eight buffered elements. Absorbs them when a new output starts (generator cursor 0),
  // then returns the output's next word.
  uint64_t poseidon_finalize();

 private:
  std::optional<Poseidon> hasher_;
  Generator generator_;
  Reduce reducer_;
  std::array<Fr, poseidon::RATE> buf_{};
  size_t buf_len_ = 0;
};

// Hashes one word stream. Invariant: `count_` (0..31) words of the current block of 32 have been
// pushed, and the context holds a sponge.
class PoseidonHasher {
 public:
  static constexpr size_t BLOCK_WORDS = 4 * poseidon::RATE;

  // When `recorded_words` is given it receives every word passed to update (the padding is not
  // recorded), so the word stream of a layout can be inspected.
  explicit PoseidonHasher(std::vector<uint64_t>* recorded_words = nullptr);

  void update(uint64_t word);
  // Pads the stream and returns the hash, least significant word first. Ends the hasher's use.
  std::array<uint64_t, 4> finalize();

 private:
  void push_counted(uint64_t word);

  size_t count_ = 0;
  PoseidonContext context_;
  std::vector<uint64_t>* recorded_words_;
};

}  // namespace tarvo
