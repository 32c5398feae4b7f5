#include "sdk/src/transaction/liquidate.h"

#include "sdk/src/json/record_reader.h"
#include "sdk/src/numbers/number_text.h"

namespace tarvo {

namespace {

constexpr json::Member<Liquidate> kMembers[] = {
    {"liquidator_order", json::read_nested<&Liquidate::liquidator_order>},
    {"liquidated_position_id", json::read_text<&Liquidate::liquidated_position_id, U64AsString>},
    {"actual_collateral", json::read_text<&Liquidate::actual_collateral, U64AsString>},
    {"actual_synthetic", json::read_text<&Liquidate::actual_synthetic, U64AsString>},
    {"actual_liquidator_fee", json::read_text<&Liquidate::actual_liquidator_fee, U64AsString>},
};

constexpr json::RecordLayout<Liquidate, json::Forms::object_or_array> kLayout{"Liquidate", kMembers,
                                                                              std::nullopt};

}  // namespace

Result<Liquidate> Liquidate::from_json(std::string_view text) { return json::parse_record(text, kLayout); }

}  // namespace tarvo
