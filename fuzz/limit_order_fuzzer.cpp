// Fuzzes the LimitOrderRequest reader (sdk/src/transaction/limit_order.h) and the hash operation that reads
// the same text.
#include <cstddef>
#include <cstdint>

#include "fuzz/request_harness.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/transaction/limit_order.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarvo::fuzz::check_request<tarvo::LimitOrderRequest>(
      tarvo::fuzz::as_text(data, size), tarvo::sdk::hash_request<tarvo::LimitOrderRequest>,
      [](const tarvo::LimitOrderRequest& order) { return order.asset_id_synthetic < 0; });
  return 0;
}
