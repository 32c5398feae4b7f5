#include "python-module/src/lib/functions.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <array>
#include <new>
#include <string>
#include <utility>

#include "python-module/src/lib/arguments.h"
#include "python-module/src/lib/guard.h"
#include "sdk/src/json/writer.h"
#include "sdk/src/lib/core.h"
#include "sdk/src/lib/l1_sign.h"

namespace tarvo::python {

namespace {

struct Function {
  const char* name;
  ParameterList parameters;
  Operation operation;
};

// Context texts of the diagnostic line, naming the step that failed. The transaction signing context is
// spelled without the apostrophe on purpose: callers match on it.
constexpr char kSignTransaction[] = "Couldn get jubjubSignature";
constexpr char kHash[] = "Couldn't get hash";
constexpr char kSignMessage[] = "Couldn't sign msg";

std::string signature_json(Result<JubjubSignature> signature, const char* context) {
  return json::to_json(checked(std::move(signature), context));
}

std::string public_key_json(Result<sdk::TextPair> pair, const char* context) {
  const auto [x, y] = checked(std::move(pair), context);
  return json::public_key_to_json(x, y);
}

constexpr std::array<Function, 1> kVerification = {{
    {"verify_signature",
     {"sig_r", "sig_s", "pub_key_x", "pub_key_y", "msg"},
     [](Texts t) -> Value {
       return checked(sdk::verify_signature(t[0], t[1], t[2], t[3], t[4]),
                      "Couldn't get verify_signature result");
     }},
}};

// The sign and the hash function of every request kind, from the core's table of kinds.
template <std::size_t K>
Value sign_request(Texts t) {
  return signature_json(sdk::REQUEST_KINDS[K].sign(t[0], t[1]), kSignTransaction);
}
template <std::size_t K>
Value hash_request(Texts t) {
  return checked(sdk::REQUEST_KINDS[K].hash(t[0]), kHash);
}
template <std::size_t... K>
constexpr std::array<Function, sizeof...(K)> sign_functions(std::index_sequence<K...>) {
  return {Function{sdk::REQUEST_KINDS[K].sign_name, {"json", "pri_key"}, &sign_request<K>}...};
}
template <std::size_t... K>
constexpr std::array<Function, sizeof...(K)> hash_functions(std::index_sequence<K...>) {
  return {Function{sdk::REQUEST_KINDS[K].hash_name, {"json"}, &hash_request<K>}...};
}
constexpr auto kRequestKinds = std::make_index_sequence<sdk::REQUEST_KINDS.size()>();

constexpr auto kOtherFunctions = std::to_array<Function>({
    {"sign",
     {"private_key", "msg"},
     [](Texts t) -> Value { return signature_json(sdk::sign(t[0], t[1]), kSignMessage); }},
    // The layer-one signer takes the message first and the key second.
    {"eth_sign",
     {"private_key", "msg"},
     [](Texts t) -> Value { return json::to_json(checked(sdk::l1_sign(t[1], t[0]), kSignMessage)); }},
    {"private_key_from_seed",
     {"seed"},
     [](Texts t) -> Value {
       return checked(sdk::private_key_from_seed(t[0]), "Couldn't derive private key from seed");
     }},
    {"is_on_curve",
     {"x", "y"},
     [](Texts t) -> Value {
       return checked(sdk::is_on_curve(t[0], t[1]), "Couldn't get verify xy is on curve");
     }},
    {"public_key_to_xy",
     {"public_key"},
     [](Texts t) -> Value {
       return public_key_json(sdk::pub_key_to_xy(t[0]), "Couldn't convert public key to xy");
     }},
    {"private_key_to_public_key_xy",
     {"private_key"},
     [](Texts t) -> Value {
       return public_key_json(sdk::private_key_to_pubkey_xy(t[0]),
                              "Couldn't convert private key to public key xy");
     }},
});

template <std::size_t... N>
constexpr std::array<Function, (N + ...)> joined(const std::array<Function, N>&... parts) {
  std::array<Function, (N + ...)> all{};
  auto next = all.begin();
  ((next = std::copy(parts.begin(), parts.end(), next)), ...);
  return all;
}

// In registration order.
constexpr auto kFunctions =
    joined(kVerification, sign_functions(kRequestKinds), hash_functions(kRequestKinds), kOtherFunctions);
constexpr std::size_t kFunctionCount = kFunctions.size();

// The argument texts of one call; they can hold private keys, so they are wiped before release.
struct WipedTexts {
  std::array<std::string, kMaxParameters> texts;
  ~WipedTexts() {
    for (std::string& text : texts) OPENSSL_cleanse(text.data(), text.size());
  }
};

// The call wrapper of every function: bind and convert the arguments, then run the operation guarded.
PyObject* call(const Function& function, PyObject* const* args, Py_ssize_t nargs,
               PyObject* kwnames) noexcept {
  WipedTexts owned;
  auto& texts = owned.texts;
  try {
    if (!bind_texts(function.name, function.parameters, args, nargs, kwnames, texts)) return nullptr;
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  }
  return run_guarded(function.operation, Texts(texts.data(), function.parameters.size()));
}

// CPython calls a method by its C entry point alone, so each table entry gets its own instantiation.
template <std::size_t I>
PyObject* entry(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call(kFunctions[I], args, nargs, kwnames);
}

std::string signature_text(const Function& function) {
  std::string text = function.name;
  text += '(';
  for (const char* parameter : function.parameters) {
    if (text.back() != '(') text += ", ";
    text += parameter;
  }
  text += ")\n--\n\n";
  return text;
}

template <std::size_t... I>
std::array<PyMethodDef, kFunctionCount> make_definitions(const std::array<std::string, kFunctionCount>& docs,
                                                         std::index_sequence<I...>) {
  // The void(*)(void) step is the sanctioned way to store a fast-call entry in the PyCFunction slot.
  return {PyMethodDef{kFunctions[I].name,
                      reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(&entry<I>)),
                      METH_FASTCALL | METH_KEYWORDS, docs[I].c_str()}...};
}

template <std::size_t... I>
std::array<std::string, kFunctionCount> make_docs(std::index_sequence<I...>) {
  return {signature_text(kFunctions[I])...};
}

}  // namespace

std::span<PyMethodDef> method_definitions() {
  static const std::array<std::string, kFunctionCount> docs =
      make_docs(std::make_index_sequence<kFunctionCount>());
  static std::array<PyMethodDef, kFunctionCount> definitions =
      make_definitions(docs, std::make_index_sequence<kFunctionCount>());
  return definitions;
}

}  // namespace tarvo::python
