// The C interface: converts pointer-and-length texts into the texts of the shared function table
// (sdk/src/lib/functions.h), runs the function, and converts its value or failure into a status, a
// result and a text. It does nothing else.
#include "tarvo.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <variant>

#include "crypto/base/utf8.h"
#include "crypto/base/wipe.h"
#include "sdk/src/lib/diagnostic.h"
#include "sdk/src/lib/functions.h"

namespace tarvo::c_library {

namespace {

struct Text {
  const char* data;
  size_t size;
};

// Where a function's value goes: a text result or a truth value.
using Output = std::variant<char**, bool*>;

// Every text handed to the caller sits behind a hidden prefix holding its length, so that tarvo_free,
// which receives only the text, can wipe all of it: error texts may hold NUL bytes.
constexpr size_t kPrefix = sizeof(size_t);

// Room for a text of `size` bytes plus its NUL, in memory from malloc behind the length prefix; null when
// malloc fails.
char* allocated_text(size_t size) {
  char* block = static_cast<char*>(std::malloc(kPrefix + size + 1));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &size, kPrefix);
  block[kPrefix + size] = '\0';
  return block + kPrefix;
}

// Wipes a text from allocated_text, all of its bytes whatever they hold, and frees it.
void release_text(char* text) {
  char* block = text - kPrefix;
  size_t size = 0;
  std::memcpy(&size, block, kPrefix);
  wipe(block, kPrefix + size);
  std::free(block);
}

// A copy of `text` for the caller (allocated_text); null when malloc fails.
char* copied(std::string_view text) {
  char* copy = allocated_text(text.size());
  if (copy != nullptr) std::memcpy(copy, text.data(), text.size());
  return copy;
}

tarvo_status invalid_argument(const char* function, const char* parameter, const char* problem,
                              char** error) {
  if (error != nullptr) *error = copied(std::string("tarvo_") + function + ": '" + parameter + "'" + problem);
  return TARVO_INVALID_ARGUMENT;
}

// Called inside a catch handler: the failure's diagnostic line, in memory from malloc, or null.
char* diagnostic() noexcept {
  size_t size = 0;
  sdk::write_diagnostic([&size](char) { ++size; });
  char* text = allocated_text(size);
  if (text == nullptr) return nullptr;
  size_t next = 0;
  sdk::write_diagnostic([text, &next](char c) { text[next++] = c; });
  return text;
}

tarvo_status store(sdk::Value& value, const Output& output) {
  if (bool* const* result = std::get_if<bool*>(&output)) {
    **result = std::get<bool>(value);
    return TARVO_OK;
  }
  std::string& text = std::get<std::string>(value);
  char* out = copied(text);
  // A result text can be a private key (private_key_from_seed): the caller's copy is the only one left.
  wipe(text.data(), text.size());
  if (out == nullptr) return TARVO_OUT_OF_MEMORY;
  *std::get<char**>(output) = out;
  return TARVO_OK;
}

// One call of the table's function `name`: checks and converts the arguments, runs the function, and
// reports its value or failure.
template <size_t N>
tarvo_status call(const char* name, const std::array<Text, N>& arguments, Output output,
                  char** error) noexcept {
  if (error != nullptr) *error = nullptr;
  try {
    const sdk::Function& function = sdk::function_named(name);
    std::array<std::string_view, N> texts;
    for (size_t i = 0; i < N; ++i) {
      if (arguments[i].data == nullptr)
        return invalid_argument(name, function.parameters[i], " is NULL", error);
      texts[i] = {arguments[i].data, arguments[i].size};
      if (!is_utf8(texts[i]))
        return invalid_argument(name, function.parameters[i], " is not valid UTF-8", error);
    }
    if (std::visit([](auto* pointer) { return pointer == nullptr; }, output)) {
      return invalid_argument(name, std::holds_alternative<bool*>(output) ? "result" : "out", " is NULL",
                              error);
    }
    sdk::Value value = function.operation(texts);
    return store(value, output);
  } catch (const std::bad_alloc&) {
    return TARVO_OUT_OF_MEMORY;
  } catch (...) {
    if (error != nullptr) *error = diagnostic();
    return TARVO_FAILED;
  }
}

}  // namespace

}  // namespace tarvo::c_library

using tarvo::c_library::call;
using Texts1 = std::array<tarvo::c_library::Text, 1>;
using Texts2 = std::array<tarvo::c_library::Text, 2>;

extern "C" {

const char* tarvo_version(void) { return TARVO_VERSION; }

void tarvo_free(char* text) {
  if (text == nullptr) return;
  tarvo::c_library::release_text(text);
}

tarvo_status tarvo_verify_signature(const char* sig_r, size_t sig_r_len, const char* sig_s, size_t sig_s_len,
                                    const char* pub_key_x, size_t pub_key_x_len, const char* pub_key_y,
                                    size_t pub_key_y_len, const char* msg, size_t msg_len, bool* result,
                                    char** error) {
  const std::array<tarvo::c_library::Text, 5> texts = {{{sig_r, sig_r_len},
                                                        {sig_s, sig_s_len},
                                                        {pub_key_x, pub_key_x_len},
                                                        {pub_key_y, pub_key_y_len},
                                                        {msg, msg_len}}};
  return call("verify_signature", texts, result, error);
}

#define TARVO_TEXT_FUNCTION_1(NAME, A)                                                 \
  tarvo_status tarvo_##NAME(const char* A, size_t A##_len, char** out, char** error) { \
    return call(#NAME, Texts1{{{A, A##_len}}}, out, error);                            \
  }
#define TARVO_TEXT_FUNCTION_2(NAME, A, B)                                                             \
  tarvo_status tarvo_##NAME(const char* A, size_t A##_len, const char* B, size_t B##_len, char** out, \
                            char** error) {                                                           \
    return call(#NAME, Texts2{{{A, A##_len}, {B, B##_len}}}, out, error);                             \
  }

TARVO_TEXT_FUNCTION_2(sign_withdraw, json, pri_key)
TARVO_TEXT_FUNCTION_2(sign_transfer, json, pri_key)
TARVO_TEXT_FUNCTION_2(sign_limit_order, json, pri_key)
TARVO_TEXT_FUNCTION_2(sign_liquidate, json, pri_key)
TARVO_TEXT_FUNCTION_2(sign_signed_oracle_price, json, pri_key)
TARVO_TEXT_FUNCTION_1(hash_withdraw, json)
TARVO_TEXT_FUNCTION_1(hash_transfer, json)
TARVO_TEXT_FUNCTION_1(hash_limit_order, json)
TARVO_TEXT_FUNCTION_1(hash_liquidate, json)
TARVO_TEXT_FUNCTION_1(hash_signed_oracle_price, json)
TARVO_TEXT_FUNCTION_2(sign, private_key, msg)
TARVO_TEXT_FUNCTION_2(eth_sign, private_key, msg)
TARVO_TEXT_FUNCTION_1(private_key_from_seed, seed)
TARVO_TEXT_FUNCTION_1(public_key_to_xy, public_key)
TARVO_TEXT_FUNCTION_1(private_key_to_public_key_xy, private_key)

tarvo_status tarvo_is_on_curve(const char* x, size_t x_len, const char* y, size_t y_len, bool* result,
                               char** error) {
  return call("is_on_curve", Texts2{{{x, x_len}, {y, y_len}}}, result, error);
}

}  // extern "C"
