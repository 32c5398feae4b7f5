// Counts the work behind the timings, for the lower bounds bench/run.py prints: the field
// multiplications and squarings of each kernel and of each module function's core operation (means
// over the workload pools), and the HMAC-SHA-256 evaluations of the deterministic nonce with the
// fewest SHA-256 compressions they need (from the nonce's reference path, which must agree with the
// library's nonce).
//
// Only the counting build makes it (the library compiled with -DTARVO_COUNT_FIELD_OPS, which
// scripts/bench configures in build/bench-count):
//   tarvo_op_counts --workload=build/bench/workload.json > counts.json
#ifndef TARVO_COUNT_FIELD_OPS
#error "tarvo_op_counts needs the counting build: configure with -DCMAKE_CXX_FLAGS=-DTARVO_COUNT_FIELD_OPS"
#endif

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/operands.h"
#include "bench/reference_paths.h"
#include "bench/workload_file.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/jubjub_params.h"
#include "crypto/poseidon/poseidon.h"
#include "crypto/tests/support/references.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/functions/l1_sign.h"
#include "sdk/src/signing/packed_public_key.h"
#include "sdk/src/signing/sign.h"

namespace tarvo::bench {

namespace {

struct NonceWork {
  double hmac_calls = 0;
  double sha256_compressions = 0;
};

struct Work {
  double multiplications = 0;
  double squarings = 0;
  std::optional<NonceWork> nonce;  // for the operations that derive a nonce
};

void reset_counts() {
  field_op_counts::multiplications = 0;
  field_op_counts::squarings = 0;
}

// The mean work of `operation` over the elements of `inputs`.
template <typename Inputs, typename Operation>
Work mean_work(const Inputs& inputs, Operation operation) {
  double multiplications = 0, squarings = 0;
  for (const auto& input : inputs) {
    reset_counts();
    operation(input);
    multiplications += static_cast<double>(field_op_counts::multiplications);
    squarings += static_cast<double>(field_op_counts::squarings);
  }
  const auto n = static_cast<double>(std::size(inputs));
  return {multiplications / n, squarings / n, std::nullopt};
}

// ---------------------------------------------------------------- the nonce's HMAC evaluations

// The mean nonce work over (key, message) pairs, counted on the reference path, which must find the
// library's nonce.
NonceWork mean_nonce_work(const std::vector<std::pair<eddsa::PrivateKey, std::array<uint8_t, 32>>>& pairs) {
  NonceWork total;
  for (const auto& [key, message] : pairs) {
    const ReferenceNonce reference = reference_nonce(key, message);
    ensure(reference.r == eddsa::Seed::deterministic_seed(key, message).r,
           "the reference nonce differs from the library's");
    total.hmac_calls += static_cast<double>(reference.hmac_calls);
    total.sha256_compressions += static_cast<double>(reference.sha256_compressions);
  }
  const auto n = static_cast<double>(pairs.size());
  return {total.hmac_calls / n, total.sha256_compressions / n};
}

// ---------------------------------------------------------------- kernels

using NamedWork = std::vector<std::pair<std::string, Work>>;
using SigningPair = std::pair<eddsa::PrivateKey, std::array<uint8_t, 32>>;

Work with_nonce(Work work, const NonceWork& nonce) {
  work.nonce = nonce;
  return work;
}

NamedWork count_kernels(const Workload& workload) {
  Operands operands(0x636f756e74);
  const auto values = operands.many(&Operands::fr);
  const auto factors = operands.many(&Operands::fr);
  const auto scalars = operands.many(&Operands::fs);
  const auto points = operands.many(&Operands::point);
  std::array<size_t, OPERAND_COUNT> indices;
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = i;
  const auto& params = *JUBJUB_PARAMS;
  const auto& optimised = poseidon_hasher().spec();

  std::vector<SigningPair> signing;
  for (const Arguments& call : workload.pool("sign")) {
    signing.emplace_back(parse_private_key(call[0]), parse_message(call[1]));
  }
  struct Verification {
    eddsa::PublicKey public_key;
    eddsa::Signature signature;
    std::array<uint8_t, 32> message;
  };
  std::vector<Verification> verifying;
  for (const auto& [key, message] : signing) {
    const eddsa::Seed seed = eddsa::Seed::deterministic_seed(key, message);
    verifying.push_back({eddsa::PublicKey::from_private(key, GENERATOR_INDEX, params),
                         key.sign_raw_message(message, seed, GENERATOR_INDEX, params), message});
  }
  // Decoding a point takes the square root of its x², once for the key and once for R.
  std::vector<Fr> decoded_x_squares;
  for (const Verification& v : verifying) {
    decoded_x_squares.push_back(edwards::to_affine(v.public_key.a).first.square());
    decoded_x_squares.push_back(edwards::to_affine(v.signature.r).first.square());
  }
  const NonceWork nonce = mean_nonce_work(signing);

  return {
      {"field_mul", mean_work(indices, [&](size_t i) { return values[i] * factors[i]; })},
      {"field_square", mean_work(indices, [&](size_t i) { return values[i].square(); })},
      // The floors price an inversion as Fermat's chain, whatever the library inverts with, so that
      // their definition stays comparable from one round to the next.
      {"field_inverse", mean_work(indices, [&](size_t i) { return values[i].inverse_reference(); })},
      {"field_sqrt_of_decoded_point", mean_work(decoded_x_squares, [](const Fr& x2) { return x2.sqrt(); })},
      {"poseidon_permute", mean_work(indices,
                                     [&](size_t i) {
                                       poseidon::State state{};
                                       state[1] = values[i];
                                       optimised.permute(state);
                                     })},
      {"poseidon_permute_reference", mean_work(indices,
                                               [&](size_t i) {
                                                 poseidon::State state{};
                                                 state[1] = values[i];
                                                 poseidon::permute_reference(optimised.parameters(), state);
                                               })},
      {"mul_generator5",
       mean_work(scalars, [&](const Fs& k) { return params.mul_generator(GENERATOR_INDEX, k); })},
      {"mul", mean_work(indices, [&](size_t i) { return edwards::mul(points[i], scalars[i], params); })},
      {"mul_var",
       mean_work(indices,
                 [&](size_t i) { return edwards::mul_var(points[i], scalars[i].into_repr(), params); })},
      {"mul_var_by_subgroup_order",
       mean_work(points, [&](const auto& p) { return edwards::mul_var(p, Fs::characteristic(), params); })},
      {"mul_reference_var", mean_work(indices,
                                      [&](size_t i) {
                                        return edwards::mul_reference_var(points[i], scalars[i].into_repr(),
                                                                          params);
                                      })},
      {"eddsa_nonce",
       with_nonce(mean_work(signing,
                            [](const SigningPair& pair) {
                              return eddsa::Seed::deterministic_seed(pair.first, pair.second).r;
                            }),
                  nonce)},
      {"eddsa_sign", with_nonce(mean_work(signing,
                                          [&](const SigningPair& pair) {
                                            const eddsa::Seed seed =
                                                eddsa::Seed::deterministic_seed(pair.first, pair.second);
                                            return pair.first.sign_raw_message(pair.second, seed,
                                                                               GENERATOR_INDEX, params);
                                          }),
                                nonce)},
      {"eddsa_verify", mean_work(verifying,
                                 [&](const Verification& v) {
                                   return v.public_key.verify_for_raw_message(v.message, v.signature,
                                                                              GENERATOR_INDEX, params);
                                 })},
      {"tx_sign_msg",
       with_nonce(mean_work(signing,
                            [](const SigningPair& pair) {
                              return TxSignature::sign_msg(pair.first, pair.second).to_jubjub_signature();
                            }),
                  nonce)},
  };
}

// ---------------------------------------------------------------- module functions

// The core operation behind each module function, with the Python argument order.
using CoreCall = std::function<void(const Arguments&)>;

// After the request kinds' sign and hash functions.
const std::vector<std::pair<std::string, CoreCall>> kOtherCalls = {
    {"sign", [](const Arguments& a) { (void)sdk::sign(a[0], a[1]); }},
    {"eth_sign", [](const Arguments& a) { (void)sdk::l1_sign(a[1], a[0]); }},
    {"private_key_from_seed", [](const Arguments& a) { (void)sdk::private_key_from_seed(a[0]); }},
    {"is_on_curve", [](const Arguments& a) { (void)sdk::is_on_curve(a[0], a[1]); }},
    {"public_key_to_xy", [](const Arguments& a) { (void)sdk::pub_key_to_xy(a[0]); }},
    {"private_key_to_public_key_xy", [](const Arguments& a) { (void)sdk::private_key_to_pubkey_xy(a[0]); }},
};

const std::vector<std::pair<std::string, CoreCall>>& core_calls() {
  static const std::vector<std::pair<std::string, CoreCall>> calls = [] {
    std::vector<std::pair<std::string, CoreCall>> in_order = {
        {"verify_signature",
         [](const Arguments& a) { (void)sdk::verify_signature(a[0], a[1], a[2], a[3], a[4]); }},
    };
    for (const sdk::RequestKind& kind : sdk::REQUEST_KINDS) {
      in_order.emplace_back(kind.sign_name, [&kind](const Arguments& a) { (void)kind.sign(a[0], a[1]); });
    }
    for (const sdk::RequestKind& kind : sdk::REQUEST_KINDS) {
      in_order.emplace_back(kind.hash_name, [&kind](const Arguments& a) { (void)kind.hash(a[0]); });
    }
    in_order.insert(in_order.end(), kOtherCalls.begin(), kOtherCalls.end());
    return in_order;
  }();
  return calls;
}

// The key and the message the signer receives in one call of a signing function; nothing for the
// other functions.
std::optional<SigningPair> signer_input(const std::string& function, const Arguments& call) {
  if (function == "sign" || function == "eth_sign") {
    return SigningPair{parse_private_key(call[0]), parse_message(call[1])};
  }
  for (const sdk::RequestKind& kind : sdk::REQUEST_KINDS) {
    if (kind.sign_name == function) {
      return SigningPair{parse_private_key(call[1]), parse_message(*kind.hash(call[0]))};
    }
  }
  return std::nullopt;
}

NamedWork count_functions(const Workload& workload) {
  NamedWork functions;
  for (const auto& [name, call] : core_calls()) {
    const std::vector<Arguments>& pool = workload.pool(name);
    Work work = mean_work(pool, call);
    std::vector<SigningPair> signing;
    for (const Arguments& arguments : pool) {
      if (auto input = signer_input(name, arguments)) signing.push_back(std::move(*input));
    }
    if (!signing.empty()) work.nonce = mean_nonce_work(signing);
    functions.emplace_back(name, work);
  }
  return functions;
}

void print_section(const char* title, const NamedWork& entries, bool last) {
  std::printf("  \"%s\": {\n", title);
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& [name, work] = entries[i];
    std::printf("    \"%s\": {\"multiplications\": %.2f, \"squarings\": %.2f", name.c_str(),
                work.multiplications, work.squarings);
    if (work.nonce) {
      std::printf(", \"nonce_hmac_calls\": %.2f, \"nonce_sha256_compressions\": %.2f", work.nonce->hmac_calls,
                  work.nonce->sha256_compressions);
    }
    std::printf("}%s\n", i + 1 < entries.size() ? "," : "");
  }
  std::printf("  }%s\n", last ? "" : ",");
}

}  // namespace

}  // namespace tarvo::bench

int main(int argc, char** argv) {
  using namespace tarvo::bench;
  const Workload workload = Workload::load(workload_path(argc, argv));
  // The shared tables are built before anything is counted.
  tarvo::JUBJUB_PARAMS->mul_generator(tarvo::GENERATOR_INDEX, tarvo::Fs::one());
  tarvo::poseidon_hasher();
  (void)tarvo::Fr::one().sqrt();  // the square root's roots of unity
  const NamedWork kernels = count_kernels(workload);
  const NamedWork functions = count_functions(workload);
  std::printf("{\n  \"pool_size\": %zu,\n", workload.pool_size());
  print_section("kernels", kernels, false);
  print_section("functions", functions, true);
  std::printf("}\n");
  return 0;
}
