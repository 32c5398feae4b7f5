// The lazily built process-wide tables (POSEIDON_HASHER, JUBJUB_PARAMS and its generator-5 table) under
// contention: threads released together make the first uses at the same moment, each with its own scalar,
// and every one must see the single finished table. CTest runs each test in a process of its own, so these
// really are the first uses; under the sanitizer build a second construction would show as a leak or as a
// table freed while in use.
#include <gtest/gtest.h>

#include <array>
#include <latch>
#include <thread>
#include <vector>

#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/poseidon/poseidon.h"
#include "crypto/tests/support/references.h"

namespace tarvo {
namespace {

using edwards::PrimeOrder;

constexpr int kThreads = 8;

// A distinct scalar per thread, spread over all 251 bits.
Fs scalar_for(int thread) {
  const uint64_t t = static_cast<uint64_t>(thread) + 1;
  return Fs::from_u128(0x9e3779b97f4a7c15 * t, 0x0123456789abcdef ^ (t << 56));
}

struct Seen {
  const Poseidon* hasher = nullptr;
  const AltJubjubBn256* params = nullptr;
  edwards::Point<PrimeOrder> product;
};

TEST(SharedTables, FirstUsesRacingFromEightThreadsSeeOneFinishedTableEach) {
  std::vector<Seen> seen(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      // Half the threads touch the curve first, half the hasher, so both first uses overlap.
      if (i % 2 == 0) seen[i].product = JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, scalar_for(i));
      seen[i].hasher = &poseidon_hasher();
      seen[i].params = &*JUBJUB_PARAMS;
      if (i % 2 != 0) seen[i].product = JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, scalar_for(i));
    });
  }
  for (std::thread& t : threads) t.join();
  const AltJubjubBn256& params = *JUBJUB_PARAMS;
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(seen[i].hasher, &poseidon_hasher()) << "thread " << i;
    EXPECT_EQ(seen[i].params, &params) << "thread " << i;
    const auto expected =
        edwards::mul_reference_var(params.generator(GENERATOR_INDEX), scalar_for(i).into_repr(), params);
    EXPECT_EQ(seen[i].product, expected) << "thread " << i;
  }
  // The finished hasher is still in its initial state.
  std::array<Fr, poseidon::RATE> block{};
  block[0] = Fr::one();
  EXPECT_EQ(Poseidon(poseidon_hasher()).update_exact(block),
            Poseidon(poseidon_hasher().spec()).update_exact(block));
}

TEST(SharedTables, GeneratorFiveTableOfAFreshSetRacedByEightThreads) {
  const AltJubjubBn256 fresh;
  std::vector<edwards::Point<PrimeOrder>> products(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      products[i] = fresh.mul_generator(GENERATOR_INDEX, scalar_for(i));
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(products[i],
              edwards::mul_reference_var(fresh.generator(GENERATOR_INDEX), scalar_for(i).into_repr(), fresh))
        << "thread " << i;
  }
}

}  // namespace
}  // namespace tarvo
