// Fuzzes the Transfer reader (sdk/src/transaction/transfer.h) and the hash operation that reads the same
// text.
#include <cstddef>
#include <cstdint>

#include "fuzz/request_harness.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/transaction/transfer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarvo::fuzz::check_request<tarvo::Transfer>(tarvo::fuzz::as_text(data, size),
                                              tarvo::sdk::hash_request<tarvo::Transfer>,
                                              [](const tarvo::Transfer&) { return false; });
  return 0;
}
