#include "sdk/src/transaction/withdraw.h"

#include "sdk/src/json/record_reader.h"
#include "sdk/src/numbers/number_text.h"

namespace tarvo {

namespace {

constexpr json::Member<WithdrawRequest> kMembers[] = {
    {"position_id", json::read_text<&WithdrawRequest::position_id, U64AsString>},
    {"amount", json::read_text<&WithdrawRequest::amount, U64AsString>},
    {"eth_address", json::read_text<&WithdrawRequest::eth_address, PackedPublicKeyText>},
    {"asset_id", json::read_text<&WithdrawRequest::asset_id, U256AsHexString>},
};

constexpr json::RecordLayout<WithdrawRequest> kLayout{"WithdrawRequest", kMembers,
                                                      json::flattened<&WithdrawRequest::base>()};

}  // namespace

Result<WithdrawRequest> WithdrawRequest::from_json(std::string_view text) {
  return json::parse_record(text, kLayout);
}

}  // namespace tarvo
