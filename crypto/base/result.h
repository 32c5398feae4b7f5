// Result<T>: either a value or an Error.
#pragma once

#include <utility>
#include <variant>

#include "crypto/base/error.h"
#include "crypto/base/fatal.h"

namespace tarvo {

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return checked_value(); }
  const T& value() const& { return const_cast<Result*>(this)->checked_value(); }
  T&& value() && { return std::move(checked_value()); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const Error& error() const {
    if (ok()) fatal("Result::error() called on a value");
    return std::get<1>(state_);
  }

 private:
  T& checked_value() {
    if (!ok()) fatal("Result::value() called on an error: " + std::get<1>(state_).message());
    return std::get<0>(state_);
  }

  std::variant<T, Error> state_;
};

// Result of an operation that yields nothing but may fail.
struct Unit {};
using Status = Result<Unit>;
inline Status ok_status() { return Unit{}; }

}  // namespace tarvo

// Evaluates `expr` (a Result); on error returns that error from the enclosing function, otherwise
// yields the value. Usage: auto v = TARVO_TRY(parse(text));
#define TARVO_TRY(expr)                                            \
  ({                                                               \
    auto tarvo_try_result_ = (expr);                               \
    if (!tarvo_try_result_.ok()) return tarvo_try_result_.error(); \
    std::move(tarvo_try_result_).value();                          \
  })
