// Spec: Poseidon's parameters together with their optimised form, in which the constants of the
// partial rounds are folded into one scalar per round and the MDS matrix of each partial round is
// factored into a sparse matrix (first row, first column and identity elsewhere).
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "crypto/poseidon/parameters.h"

namespace tarvo::poseidon {

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

// Invariant: `sparse` holds one matrix per partial round, in the order the rounds use them.
template <size_t T>
struct MDSMatrices {
  Matrix<T> mds;
  Matrix<T> pre_sparse;
  std::vector<SparseMDSMatrix<T>> sparse;
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

  void permute(Vec<T>& state) const {
    const size_t half = params_.half_full_rounds();
    add(state, constants_.start[0]);
    for (size_t i = 1; i < half; ++i) {
      sbox_add(state, constants_.start[i]);
      state = mix(matrices_.mds, state);
    }
    sbox_add(state, constants_.start[half]);
    state = mix(matrices_.pre_sparse, state);
    // The next round's S-box needs only the new state[0]: it runs before this round's column updates,
    // so that the processor overlaps its chain of dependent multiplications with them.
    const size_t partial_rounds = params_.partial_rounds;
    Fr y = sbox_add(state[0], constants_.partial[0]);
    for (size_t k = 0; k < partial_rounds; ++k) {
      const SparseMDSMatrix<T>& m = matrices_.sparse[k];
      state[0] = y;
      const Fr mixed = Fr::dot(m.first_row, state);
      if (k + 1 < partial_rounds) y = sbox_add(mixed, constants_.partial[k + 1]);
      for (size_t i = 1; i < T; ++i) state[i] = Fr::mul_add(m.column[i - 1], state[0], state[i]);
      state[0] = mixed;
    }
    for (const Vec<T>& constants : constants_.end) {
      sbox_add(state, constants);
      state = mix(matrices_.mds, state);
    }
    for (Fr& s : state) s = sbox(s);
    state = mix(matrices_.mds, state);
  }

 private:
  static void add(Vec<T>& state, const Vec<T>& constants) {
    for (size_t i = 0; i < T; ++i) state[i] += constants[i];
  }

  // sbox(x) + c.
  static Fr sbox_add(const Fr& x, const Fr& c) { return Fr::mul_add(x, x.square().square(), c); }

  static void sbox_add(Vec<T>& state, const Vec<T>& constants) {
    for (size_t i = 0; i < T; ++i) state[i] = sbox_add(state[i], constants[i]);
  }

  // m·state, each row one dot product.
  static Vec<T> mix(const Matrix<T>& m, const Vec<T>& state) {
    Vec<T> out;
    for (size_t i = 0; i < T; ++i) out[i] = Fr::dot(m[i], state);
    return out;
  }

  static void sparse_mix(const SparseMDSMatrix<T>& m, Vec<T>& state) {
    const Fr s0 = state[0];
    state[0] = Fr::dot(m.first_row, state);
    for (size_t i = 1; i < T; ++i) state[i] = Fr::mul_add(m.column[i - 1], s0, state[i]);
  }

  void optimize_constants(const Matrix<T>& mds_inv);
  void factor_matrices();

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
};

template <size_t T>
Spec<T>::Spec(size_t full_rounds, size_t partial_rounds) : params_(generate<T>(full_rounds, partial_rounds)) {
  optimize_constants(invert(params_.mds));
  factor_matrices();
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

}  // namespace tarvo::poseidon
