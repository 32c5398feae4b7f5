// The 17 functions as the bindings offer them (the Python module and the C library): name, parameters,
// and the core operation with its result conversion, each step that can fail named for the diagnostic.
// A binding converts the arguments to texts, runs the operation, and converts the value or the failure.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tarvo::sdk {

inline constexpr std::size_t kMaxParameters = 5;

// A function's parameter names in order. Every parameter is required and may be passed by position or by
// keyword; there are no defaults, no variadic and no keyword-only parameters.
class ParameterList {
 public:
  constexpr ParameterList() = default;
  constexpr ParameterList(std::initializer_list<const char*> names) : count_(names.size()) {
    if (names.size() > kMaxParameters)
      throw "more parameters than kMaxParameters";  // rejected at compile time
    std::copy(names.begin(), names.end(), names_.begin());
  }

  constexpr std::size_t size() const { return count_; }
  constexpr const char* operator[](std::size_t i) const { return names_[i]; }
  constexpr const char* const* begin() const { return names_.data(); }
  constexpr const char* const* end() const { return names_.data() + count_; }

 private:
  std::array<const char*, kMaxParameters> names_{};
  std::size_t count_ = 0;
};

// The argument texts of one call, one UTF-8 text per parameter.
using Texts = std::span<const std::string_view>;
// What an operation hands back: a text (a str in Python) or a truth value.
using Value = std::variant<std::string, bool>;
// A core call plus its result conversion. Reports an error result of a step by throwing StepFailed
// (diagnostic.h); may throw any other exception, such as tarvo::FatalError or std::bad_alloc.
using Operation = Value (*)(Texts texts);

struct Function {
  const char* name;
  ParameterList parameters;
  Operation operation;
};

inline constexpr std::size_t kFunctionCount = 17;

// In the module's registration order, from verify_signature to private_key_to_public_key_xy.
extern const std::array<Function, kFunctionCount> FUNCTIONS;

// The entry of FUNCTIONS called `name`; `name` must be one of them.
const Function& function_named(std::string_view name);

}  // namespace tarvo::sdk
