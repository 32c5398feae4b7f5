// Dense vectors and square matrices over Fr with compile-time sizes, for building Poseidon's
// parameters and evaluating its linear layer.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "crypto/base/fatal.h"
#include "crypto/field/fr.h"

namespace tarvo::poseidon {

template <size_t N>
using Vec = std::array<Fr, N>;

// Row-major: m[i][j] is row i, column j.
template <size_t N>
using Matrix = std::array<Vec<N>, N>;

template <size_t N>
Vec<N> mul(const Matrix<N>& m, const Vec<N>& v) {
  Vec<N> out{};
  for (size_t i = 0; i < N; ++i) {
    for (size_t j = 0; j < N; ++j) out[i] += m[i][j] * v[j];
  }
  return out;
}

template <size_t N>
Matrix<N> mul(const Matrix<N>& a, const Matrix<N>& b) {
  Matrix<N> out{};
  for (size_t i = 0; i < N; ++i) {
    for (size_t j = 0; j < N; ++j) {
      for (size_t k = 0; k < N; ++k) out[i][j] += a[i][k] * b[k][j];
    }
  }
  return out;
}

template <size_t N>
Matrix<N> transpose(const Matrix<N>& m) {
  Matrix<N> out;
  for (size_t i = 0; i < N; ++i) {
    for (size_t j = 0; j < N; ++j) out[i][j] = m[j][i];
  }
  return out;
}

template <size_t N>
Matrix<N> identity() {
  Matrix<N> out{};
  for (size_t i = 0; i < N; ++i) out[i][i] = Fr::one();
  return out;
}

// Gauss-Jordan elimination. The matrices inverted here (an MDS matrix and its square sub-blocks) are
// invertible by construction, so a singular one is a fatal internal error.
template <size_t N>
Matrix<N> invert(Matrix<N> m) {
  Matrix<N> inv = identity<N>();
  for (size_t col = 0; col < N; ++col) {
    size_t pivot = col;
    while (pivot < N && m[pivot][col].is_zero()) ++pivot;
    ensure(pivot < N, "MDS matrix or one of its sub-blocks is not invertible");
    std::swap(m[pivot], m[col]);
    std::swap(inv[pivot], inv[col]);
    const Fr scale = m[col][col].inverse_var().value();
    for (size_t j = 0; j < N; ++j) {
      m[col][j] *= scale;
      inv[col][j] *= scale;
    }
    for (size_t row = 0; row < N; ++row) {
      if (row == col || m[row][col].is_zero()) continue;
      const Fr factor = m[row][col];
      for (size_t j = 0; j < N; ++j) {
        m[row][j] -= factor * m[col][j];
        inv[row][j] -= factor * inv[col][j];
      }
    }
  }
  return inv;
}

}  // namespace tarvo::poseidon
