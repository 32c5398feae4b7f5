#include "sdk/src/transaction/limit_order.h"

#include "sdk/src/json/record_reader.h"
#include "sdk/src/numbers/number_text.h"

namespace tarvo {

namespace {

constexpr json::Member<LimitOrderRequest> kMembers[] = {
    {"amount_synthetic", json::read_text<&LimitOrderRequest::amount_synthetic, U64AsString>},
    {"amount_collateral", json::read_text<&LimitOrderRequest::amount_collateral, U64AsString>},
    {"amount_fee", json::read_text<&LimitOrderRequest::amount_fee, U64AsString>},
    {"asset_id_synthetic", json::read_text<&LimitOrderRequest::asset_id_synthetic, I128AsHexString>},
    {"asset_id_collateral", json::read_text<&LimitOrderRequest::asset_id_collateral, U256AsHexString>},
    {"position_id", json::read_text<&LimitOrderRequest::position_id, U64AsString>},
    {"is_buying_synthetic", json::read_boolean<&LimitOrderRequest::is_buying_synthetic>},
};

constexpr json::RecordLayout<LimitOrderRequest> kLayout{"LimitOrderRequest", kMembers,
                                                        json::flattened<&LimitOrderRequest::base>()};

}  // namespace

Result<LimitOrderRequest> LimitOrderRequest::read_json(json::Reader& reader) {
  return json::read_record(reader, kLayout);
}

Result<LimitOrderRequest> LimitOrderRequest::from_json(std::string_view text) {
  return json::parse_record(text, kLayout);
}

}  // namespace tarvo
