// Spec: Poseidon's parameters together with their optimised form, in which the constants of the
// partial rounds are folded into one scalar per round, the MDS matrix of each partial round is
// factored into a sparse matrix (first row, first column and identity elsewhere), and the partial
// rounds run in blocks that update the state's elements 1..T-1 once per block.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "crypto/base/kernel_choice.h"
#include "crypto/base/target.h"
#include "crypto/field/op_counts.h"
#include "crypto/poseidon/matrix.h"
#include "crypto/poseidon/parameters.h"
#include "crypto/poseidon/partial_block.h"
#include "crypto/poseidon/permute_ifma_x86_64.h"

// The permutation's hot functions stay out of line and start on a 64-byte boundary (a cache line, and
// the fetch window of the op cache), so that their speed does not shift with the size of unrelated
// code linked before them.
#define TARVO_CACHE_LINE_ALIGNED [[gnu::noinline, gnu::aligned(64)]]

namespace tarvo::poseidon {

// The width-9 permutation: the scalar kernels, or the full rounds and column updates in the lanes of
// AVX-512 IFMA (permute_ifma_x86_64.h).
enum class PermutationKernels { scalar, ifma };
inline constexpr KernelEntry<PermutationKernels> PERMUTATION_KERNELS[] = {
    {PermutationKernels::scalar, "scalar", Capability::none},
    {PermutationKernels::ifma, "ifma", Capability::avx512_ifma}};
constexpr std::span<const KernelEntry<PermutationKernels>> kernel_list(PermutationKernels) {
  return PERMUTATION_KERNELS;
}

// One partial round's sparse mix: new s[0] = Σ first_row[i]·s[i]; new s[i] = s[i] + column[i-1]·s[0] for
// i >= 1. In the factorisation's terms, first_row is the row's first element followed by w_hat, column
// the rest of the row.
template <size_t T>
struct SparseMDSMatrix {
  Vec<T> first_row;
  Vec<T - 1> column;
};

// Invariant: `start` holds half_full_rounds + 1 vectors, `partial` one scalar per partial round,
// `end` half_full_rounds - 1 vectors.
template <size_t T>
struct OptimizedConstants {
  std::vector<Vec<T>> start;
  std::vector<Fr> partial;
  std::vector<Vec<T>> end;
};

// Invariant: `sparse` holds one matrix per partial round, in the order the rounds use them;
// `partial_blocks` the same rounds grouped PARTIAL_BLOCK at a time.
template <size_t T>
struct MDSMatrices {
  Matrix<T> mds;
  Matrix<T> pre_sparse;
  std::vector<SparseMDSMatrix<T>> sparse;
  std::vector<PartialBlock<T>> partial_blocks;
};

// Invariant: `constants_` and `matrices_` are derived from `params_` and yield exactly the
// permutation of permute_reference(params_).
template <size_t T>
class Spec {
 public:
  Spec(size_t full_rounds, size_t partial_rounds);

  // A Spec from the canonical integers that elements() lists for these round numbers, so that the
  // generated tables can be embedded in the binary instead of regenerated at run time. Fatal on a
  // table of the wrong length or holding a value >= r.
  static Spec from_elements(size_t full_rounds, size_t partial_rounds, std::span<const Limbs> elements);

  // Every parameter and derived constant in one fixed order.
  std::vector<Fr> elements() const {
    std::vector<Fr> out;
    visit(*this, [&](const Fr& value) { out.push_back(value); });
    return out;
  }

  const Parameters<T>& parameters() const { return params_; }

  // With the fastest PermutationKernels (width 9; other widths always with the scalar kernels).
  void permute(Vec<T>& state) const {
#if TARVO_X86_64
    if constexpr (T == ifma::WIDTH) {
      if (fastest_kernels<PermutationKernels>() == PermutationKernels::ifma) return permute_ifma(state);
    }
#endif
    permute_scalar(state);
  }

  void permute_scalar(Vec<T>& state) const {
    const size_t half = params_.half_full_rounds();
    add(state, constants_.start[0]);
    for (size_t i = 1; i < half; ++i) {
      sbox_add(state, constants_.start[i]);
      state = mix(matrices_.mds, state);
    }
    sbox_add(state, constants_.start[half]);
    state = mix(matrices_.pre_sparse, state);
    permute_partial_rounds(state);
    for (const Vec<T>& constants : constants_.end) {
      sbox_add(state, constants);
      state = mix(matrices_.mds, state);
    }
    for (Fr& s : state) s = sbox(s);
    state = mix(matrices_.mds, state);
  }

#if TARVO_X86_64
  // Only where the CPU runs PermutationKernels::ifma.
  void permute_ifma(Vec<T>& state) const requires(T == ifma::WIDTH) {
    add(state, constants_.start[0]);
    full_rounds_ifma(state, ifma_->first_half);
    ifma::Lanes lanes = ifma::lanes_of_montgomery_forms(std::span<const Fr, T>(state).template last<T - 1>());
    permute_partial_rounds(state, [&](size_t b, const PartialBlock<T>&, std::span<const Fr, PARTIAL_BLOCK> ys,
                                      std::span<Fr, T - 1> s) {
      count_ifma(0, (T - 1) * PARTIAL_BLOCK);
      ifma::update_columns(ifma_->partial_columns[b], ys, lanes, s);
    });
    full_rounds_ifma(state, ifma_->second_half);
  }
#endif

 private:
#if TARVO_X86_64
  // The counting build's tally (op_counts.h) of the IFMA kernels' work, as the scalar kernels count theirs:
  // per full round the S-boxes' two squarings and one multiplication and the mix's one multiplication per
  // term; and the given column updates.
  static void count_ifma(size_t full_rounds, size_t column_updates) {
    TARVO_COUNT(full_rounds * (T + T * T) + column_updates, full_rounds * 2 * T);
  }

  static void full_rounds_ifma(Vec<T>& state, std::span<const ifma::RoundConstants> rounds) {
    count_ifma(rounds.size(), 0);
    std::array<Limbs, T> limbs;
    for (size_t i = 0; i < T; ++i) limbs[i] = state[i].montgomery_form();
    ifma::full_rounds(limbs, rounds);
    for (size_t i = 0; i < T; ++i) state[i] = Fr::from_montgomery_form(limbs[i]);
  }

  void prepare_ifma() {
    if constexpr (T == ifma::WIDTH) {
      ifma_ = ifma::make_constants(matrices_.mds, matrices_.pre_sparse, constants_.start, constants_.end,
                                   matrices_.partial_blocks);
    }
  }
#else
  void prepare_ifma() {}
#endif

  static void add(Vec<T>& state, const Vec<T>& constants) {
    for (size_t i = 0; i < T; ++i) state[i] += constants[i];
  }

  // sbox(x) + c.
  TARVO_CACHE_LINE_ALIGNED static Fr sbox_add(const Fr& x, const Fr& c) {
    return Fr::mul_add(x, x.square().square(), c);
  }

  static void sbox_add(Vec<T>& state, const Vec<T>& constants) {
    for (size_t i = 0; i < T; ++i) state[i] = sbox_add(state[i], constants[i]);
  }

  // m·state, each row one dot product.
  TARVO_CACHE_LINE_ALIGNED static Vec<T> mix(const Matrix<T>& m, const Vec<T>& state) {
    Vec<T> out;
    for (size_t i = 0; i < T; ++i) out[i] = Fr::dot(m[i], state);
    return out;
  }

  // f(std::integral_constant<size_t, I>{}) for I = 0..N-1, in order.
  template <size_t N, typename F>
  static void for_each_index(F&& f) {
    [&]<size_t... I>(std::index_sequence<I...>) { (f(std::integral_constant<size_t, I>{}), ...); }
    (std::make_index_sequence<N>{});
  }

  // The partial rounds, a block at a time. `operands` holds s (elements 1..T-1) and then the block's
  // S-box outputs y_0..y_{B-1}. Each round's S-box runs as soon as its input is mixed, and the next
  // block's first one before the column updates, so that the processor overlaps its chain of dependent
  // multiplications with them.
  // The column updates with the scalar kernels.
  void permute_partial_rounds(Vec<T>& state) const {
    permute_partial_rounds(state, [](size_t, const PartialBlock<T>& block,
                                     std::span<const Fr, PARTIAL_BLOCK> ys, std::span<Fr, T - 1> s) {
      for (size_t i = 0; i + 1 < T; ++i) {
        s[i] = Fr::dot_add<PARTIAL_BLOCK>(std::span<const Fr, PARTIAL_BLOCK>(block.columns[i]), ys, s[i]);
      }
    });
  }

  // update_columns(b, block, ys, s): the column updates of block b, s the elements 1..T-1.
  template <typename UpdateColumns>
  TARVO_CACHE_LINE_ALIGNED void permute_partial_rounds(Vec<T>& state, UpdateColumns update_columns) const {
    constexpr size_t B = PARTIAL_BLOCK;
    const size_t partial_rounds = params_.partial_rounds;
    // On a cache line boundary, so that its speed does not depend on where the caller's stack lies.
    alignas(64) std::array<Fr, T - 1 + B> operands{};
    for (size_t i = 1; i < T; ++i) operands[i - 1] = state[i];
    const std::span<const Fr, T - 1 + B> all(operands);
    Fr mixed = state[0];
    Fr next_y = sbox_add(mixed, constants_.partial[0]);
    size_t k = 0;
    for (size_t b = 0; b < matrices_.partial_blocks.size(); ++b) {
      const PartialBlock<T>& block = matrices_.partial_blocks[b];
      operands[T - 1] = next_y;
      for_each_index<B>([&]<size_t R>(std::integral_constant<size_t, R>) {
        if (R >= block.rounds) return;
        constexpr size_t N = T + R;
        mixed = Fr::dot<N>(std::span(block.rows[R]).template first<N>(), all.template first<N>());
        if (++k == partial_rounds) return;
        const Fr y = sbox_add(mixed, constants_.partial[k]);
        if (R + 1 == block.rounds) {
          next_y = y;  // the next block's first
        } else if constexpr (R + 1 < B) {
          operands[T + R] = y;
        }
      });
      update_columns(b, block, all.template last<B>(), std::span(operands).template first<T - 1>());
    }
    state[0] = mixed;
    for (size_t i = 1; i < T; ++i) state[i] = operands[i - 1];
  }

  void optimize_constants(const Matrix<T>& mds_inv);
  void factor_matrices();
  void gather_partial_blocks();

  Spec() = default;

  // Calls f on every element in the order elements() lists them; Self is Spec or const Spec.
  template <typename Self, typename F>
  static void visit(Self& spec, F&& f) {
    for (auto& row : spec.params_.round_constants) {
      for (auto& value : row) f(value);
    }
    for (auto& matrix : {&spec.params_.mds, &spec.matrices_.pre_sparse}) {
      for (auto& row : *matrix) {
        for (auto& value : row) f(value);
      }
    }
    for (auto* vectors : {&spec.constants_.start, &spec.constants_.end}) {
      for (auto& vector : *vectors) {
        for (auto& value : vector) f(value);
      }
    }
    for (auto& value : spec.constants_.partial) f(value);
    for (auto& sparse : spec.matrices_.sparse) {  // the row (first element, column), then w_hat
      f(sparse.first_row[0]);
      for (auto& value : sparse.column) f(value);
      for (size_t i = 1; i < T; ++i) f(sparse.first_row[i]);
    }
  }

  Parameters<T> params_;
  OptimizedConstants<T> constants_;
  MDSMatrices<T> matrices_;
#if TARVO_X86_64
  std::shared_ptr<const ifma::Constants> ifma_;  // width 9 only
#endif
};

template <size_t T>
Spec<T>::Spec(size_t full_rounds, size_t partial_rounds) : params_(generate<T>(full_rounds, partial_rounds)) {
  optimize_constants(invert(params_.mds));
  factor_matrices();
  gather_partial_blocks();
  prepare_ifma();
}

template <size_t T>
Spec<T> Spec<T>::from_elements(size_t full_rounds, size_t partial_rounds, std::span<const Limbs> elements) {
  ensure(full_rounds > 0 && full_rounds % 2 == 0, "the number of full rounds must be positive and even");
  Spec spec;
  spec.params_.full_rounds = full_rounds;
  spec.params_.partial_rounds = partial_rounds;
  spec.params_.round_constants.resize(full_rounds + partial_rounds);
  spec.constants_.start.resize(full_rounds / 2 + 1);
  spec.constants_.end.resize(full_rounds / 2 - 1);
  spec.constants_.partial.resize(partial_rounds);
  spec.matrices_.sparse.resize(partial_rounds);
  size_t next = 0;
  visit(spec, [&](Fr& value) {
    ensure(next < elements.size(), "embedded Poseidon table is too short");
    value = Fr::from_repr(elements[next++]).value();
  });
  ensure(next == elements.size(), "embedded Poseidon table is too long");
  spec.matrices_.mds = spec.params_.mds;
  spec.gather_partial_blocks();
  spec.prepare_ifma();
  return spec;
}

// Constants added after the last partial round's mix move back through it as M^-1·c. Element 0 of
// the moved vector must stay after that round's S-box (the partial scalar); the rest commutes with
// the S-box and joins the round's own constants, until everything left lands in the last first-half
// full round.
template <size_t T>
void Spec<T>::optimize_constants(const Matrix<T>& mds_inv) {
  const size_t half = params_.half_full_rounds();
  const size_t first_end = half + params_.partial_rounds;
  const auto& c = params_.round_constants;
  constants_.start.push_back(c[0]);
  for (size_t k = 1; k < half; ++k) constants_.start.push_back(mul(mds_inv, c[k]));
  constants_.partial.resize(params_.partial_rounds);
  Vec<T> acc = c[first_end];
  for (size_t k = first_end; k-- > half;) {
    Vec<T> tmp = mul(mds_inv, acc);
    constants_.partial[k - half] = tmp[0];
    tmp[0] = Fr::zero();
    for (size_t i = 0; i < T; ++i) acc[i] = tmp[i] + c[k][i];
  }
  constants_.start.push_back(mul(mds_inv, acc));
  for (size_t k = first_end + 1; k < c.size(); ++k) constants_.end.push_back(mul(mds_inv, c[k]));
}

// With A = M^T and B = A, B splits as m'·S: m' is B's lower-right block bordered by the identity,
// S keeps B's first row, the column A_hat^-1·w and the identity. m' commutes with a partial round's
// S-box, so it moves into the previous round's matrix: B <- A·m'. The last B^T becomes the mix
// before the partial rounds.
template <size_t T>
void Spec<T>::factor_matrices() {
  matrices_.mds = params_.mds;
  const Matrix<T> a = transpose(params_.mds);
  Matrix<T> b = a;
  for (size_t k = 0; k < params_.partial_rounds; ++k) {
    Matrix<T - 1> a_hat;
    Vec<T - 1> w;
    Matrix<T> m_prime = identity<T>();
    for (size_t i = 1; i < T; ++i) {
      w[i - 1] = b[i][0];
      for (size_t j = 1; j < T; ++j) a_hat[i - 1][j - 1] = m_prime[i][j] = b[i][j];
    }
    const Vec<T - 1> w_hat = mul(invert(a_hat), w);
    SparseMDSMatrix<T> sparse;
    sparse.first_row[0] = b[0][0];
    for (size_t i = 1; i < T; ++i) {
      sparse.first_row[i] = w_hat[i - 1];
      sparse.column[i - 1] = b[0][i];
    }
    matrices_.sparse.push_back(sparse);
    b = mul(a, m_prime);
  }
  std::reverse(matrices_.sparse.begin(), matrices_.sparse.end());
  matrices_.pre_sparse = transpose(b);
}

// Round r of a block sees s after the column updates of rounds 0..r-1, so y_j (j < r) reaches its
// new element 0 with the coefficient w_hat_r·column_j.
template <size_t T>
void Spec<T>::gather_partial_blocks() {
  const auto& sparse = matrices_.sparse;
  matrices_.partial_blocks.clear();
  for (size_t first = 0; first < sparse.size(); first += PARTIAL_BLOCK) {
    PartialBlock<T> block;
    block.rounds = std::min(PARTIAL_BLOCK, sparse.size() - first);
    for (size_t r = 0; r < block.rounds; ++r) {
      const SparseMDSMatrix<T>& m = sparse[first + r];
      for (size_t i = 1; i < T; ++i) {
        block.rows[r][i - 1] = m.first_row[i];
        block.columns[i - 1][r] = m.column[i - 1];
      }
      const std::span<const Fr, T - 1> w_hat = std::span<const Fr, T>(m.first_row).template last<T - 1>();
      for (size_t j = 0; j < r; ++j) {
        block.rows[r][T - 1 + j] =
            Fr::dot<T - 1>(w_hat, std::span<const Fr, T - 1>(sparse[first + j].column));
      }
      block.rows[r][T - 1 + r] = m.first_row[0];
    }
    matrices_.partial_blocks.push_back(block);
  }
}

}  // namespace tarvo::poseidon
