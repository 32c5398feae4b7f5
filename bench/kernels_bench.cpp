// The C++ kernels under Google Benchmark: field arithmetic, the Poseidon permutation, scalar
// multiplication, EdDSA, the nonce, HMAC-SHA-256, request reading, and the plain reference paths.
//
// Every benchmark reports the counter "items": the operations one iteration performs. bench/run.py
// divides the time of an iteration by it. Benchmarks of signing and request reading run one whole
// pass over a workload pool per iteration, so that every repetition sees the same mix of inputs.
//
//   tarvo_bench --workload=build/bench/workload.json [Google Benchmark flags]
#include <benchmark/benchmark.h>
#include <tarvo.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/operands.h"
#include "bench/reference_paths.h"
#include "bench/workload_file.h"
#include "crypto/base/sha256.h"
#include "crypto/base/target.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/embedded_tables.h"
#include "crypto/curve/fixed_base.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/eddsa/eddsa.h"
#include "crypto/eddsa/short_challenge.h"
#include "crypto/field/montgomery.h"
#include "crypto/poseidon/poseidon.h"
#include "crypto/tests/support/references.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/transaction/hash_layouts.h"
#include "sdk/src/transaction/liquidate.h"

namespace tarvo::bench {

namespace {

constexpr uint64_t kSeed = 0x7a72766f;

void set_items(benchmark::State& state, size_t items) {
  state.counters["items"] = static_cast<double>(items);
}

// ---------------------------------------------------------------- field

// Each iteration advances OPERAND_COUNT independent chains acc[i] <- acc[i]·factor[i].
void field_mul(benchmark::State& state) {
  Operands operands(kSeed);
  auto acc = operands.many(&Operands::fr);
  const auto factor = operands.many(&Operands::fr);
  for (auto _ : state) {
    for (size_t i = 0; i < OPERAND_COUNT; ++i) acc[i] = acc[i] * factor[i];
    benchmark::DoNotOptimize(acc);
  }
  set_items(state, OPERAND_COUNT);
}

// One dependent chain: the latency of a multiplication rather than its throughput.
void field_mul_latency(benchmark::State& state) {
  Operands operands(kSeed);
  Fr acc = operands.fr();
  const Fr factor = operands.fr();
  for (auto _ : state) {
    acc = acc * factor;
    benchmark::DoNotOptimize(acc);
  }
  set_items(state, 1);
}

// The Montgomery kernels on bare limbs, without the field type around them.
template <auto kernel>
void montgomery_kernel(benchmark::State& state) {
  Operands operands(kSeed);
  std::array<Limbs, OPERAND_COUNT> acc, factor;
  for (size_t i = 0; i < OPERAND_COUNT; ++i) {
    acc[i] = operands.fr().into_repr();  // below r, as the kernels require of their first operand
    factor[i] = operands.fr().into_repr();
  }
  for (auto _ : state) {
    for (size_t i = 0; i < OPERAND_COUNT; ++i)
      acc[i] = kernel(acc[i], factor[i], FrParams::MODULUS, FrParams::INV);
    benchmark::DoNotOptimize(acc);
  }
  set_items(state, OPERAND_COUNT);
}

void field_mul_adx(benchmark::State& state) {
#if TARVO_X86_64
  if (!montgomery::cpu_has_adx()) {
    state.SkipWithError("this CPU lacks BMI2/ADX");
    return;
  }
  montgomery_kernel<&montgomery::mul_adx>(state);
#else
  state.SkipWithError("no assembly kernels on this target");
#endif
}

void field_square(benchmark::State& state) {
  Operands operands(kSeed);
  auto acc = operands.many(&Operands::fr);
  for (auto _ : state) {
    for (Fr& value : acc) value = value.square();
    benchmark::DoNotOptimize(acc);
  }
  set_items(state, OPERAND_COUNT);
}

// `inverse` (constant time) or `inverse_var` (public values).
template <std::optional<Fr> (Fr::*Inverse)() const>
void field_inverse(benchmark::State& state) {
  Operands operands(kSeed);
  const auto values = operands.many(&Operands::fr);
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize((values[next].*Inverse)());
    next = (next + 1) % OPERAND_COUNT;
  }
  set_items(state, 1);
}

// ---------------------------------------------------------------- Poseidon

// `permute` (the fastest kernels this CPU runs) or `permute_scalar` (their scalar twin).
template <void (poseidon::Spec<poseidon::WIDTH>::*Permute)(poseidon::State&) const>
void poseidon_permute(benchmark::State& state) {
  const auto& optimised = poseidon_hasher().spec();
  Operands operands(kSeed);
  poseidon::State permuted;
  for (Fr& value : permuted) value = operands.fr();
  for (auto _ : state) {
    (optimised.*Permute)(permuted);
    benchmark::DoNotOptimize(permuted);
  }
  set_items(state, 1);
}

void poseidon_permute_reference(benchmark::State& state) {
  const auto& parameters = poseidon_hasher().spec().parameters();
  Operands operands(kSeed);
  poseidon::State permuted;
  for (Fr& value : permuted) value = operands.fr();
  for (auto _ : state) {
    poseidon::permute_reference(parameters, permuted);
    benchmark::DoNotOptimize(permuted);
  }
  set_items(state, 1);
}

// ---------------------------------------------------------------- scalar multiplication

// Runs multiply(point, scalar) over OPERAND_COUNT random subgroup points and scalars, one per iteration.
template <typename Multiply>
void scalar_mul(benchmark::State& state, Multiply multiply) {
  Operands operands(kSeed);
  const auto points = operands.many(&Operands::point);
  const auto scalars = operands.many(&Operands::fs);
  JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX,
                               scalars[0]);  // builds the fixed-base table outside the timing
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(multiply(points[next], scalars[next]));
    next = (next + 1) % OPERAND_COUNT;
  }
  set_items(state, 1);
}

using SubgroupPoint = edwards::Point<edwards::PrimeOrder>;

void mul_generator5(benchmark::State& state) {
  scalar_mul(state, [](const SubgroupPoint&, const Fs& k) {
    return JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, k);
  });
}
void mul_variable_base(benchmark::State& state) {
  scalar_mul(state, [](const SubgroupPoint& p, const Fs& k) { return edwards::mul(p, k, *JUBJUB_PARAMS); });
}
void mul_var(benchmark::State& state) {
  scalar_mul(state, [](const SubgroupPoint& p, const Fs& k) {
    return edwards::mul_var(p, k.into_repr(), *JUBJUB_PARAMS);
  });
}
void mul_reference_var(benchmark::State& state) {
  scalar_mul(state, [](const SubgroupPoint& p, const Fs& k) {
    return edwards::mul_reference_var(p, k.into_repr(), *JUBJUB_PARAMS);
  });
}
// One row `prefix/name` per member of the kernel set Kernels that this CPU runs, timing
// time(state, kernels): to weigh a kernel against its twins.
template <typename Kernels, typename Time>
void register_kernel_rows(const std::string& prefix, Time time) {
  for (const Kernels kernels : available_kernels<Kernels>()) {
    benchmark::RegisterBenchmark((prefix + "/" + kernels_name(kernels)).c_str(),
                                 [kernels, time](benchmark::State& state) { time(state, kernels); });
  }
}
void register_kernel_sets() {
  register_kernel_rows<edwards::FixedBaseKernels>(
      "curve/mul_generator5", [](benchmark::State& state, edwards::FixedBaseKernels kernels) {
        static const edwards::FixedBaseTable table(embedded_generator5_multiples(), *JUBJUB_PARAMS);
        scalar_mul(state, [kernels](const SubgroupPoint&, const Fs& k) { return table.mul(k, kernels); });
      });
  register_kernel_rows<edwards::PointKernels>(
      "curve/mul", [](benchmark::State& state, edwards::PointKernels kernels) {
        scalar_mul(state, [kernels](const SubgroupPoint& p, const Fs& k) {
          return edwards::mul(p, k.into_repr(), *JUBJUB_PARAMS, kernels);
        });
      });
  register_kernel_rows<edwards::PointKernels>(
      "curve/mul_var", [](benchmark::State& state, edwards::PointKernels kernels) {
        scalar_mul(state, [kernels](const SubgroupPoint& p, const Fs& k) {
          return edwards::mul_var(p, k.into_repr(), *JUBJUB_PARAMS, kernels);
        });
      });
}
// What a signature would pay if it built its own parameter set: construction, the fixed-base table
// built on first use, then the multiplication.
void mul_generator5_rebuilt_params(benchmark::State& state) {
  scalar_mul(state, [](const SubgroupPoint&, const Fs& k) {
    return AltJubjubBn256().mul_generator(GENERATOR_INDEX, k);
  });
}

// ---------------------------------------------------------------- HMAC-SHA-256

constexpr size_t kShortHmacInput = 33;  // the loop's inputs: V (32 bytes) or V ‖ 0x00
constexpr size_t kLongHmacInput = 97;   // the two key updates: V ‖ separator ‖ x ‖ h1

// One evaluation with its own key set-up (the two padded key blocks compressed), keyed by the previous
// result as in the nonce loop.
template <size_t kInputSize>
void hmac_one_shot(benchmark::State& state) {
  Sha256State key{};
  std::array<uint8_t, kInputSize> input{};
  for (auto _ : state) {
    HmacSha256 hmac(key);
    key = sha256_digest_words(hmac.mac(input));
  }
  benchmark::DoNotOptimize(key);
  set_items(state, 1);
}

// One SHA-256 compression, each depending on the previous one as in a message's blocks. The nonce's
// floor is counted in these.
template <void (*kCompress)(Sha256State&, const Sha256Block&)>
void sha256_compression(benchmark::State& state) {
  Sha256State chaining = SHA256_INITIAL_STATE;
  const Sha256Block block{};
  for (auto _ : state) {
    kCompress(chaining, block);
    benchmark::DoNotOptimize(chaining);
  }
  set_items(state, 1);
}

// The compression the CPU's kernel choice takes, and each kernel this CPU runs.
void register_sha256_kernels() {
  benchmark::RegisterBenchmark("sha256/compression", sha256_compression<sha256_compress>);
  benchmark::RegisterBenchmark("sha256/compression/portable",
                               sha256_compression<sha256_kernel::compress_portable>);
#if TARVO_X86_64
  if (sha256_kernel::cpu_has_sha_extensions()) {
    benchmark::RegisterBenchmark("sha256/compression/sha_ni",
                                 sha256_compression<sha256_kernel::compress_sha_ni>);
  }
#endif
}

// ---------------------------------------------------------------- pooled: EdDSA, signer, core, requests

struct SigningInput {
  eddsa::PrivateKey key;
  std::array<uint8_t, 32> message;
};

std::vector<SigningInput> signing_inputs(const Workload& workload) {
  std::vector<SigningInput> inputs;
  for (const Arguments& call : workload.pool("sign")) {
    inputs.push_back({parse_private_key(call[0]), parse_message(call[1])});
  }
  return inputs;
}

struct VerificationInput {
  eddsa::PublicKey public_key;
  eddsa::Signature signature;
  std::array<uint8_t, 32> message;
};

// Runs `operation` once on every element of `pool` per iteration.
template <typename Pool, typename Operation>
void pooled(benchmark::State& state, const Pool& pool, Operation operation) {
  for (const auto& input : pool) operation(input);  // warm-up: shared tables, caches
  for (auto _ : state) {
    for (const auto& input : pool) operation(input);
  }
  set_items(state, pool.size());
}

void register_pooled(const Workload& workload) {
  const auto signing = std::make_shared<std::vector<SigningInput>>(signing_inputs(workload));
  const auto verifying = std::make_shared<std::vector<VerificationInput>>();
  bool all_verify = true;
  for (const SigningInput& input : *signing) {
    const eddsa::Seed seed = eddsa::Seed::deterministic_seed(input.key, input.message);
    const VerificationInput& made = verifying->emplace_back(
        eddsa::PublicKey::from_private(input.key, GENERATOR_INDEX, *JUBJUB_PARAMS),
        input.key.sign_raw_message(input.message, seed, GENERATOR_INDEX, *JUBJUB_PARAMS), input.message);
    all_verify = all_verify && made.public_key.verify_for_raw_message(made.message, made.signature,
                                                                      GENERATOR_INDEX, *JUBJUB_PARAMS);
  }

  benchmark::RegisterBenchmark("eddsa/nonce", [signing](benchmark::State& state) {
    pooled(state, *signing, [](const SigningInput& input) {
      benchmark::DoNotOptimize(eddsa::Seed::deterministic_seed(input.key, input.message).r);
    });
  });
  benchmark::RegisterBenchmark("eddsa/sign", [signing](benchmark::State& state) {
    pooled(state, *signing, [](const SigningInput& input) {
      const eddsa::Seed seed = eddsa::Seed::deterministic_seed(input.key, input.message);
      benchmark::DoNotOptimize(
          input.key.sign_raw_message(input.message, seed, GENERATOR_INDEX, *JUBJUB_PARAMS));
    });
  });
  benchmark::RegisterBenchmark("eddsa/verify", [verifying, all_verify](benchmark::State& state) {
    if (!all_verify) {
      state.SkipWithError("a freshly made signature does not verify");
      return;
    }
    pooled(state, *verifying, [](const VerificationInput& input) {
      benchmark::DoNotOptimize(input.public_key.verify_for_raw_message(input.message, input.signature,
                                                                       GENERATOR_INDEX, *JUBJUB_PARAMS));
    });
  });
  // The pieces of the signing step beyond the nonce and R: the public key sk·G, the self-verification
  // (its short challenge on its own as well), and R and A brought to affine form.
  struct Checked {
    edwards::Point<edwards::PrimeOrder> a;
    eddsa::SubgroupSignature signature;
    std::array<uint8_t, 32> message;
    Limbs challenge;  // the message as a scalar
  };
  const auto checked = std::make_shared<std::vector<Checked>>();
  for (const SigningInput& input : *signing) {
    const eddsa::Seed seed = eddsa::Seed::deterministic_seed(input.key, input.message);
    checked->push_back({JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, input.key.sk),
                        input.key.sign_raw_message(input.message, seed, GENERATOR_INDEX, *JUBJUB_PARAMS),
                        input.message,
                        Fs::from_u256_reduced(limbs_from_le_bytes(input.message)).into_repr()});
  }
  benchmark::RegisterBenchmark("eddsa/public_key", [signing](benchmark::State& state) {
    pooled(state, *signing, [](const SigningInput& input) {
      benchmark::DoNotOptimize(JUBJUB_PARAMS->mul_generator(GENERATOR_INDEX, input.key.sk));
    });
  });
  benchmark::RegisterBenchmark("eddsa/self_verification", [checked](benchmark::State& state) {
    pooled(state, *checked, [](const Checked& input) {
      benchmark::DoNotOptimize(eddsa::verify_subgroup_signature(input.a, input.message, input.signature,
                                                                GENERATOR_INDEX, *JUBJUB_PARAMS));
    });
  });
  benchmark::RegisterBenchmark("eddsa/short_challenge", [checked](benchmark::State& state) {
    pooled(state, *checked, [](const Checked& input) {
      benchmark::DoNotOptimize(eddsa::short_challenge_var(input.challenge));
    });
  });
  benchmark::RegisterBenchmark("eddsa/to_affine", [checked](benchmark::State& state) {
    pooled(state, *checked, [](const Checked& input) {
      benchmark::DoNotOptimize(edwards::to_affine(input.signature.r, input.a));
    });
  });
  benchmark::RegisterBenchmark("tx/sign_msg", [signing](benchmark::State& state) {
    pooled(state, *signing, [](const SigningInput& input) {
      benchmark::DoNotOptimize(TxSignature::sign_msg(input.key, input.message).to_jubjub_signature());
    });
  });

  const auto& sign_calls = workload.pool("sign");
  benchmark::RegisterBenchmark("core/sign", [&sign_calls](benchmark::State& state) {
    pooled(state, sign_calls,
           [](const Arguments& call) { benchmark::DoNotOptimize(sdk::sign(call[0], call[1])); });
  });
  // sign_transfer as the core offers it, and the same call through the C library (libtarvo.so.0), whose
  // result is the signature's JSON text in memory the caller frees.
  const auto& sign_transfer_calls = workload.pool("sign_transfer");
  benchmark::RegisterBenchmark("core/sign_transfer", [&sign_transfer_calls](benchmark::State& state) {
    pooled(state, sign_transfer_calls, [](const Arguments& call) {
      benchmark::DoNotOptimize(sdk::sign_request<Transfer>(call[0], call[1]));
    });
  });
  benchmark::RegisterBenchmark("c/tarvo_sign_transfer", [&sign_transfer_calls](benchmark::State& state) {
    bool same_results = true;
    for (const Arguments& call : sign_transfer_calls) {
      char* out = nullptr;
      same_results = same_results &&
                     tarvo_sign_transfer(call[0].data(), call[0].size(), call[1].data(), call[1].size(), &out,
                                         nullptr) == TARVO_OK &&
                     out == sdk::sign_request<Transfer>(call[0], call[1])->to_json();
      tarvo_free(out);
    }
    if (!same_results) {
      state.SkipWithError("tarvo_sign_transfer does not give the core's signatures");
      return;
    }
    pooled(state, sign_transfer_calls, [](const Arguments& call) {
      char* out = nullptr;
      benchmark::DoNotOptimize(
          tarvo_sign_transfer(call[0].data(), call[0].size(), call[1].data(), call[1].size(), &out, nullptr));
      tarvo_free(out);
    });
  });
  const auto& hash_calls = workload.pool("hash_transfer");
  benchmark::RegisterBenchmark("core/hash_transfer", [&hash_calls](benchmark::State& state) {
    pooled(state, hash_calls,
           [](const Arguments& call) { benchmark::DoNotOptimize(sdk::hash_request<Transfer>(call[0])); });
  });
  const auto& verify_calls = workload.pool("verify_signature");
  benchmark::RegisterBenchmark("core/verify_signature", [&verify_calls](benchmark::State& state) {
    pooled(state, verify_calls, [](const Arguments& call) {
      benchmark::DoNotOptimize(sdk::verify_signature(call[0], call[1], call[2], call[3], call[4]));
    });
  });

  const auto register_reading = [&workload](const char* name, const char* function, auto read) {
    const auto& calls = workload.pool(function);
    benchmark::RegisterBenchmark(name, [&calls, read](benchmark::State& state) {
      pooled(state, calls, [read](const Arguments& call) { benchmark::DoNotOptimize(read(call[0])); });
    });
  };
  register_reading("json/transfer", "hash_transfer", &Transfer::from_json);
  register_reading("json/withdraw", "hash_withdraw", &WithdrawRequest::from_json);
  register_reading("json/limit_order", "hash_limit_order", &LimitOrderRequest::from_json);
  register_reading("json/liquidate", "hash_liquidate", &Liquidate::from_json);
  register_reading("json/signed_oracle_price", "hash_signed_oracle_price", &SignedOraclePrice::from_json);
}

// sign_transfer(json, key) composed of the reference pieces: the request read, its word stream hashed
// with permute_reference, the key read, the hash signed by reference_sign. The word stream of each
// request is recorded beforehand (packing sixteen words costs nanoseconds against a hash of tens of
// microseconds).
struct ReferenceTransferInput {
  std::string json;
  std::string key;
  std::vector<uint64_t> words;
};

JubjubSignature reference_sign_transfer(const ReferenceTransferInput& input) {
  Result<Transfer> transfer = Transfer::from_json(input.json);
  benchmark::DoNotOptimize(transfer);
  const U256 hash = reference_word_stream_hash(input.words);
  return reference_sign(parse_private_key(input.key), message_bytes(hash));
}

void register_reference_sign_transfer(const Workload& workload) {
  const auto inputs = std::make_shared<std::vector<ReferenceTransferInput>>();
  bool same_results = true;
  for (const Arguments& call : workload.pool("sign_transfer")) {
    ReferenceTransferInput& input = inputs->emplace_back(call[0], call[1]);
    const Result<Transfer> transfer = Transfer::from_json(call[0]);
    const Result<JubjubSignature> expected = sdk::sign_request<Transfer>(call[0], call[1]);
    if (!transfer || !expected) {
      same_results = false;
      continue;
    }
    transfer_hash_internal(*transfer, &input.words);
    same_results = same_results && reference_sign_transfer(input) == *expected;
  }
  benchmark::RegisterBenchmark("reference/sign_transfer", [inputs, same_results](benchmark::State& state) {
    if (!same_results) {
      state.SkipWithError("the reference path does not give the optimised path's signatures");
      return;
    }
    pooled(state, *inputs, [](const ReferenceTransferInput& input) {
      benchmark::DoNotOptimize(reference_sign_transfer(input));
    });
  });
}

void register_kernels() {
  benchmark::RegisterBenchmark("field/mul", field_mul);
  benchmark::RegisterBenchmark("field/mul_latency", field_mul_latency);
  benchmark::RegisterBenchmark("field/mul_adx", field_mul_adx);
  benchmark::RegisterBenchmark("field/mul_portable", montgomery_kernel<&montgomery::mul_portable>);
  benchmark::RegisterBenchmark("field/square", field_square);
  benchmark::RegisterBenchmark("field/inverse", field_inverse<&Fr::inverse>);
  benchmark::RegisterBenchmark("field/inverse_var", field_inverse<&Fr::inverse_var>);
  benchmark::RegisterBenchmark("poseidon/permute",
                               poseidon_permute<&poseidon::Spec<poseidon::WIDTH>::permute>);
  benchmark::RegisterBenchmark("poseidon/permute_scalar",
                               poseidon_permute<&poseidon::Spec<poseidon::WIDTH>::permute_scalar>);
  benchmark::RegisterBenchmark("poseidon/permute_reference", poseidon_permute_reference);
  benchmark::RegisterBenchmark("curve/mul_generator5", mul_generator5);
  benchmark::RegisterBenchmark("curve/mul_generator5_rebuilt_params", mul_generator5_rebuilt_params);
  benchmark::RegisterBenchmark("curve/mul", mul_variable_base);
  benchmark::RegisterBenchmark("curve/mul_var", mul_var);
  register_kernel_sets();
  benchmark::RegisterBenchmark("curve/mul_reference_var", mul_reference_var);
  benchmark::RegisterBenchmark("hmac_sha256/one_shot/33", hmac_one_shot<kShortHmacInput>);
  benchmark::RegisterBenchmark("hmac_sha256/one_shot/97", hmac_one_shot<kLongHmacInput>);
  register_sha256_kernels();
}

}  // namespace

}  // namespace tarvo::bench

int main(int argc, char** argv) {
  using namespace tarvo::bench;
  static const Workload workload = Workload::load(workload_path(argc, argv));
  benchmark::Initialize(&argc, argv);
  register_kernels();
  register_pooled(workload);
  register_reference_sign_transfer(workload);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
