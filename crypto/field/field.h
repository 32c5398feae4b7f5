// PrimeField<Params>: arithmetic modulo a prime below 2^254, held in Montgomery form (R = 2^256).
//
// Invariant: `mont_` is the Montgomery form a·R mod p of the canonical value a, fully reduced
// (< p). Montgomery values leave this type only through montgomery_form(), for kernels that work on the
// limbs with bounds of their own; every other conversion carries the canonical integer.
// Arithmetic (add, sub, neg, mul, square, inverse) runs in constant time with respect to the values;
// from_repr, from_str, sqrt, legendre and the `_var` functions are for public inputs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

#include "crypto/base/check.h"
#include "crypto/base/fatal.h"
#include "crypto/base/kernel.h"
#include "crypto/base/result.h"
#include "crypto/field/limbs.h"
#include "crypto/field/modinv.h"
#include "crypto/field/montgomery.h"
#include "crypto/field/montgomery_dot.h"
#include "crypto/field/op_counts.h"

namespace tarvo {

enum class Legendre { zero, quadratic_residue, quadratic_non_residue };

template <typename Params>
class PrimeField {
 public:
  static constexpr Limbs MODULUS = Params::MODULUS;

  constexpr PrimeField() = default;  // zero

  static constexpr PrimeField zero() { return PrimeField(); }
  static constexpr PrimeField one() { return from_montgomery(Params::R); }
  // The modulus as a plain 256-bit integer (not a valid element).
  static constexpr Limbs characteristic() { return Params::MODULUS; }

  // The canonical integer, or the NotInField error "0x… is not an element of the field" for a
  // value >= p; out-of-range input is never reduced.
  static Result<PrimeField> from_repr(const Limbs& repr) {
    if (!limbs_less_var(repr, MODULUS)) return Error(limbs_to_hex(repr) + " is not an element of the field");
    return from_canonical_unchecked(repr);
  }
  // Any 256-bit integer, reduced mod p.
  static PrimeField from_u256_reduced(const Limbs& value) {
    return from_montgomery(mont_mul(Params::R2, value));  // the kernel allows b >= p when a < p
  }
  static PrimeField from_u128(uint64_t lo, uint64_t hi) { return from_u256_reduced({lo, hi, 0, 0}); }
  // 32 bytes little-endian, reduced mod p.
  static PrimeField from_le_bytes_reduced(std::span<const uint8_t, 32> bytes) {
    return from_u256_reduced(limbs_from_le_bytes(bytes));
  }
  // A 512-bit little-endian integer reduced mod p.
  static PrimeField from_bytes_wide(std::span<const uint8_t, 64> bytes) {
    const PrimeField low = from_u256_reduced(limbs_from_le_bytes(bytes.first<32>()));
    const PrimeField high = from_u256_reduced(limbs_from_le_bytes(bytes.last<32>()));
    return low + high * from_montgomery(Params::R2);  // R2 is the Montgomery form of 2^256 mod p
  }
  // Decimal digits, no sign, no blanks, no leading zero (except "0" itself); reduced mod p.
  static std::optional<PrimeField> from_str(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (text == "0") return zero();
    if (text[0] == '0') return std::nullopt;
    const PrimeField ten = from_u128(10, 0);
    PrimeField acc;
    for (char c : text) {
      if (c < '0' || c > '9') return std::nullopt;
      acc = acc * ten + from_u128(static_cast<uint64_t>(c - '0'), 0);
    }
    return acc;
  }

  Limbs into_repr() const { return mont_mul(mont_, Limbs{1, 0, 0, 0}); }
  std::array<uint8_t, 32> to_le_bytes() const { return limbs_to_le_bytes(into_repr()); }
  std::array<uint8_t, 32> to_be_bytes() const { return limbs_to_be_bytes(into_repr()); }

  // The Montgomery form, and the element of a Montgomery form below p.
  TARVO_KERNEL const Limbs& montgomery_form() const { return mont_; }
  TARVO_KERNEL static PrimeField from_montgomery_form(const Limbs& mont) { return from_montgomery(mont); }

  bool is_zero() const { return (mont_[0] | mont_[1] | mont_[2] | mont_[3]) == 0; }
  bool is_odd() const { return (into_repr()[0] & 1) != 0; }

  TARVO_KERNEL friend PrimeField operator+(const PrimeField& a, const PrimeField& b) {
    return from_montgomery(montgomery::add_mod(a.mont_, b.mont_, MODULUS));
  }
  TARVO_KERNEL friend PrimeField operator-(const PrimeField& a, const PrimeField& b) {
    return from_montgomery(montgomery::sub_mod(a.mont_, b.mont_, MODULUS));
  }
  PrimeField operator-() const { return zero() - *this; }
  TARVO_KERNEL friend PrimeField operator*(const PrimeField& a, const PrimeField& b) {
    PrimeField::count_ops(1, 0);
    return from_montgomery(mont_mul(a.mont_, b.mont_));
  }
  // Σ a[i]·b[i] with one Montgomery reduction for the whole sum; counted as N multiplications.
  template <size_t N>
  TARVO_KERNEL static PrimeField dot(std::span<const PrimeField, N> a, std::span<const PrimeField, N> b) {
    PrimeField::count_ops(N, 0);
    return from_montgomery(
        montgomery::dot<N>(montgomery_limbs(a), montgomery_limbs(b), MODULUS, Params::INV));
  }
  template <size_t N>
  TARVO_KERNEL static PrimeField dot(const std::array<PrimeField, N>& a, const std::array<PrimeField, N>& b) {
    return dot<N>(std::span<const PrimeField, N>(a), std::span<const PrimeField, N>(b));
  }
  // Σ a[i]·b[i] + c, the addition joining the sum before its reduction; counted as N multiplications.
  template <size_t N>
  TARVO_KERNEL static PrimeField dot_add(std::span<const PrimeField, N> a, std::span<const PrimeField, N> b,
                                         const PrimeField& c) {
    PrimeField::count_ops(N, 0);
    return from_montgomery(
        montgomery::dot_add<N>(montgomery_limbs(a), montgomery_limbs(b), c.mont_, MODULUS, Params::INV));
  }
  // a·b + c, the addition joining the multiplication's final reduction; counted as one multiplication.
  TARVO_KERNEL static PrimeField mul_add(const PrimeField& a, const PrimeField& b, const PrimeField& c) {
    PrimeField::count_ops(1, 0);
    return from_montgomery(montgomery::mul_add(a.mont_, b.mont_, c.mont_, MODULUS, Params::INV));
  }
  PrimeField& operator+=(const PrimeField& o) { return *this = *this + o; }
  PrimeField& operator-=(const PrimeField& o) { return *this = *this - o; }
  PrimeField& operator*=(const PrimeField& o) { return *this = *this * o; }
  TARVO_KERNEL PrimeField square() const {
    PrimeField::count_ops(0, 1);
    return from_montgomery(montgomery::sqr(mont_, MODULUS, Params::INV));
  }
  PrimeField doubled() const { return *this + *this; }
  // Word by word into one difference: a whole-array comparison may be vectorised into wide loads of a
  // value the multiplication has just stored in words, which stalls on the store forwarding.
  friend bool operator==(const PrimeField& a, const PrimeField& b) {
    uint64_t difference = 0;
    for (size_t i = 0; i < a.mont_.size(); ++i) difference |= a.mont_[i] ^ b.mont_[i];
    return difference == 0;
  }

  // this^exponent for a public exponent: 4-bit fixed windows. The memory accesses depend on the
  // exponent only, and the time not on this value.
  PrimeField pow(const Limbs& exponent) const { return pow<1>({*this}, exponent)[0]; }
  // The same for N bases in lockstep: the N chains of squarings are independent, so that the CPU
  // overlaps them where one chain alone would wait for each squaring's result.
  template <size_t N>
  static std::array<PrimeField, N> pow(const std::array<PrimeField, N>& bases, const Limbs& exponent) {
    std::array<std::array<PrimeField, 16>, N> powers;
    for (size_t j = 0; j < N; ++j) {
      powers[j][0] = one();
      for (size_t i = 1; i < powers[j].size(); ++i) powers[j][i] = powers[j][i - 1] * bases[j];
    }
    std::array<PrimeField, N> acc;
    acc.fill(one());
    bool started = false;
    for (int window = 63; window >= 0; --window) {
      if (started) {
        for (int i = 0; i < 4; ++i) {
          for (PrimeField& value : acc) value = value.square();
        }
      }
      const uint64_t digit = (exponent[window / 16] >> (4 * (window % 16))) & 15;
      if (digit != 0) {
        for (size_t j = 0; j < N; ++j) acc[j] = started ? acc[j] * powers[j][digit] : powers[j][digit];
        started = true;
      }
    }
    return acc;
  }

  // No value for zero (whether the value is zero is not kept secret). The divsteps invert the
  // Montgomery form a·R into a^-1·R^-1, scaled by R^2 to the Montgomery form a^-1·R.
  std::optional<PrimeField> inverse() const {
    if (is_zero()) return std::nullopt;
    return from_montgomery(modinv::inverse(mont_, MODINV));
  }
  // The same for public values, in variable time.
  std::optional<PrimeField> inverse_var() const {
    if (is_zero()) return std::nullopt;
    return from_montgomery(modinv::inverse_var(mont_, MODINV));
  }
  // The plain path the divsteps are checked against: Fermat's little theorem, a^(p - 2).
  std::optional<PrimeField> inverse_reference() const {
    if (is_zero()) return std::nullopt;
    return pow(minus(MODULUS, 2));
  }

  Legendre legendre() const {
    const PrimeField s = pow(Params::MODULUS_MINUS_ONE_DIV_TWO);
    if (s.is_zero()) return Legendre::zero;
    return s == one() ? Legendre::quadratic_residue : Legendre::quadratic_non_residue;
  }

  // With w = a^((T - 1) / 2), r = a·w = a^((T + 1) / 2) and t = r·w = a^T, whose order divides 2^S.
  // Written as t = g^k for the root of unity g of order 2^S, a is a residue exactly when k is even, and
  // then r·g^(-k/2) is a root: its square is a·t·g^-k = a. k comes out W bits at a time, the top power
  // of t first: each step strips the digits found so far from a power of t with table products, which
  // leaves a root of unity of order 2^W whose logarithm, the next digit, is looked up by value. No
  // value for a non-residue, which shows as an odd lowest digit.
  std::optional<PrimeField> sqrt() const { return sqrt<1>({*this})[0]; }
  // The same for N values, their exponentiations in lockstep (see pow).
  template <size_t N>
  static std::array<std::optional<PrimeField>, N> sqrt(const std::array<PrimeField, N>& values) {
    const std::array<PrimeField, N> w = pow<N>(values, Params::T_MINUS_ONE_DIV_TWO);
    std::array<std::optional<PrimeField>, N> roots;
    for (size_t i = 0; i < N; ++i) roots[i] = values[i].sqrt_from(w[i]);
    return roots;
  }

 private:
  // The counting build's tally of an operation (op_counts.h): the multiplications and squarings it stands
  // for.
  TARVO_KERNEL static void count_ops(uint64_t multiplications, uint64_t squarings) {
    TARVO_COUNT(multiplications, squarings);
  }

  // The rest of sqrt once w = this^((T - 1) / 2) is known.
  std::optional<PrimeField> sqrt_from(const PrimeField& w) const {
    if (is_zero()) return zero();
    const RootsOfUnity& roots = RootsOfUnity::get();
    const PrimeField r = *this * w;
    // t_powers[i] = t^(2^(W·i)), squared in a local: in the array, the squaring's operand address would
    // take registers that its assembly needs.
    std::array<PrimeField, RootsOfUnity::WINDOWS> t_powers;
    PrimeField t_power = r * w;
    t_powers[0] = t_power;
    for (size_t i = 1; i < t_powers.size(); ++i) {
      for (unsigned j = 0; j < RootsOfUnity::W; ++j) t_power = t_power.square();
      t_powers[i] = t_power;
    }
    std::array<uint32_t, RootsOfUnity::WINDOWS> digits;
    for (size_t step = 0; step < digits.size(); ++step) {
      const size_t shift = digits.size() - 1 - step;  // t_powers[shift] = g^(k·2^(W·shift))
      PrimeField stripped = t_powers[shift];
      for (size_t i = 0; i < step; ++i) stripped *= roots.inverse_powers[shift + i][digits[i]];
      digits[step] = roots.logarithm(stripped);
      if (step == 0 && digits[0] % 2 != 0) return std::nullopt;
    }
    uint64_t half_k = 0;
    for (size_t i = digits.size(); i-- > 0;) half_k = (half_k << RootsOfUnity::W) | digits[i];
    half_k >>= 1;
    PrimeField root = r;
    for (size_t i = 0; i < digits.size(); ++i) {
      root *= roots.inverse_powers[i][(half_k >> (RootsOfUnity::W * i)) & RootsOfUnity::DIGIT_MASK];
    }
    return root;
  }

  // The tables of sqrt, built once per process at its first call: inverse_powers[i][j] = g^(-j·2^(W·i))
  // for the root of unity g of order 2^S, and an open-addressing index of the 2^W roots of unity of
  // order 2^W by value, keyed by the low bits of their Montgomery forms.
  struct RootsOfUnity {
    // The window: the largest divisor of S up to 7, so that the windows tile S and a digit fits a byte.
    static constexpr unsigned W = [] {
      unsigned w = 7;
      while (Params::S % w != 0) --w;
      return w;
    }();
    static constexpr size_t WINDOWS = Params::S / W;
    static constexpr size_t DIGITS = size_t{1} << W;
    static constexpr uint64_t DIGIT_MASK = DIGITS - 1;
    static constexpr size_t SLOTS = 2 * DIGITS;
    static constexpr uint8_t EMPTY = 0xff;

    std::array<std::array<PrimeField, DIGITS>, WINDOWS> inverse_powers;
    std::array<uint8_t, SLOTS> slot_digits;

    static const RootsOfUnity& get() {
      static const RootsOfUnity roots;
      return roots;
    }

    RootsOfUnity() {
      PrimeField step = *from_montgomery(Params::ROOT_OF_UNITY).inverse_var();
      for (auto& powers : inverse_powers) {
        powers[0] = one();
        for (size_t j = 1; j < DIGITS; ++j) powers[j] = powers[j - 1] * step;
        step = powers[DIGITS - 1] * step;
      }
      // h^j for the root h = g^(2^(W·(WINDOWS - 1))) of order 2^W is the top table's entry 2^W - j.
      slot_digits.fill(EMPTY);
      for (size_t digit = 0; digit < DIGITS; ++digit) {
        size_t slot = slot_of(power_of_top_root(digit));
        while (slot_digits[slot] != EMPTY) slot = (slot + 1) % SLOTS;
        slot_digits[slot] = static_cast<uint8_t>(digit);
      }
    }

    const PrimeField& power_of_top_root(size_t digit) const {
      return inverse_powers[WINDOWS - 1][(DIGITS - digit) & DIGIT_MASK];
    }
    static size_t slot_of(const PrimeField& value) { return value.mont_[0] % SLOTS; }

    // The j < 2^W with h^j = value; fatal unless value is a root of unity of order dividing 2^W.
    uint32_t logarithm(const PrimeField& value) const {
      for (size_t slot = slot_of(value); slot_digits[slot] != EMPTY; slot = (slot + 1) % SLOTS) {
        if (power_of_top_root(slot_digits[slot]) == value) return slot_digits[slot];
      }
      fatal("a square root's stripped power is no root of unity of the window's order");
    }
  };

  TARVO_KERNEL static constexpr PrimeField from_montgomery(const Limbs& mont) {
    if (!std::is_constant_evaluated()) TARVO_CHECK(limbs_less(mont, MODULUS), "Montgomery form below p");
    PrimeField f;
    f.mont_ = mont;
    return f;
  }
  // The Montgomery forms of an array's elements, in place: mont_ is the only member.
  template <size_t N>
  TARVO_KERNEL static std::span<const Limbs, N> montgomery_limbs(std::span<const PrimeField, N> elements) {
    static_assert(sizeof(PrimeField) == sizeof(Limbs) && std::is_standard_layout_v<PrimeField>);
    return std::span<const Limbs, N>(reinterpret_cast<const Limbs*>(elements.data()), N);
  }

  static constexpr modinv::Modulus MODINV = modinv::make_modulus(MODULUS, Params::INV, Params::R2);
  static_assert(MODULUS[3] >> 62 == 0, "the constant-time divsteps count covers moduli below 2^254");

  static PrimeField from_canonical_unchecked(const Limbs& repr) { return from_u256_reduced(repr); }

  static constexpr Limbs minus(Limbs value, uint64_t small) {
    uint64_t borrow = small;
    for (int i = 0; i < 4; ++i) {
      const uint64_t next = value[i] < borrow ? 1 : 0;
      value[i] -= borrow;
      borrow = next;
    }
    return value;
  }

  // a < p, b any 256-bit value.
  TARVO_KERNEL static Limbs mont_mul(const Limbs& a, const Limbs& b) {
    return montgomery::mul(a, b, MODULUS, Params::INV);
  }

  Limbs mont_{};
};

}  // namespace tarvo
