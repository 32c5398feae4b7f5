// Random operands for the kernel benchmarks, from a fixed seed so every run times the same values.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <random>
#include <type_traits>

#include "crypto/curve/jubjub_params.h"
#include "crypto/field/fr.h"
#include "crypto/field/fs.h"

namespace tarvo::bench {

// Kernels cycle through this many independent operands, as the peer harnesses do: the processor may
// overlap independent operations, so the figure is a throughput, not the latency of one chain.
inline constexpr size_t OPERAND_COUNT = 16;

class Operands {
 public:
  explicit Operands(uint64_t seed) : random_(seed) {}

  Limbs limbs() { return {random_(), random_(), random_(), random_()}; }
  Fr fr() { return Fr::from_u256_reduced(limbs()); }
  Fs fs() { return Fs::from_u256_reduced(limbs()); }
  // A random point of the prime-order subgroup, in extended coordinates with z != 1.
  edwards::Point<edwards::PrimeOrder> point() { return JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, fs()); }

  // OPERAND_COUNT values of one kind, for example many(&Operands::fr).
  template <typename Make>
  auto many(Make make) {
    std::array<std::invoke_result_t<Make, Operands&>, OPERAND_COUNT> values;
    for (auto& value : values) value = std::invoke(make, *this);
    return values;
  }

 private:
  std::mt19937_64 random_;
};

}  // namespace tarvo::bench
