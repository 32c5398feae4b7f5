// Fuzzes the Liquidate reader (sdk/src/transaction/liquidate.h) and the hash operation that reads the same
// text.
#include <cstddef>
#include <cstdint>

#include "fuzz/request_harness.h"
#include "sdk/src/functions/core.h"
#include "sdk/src/transaction/liquidate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarvo::fuzz::check_request<tarvo::Liquidate>(tarvo::fuzz::as_text(data, size),
                                               tarvo::sdk::hash_request<tarvo::Liquidate>,
                                               [](const tarvo::Liquidate& liquidation) {
                                                 return liquidation.liquidator_order.asset_id_synthetic < 0;
                                               });
  return 0;
}
