#include "sdk/src/hashing/poseidon.h"

namespace tarvo {

std::optional<Fr> Reduce::reduce(uint64_t word) {
  words_[cursor_] = word;
  if (++cursor_ < 4) return std::nullopt;
  cursor_ = 0;
  const Fr element = Fr::from_u256_reduced(words_);
  words_ = {};
  return element;
}

void PoseidonContext::poseidon_new(uint64_t new_sponge) {
  buf_len_ = 0;
  if (new_sponge != 0) hasher_ = poseidon_hasher();
}

void PoseidonContext::push(uint64_t word) {
  const std::optional<Fr> element = reducer_.reduce(word);
  if (!element) return;
  ensure(buf_len_ < buf_.size(), "Poseidon context buffer overflow: more than 8 elements pushed");
  buf_[buf_len_++] = *element;
}

uint64_t PoseidonContext::poseidon_finalize() {
  ensure(buf_len_ == buf_.size(), "poseidon_finalize requires exactly 8 buffered elements");
  ensure(hasher_.has_value(), "poseidon_finalize on a context without a Poseidon sponge");
  if (generator_.cursor == 0) {
    generator_.values = hasher_->update_exact(buf_).into_repr();
  }
  const uint64_t word = generator_.values[generator_.cursor];
  generator_.cursor = (generator_.cursor + 1) % 4;
  return word;
}

PoseidonHasher::PoseidonHasher(std::vector<uint64_t>* recorded_words) : recorded_words_(recorded_words) {
  context_.poseidon_new(1);
}

void PoseidonHasher::update(uint64_t word) {
  if (recorded_words_ != nullptr) recorded_words_->push_back(word);
  push_counted(word);
}

// A full block is absorbed at once; the four output words it yields are not needed.
void PoseidonHasher::push_counted(uint64_t word) {
  context_.push(word);
  if (++count_ < BLOCK_WORDS) return;
  for (int i = 0; i < 4; ++i) context_.poseidon_finalize();
  context_.poseidon_new(0);
  count_ = 0;
}

std::array<uint64_t, 4> PoseidonHasher::finalize() {
  while (count_ % 4 != 0) push_counted(0);
  context_.push(1);
  for (size_t i = count_ + 1; i < BLOCK_WORDS; ++i) context_.push(0);
  std::array<uint64_t, 4> result;
  for (uint64_t& word : result) word = context_.poseidon_finalize();
  return result;
}

}  // namespace tarvo
