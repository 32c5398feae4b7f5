#include "sdk/src/transaction/transfer.h"

#include "sdk/src/json/record_reader.h"
#include "sdk/src/numbers/number_text.h"

namespace tarvo {

namespace {

constexpr json::Member<Transfer> kMembers[] = {
    {"sender_position_id", json::read_text<&Transfer::sender_position_id, U64AsString>},
    {"receiver_public_key", json::read_text<&Transfer::receiver_public_key, PackedPublicKeyText>},
    {"receiver_position_id", json::read_text<&Transfer::receiver_position_id, U64AsString>},
    {"amount", json::read_text<&Transfer::amount, U64AsString>},
    {"asset_id", json::read_text<&Transfer::asset_id, U256AsHexString>},
};

constexpr json::RecordLayout<Transfer> kLayout{"Transfer", kMembers, json::flattened<&Transfer::base>()};

}  // namespace

Result<Transfer> Transfer::from_json(std::string_view text) { return json::parse_record(text, kLayout); }

}  // namespace tarvo
