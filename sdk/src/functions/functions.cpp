#include "sdk/src/functions/functions.h"

#include <utility>

#include "crypto/base/fatal.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/functions/diagnostic.h"
#include "sdk/src/functions/l1_sign.h"

namespace tarvo::sdk {

namespace {

// Step texts of the diagnostic line, naming the step that failed. The transaction signing step is
// spelled without the apostrophe on purpose: callers match on it.
constexpr char kSignTransaction[] = "Couldn get jubjubSignature";
constexpr char kHash[] = "Couldn't get hash";
constexpr char kSignMessage[] = "Couldn't sign msg";

// The JSON text of a step's record: a signature, the layer-one signature record or a public key.
template <class Record>
std::string json_text(Result<Record> record, const char* step) {
  return checked(std::move(record), step).to_json();
}

constexpr std::array<Function, 1> kVerification = {{
    {"verify_signature",
     {"sig_r", "sig_s", "pub_key_x", "pub_key_y", "msg"},
     [](Texts t) -> Value {
       return checked(verify_signature(t[0], t[1], t[2], t[3], t[4]), "Couldn't get verify_signature result");
     }},
}};

// The sign and the hash function of every request kind, from the core's table of kinds.
template <std::size_t K>
Value sign_request(Texts t) {
  return json_text(REQUEST_KINDS[K].sign(t[0], t[1]), kSignTransaction);
}
template <std::size_t K>
Value hash_request(Texts t) {
  return checked(REQUEST_KINDS[K].hash(t[0]), kHash);
}
template <std::size_t... K>
constexpr std::array<Function, sizeof...(K)> sign_functions(std::index_sequence<K...>) {
  return {Function{REQUEST_KINDS[K].sign_name, {"json", "pri_key"}, &sign_request<K>}...};
}
template <std::size_t... K>
constexpr std::array<Function, sizeof...(K)> hash_functions(std::index_sequence<K...>) {
  return {Function{REQUEST_KINDS[K].hash_name, {"json"}, &hash_request<K>}...};
}
constexpr auto kRequestKinds = std::make_index_sequence<REQUEST_KINDS.size()>();

constexpr auto kOtherFunctions = std::to_array<Function>({
    {"sign",
     {"private_key", "msg"},
     [](Texts t) -> Value { return json_text(sign(t[0], t[1]), kSignMessage); }},
    // The layer-one signer takes the message first and the key second.
    {"eth_sign",
     {"private_key", "msg"},
     [](Texts t) -> Value { return json_text(l1_sign(t[1], t[0]), kSignMessage); }},
    {"private_key_from_seed",
     {"seed"},
     [](Texts t) -> Value {
       return checked(private_key_from_seed(t[0]), "Couldn't derive private key from seed");
     }},
    {"is_on_curve",
     {"x", "y"},
     [](Texts t) -> Value { return checked(is_on_curve(t[0], t[1]), "Couldn't get verify xy is on curve"); }},
    {"public_key_to_xy",
     {"public_key"},
     [](Texts t) -> Value { return json_text(pub_key_to_xy(t[0]), "Couldn't convert public key to xy"); }},
    {"private_key_to_public_key_xy",
     {"private_key"},
     [](Texts t) -> Value {
       return json_text(private_key_to_pubkey_xy(t[0]), "Couldn't convert private key to public key xy");
     }},
});

template <std::size_t... N>
constexpr std::array<Function, (N + ...)> joined(const std::array<Function, N>&... parts) {
  std::array<Function, (N + ...)> all{};
  auto next = all.begin();
  ((next = std::copy(parts.begin(), parts.end(), next)), ...);
  return all;
}

}  // namespace

constinit const std::array<Function, kFunctionCount> FUNCTIONS =
    joined(kVerification, sign_functions(kRequestKinds), hash_functions(kRequestKinds), kOtherFunctions);

const Function& function_named(std::string_view name) {
  for (const Function& function : FUNCTIONS) {
    if (name == function.name) return function;
  }
  fatal("no function named " + std::string(name));
}

}  // namespace tarvo::sdk
