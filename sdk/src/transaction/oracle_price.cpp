#include "sdk/src/transaction/oracle_price.h"

#include "sdk/src/json/record_reader.h"
#include "sdk/src/numbers/number_text.h"

namespace tarvo {

namespace {

constexpr json::Member<SignedOraclePrice> kMembers[] = {
    {"signer_key", json::read_text<&SignedOraclePrice::signer_key, PackedPublicKeyText>},
    {"external_price", json::read_text<&SignedOraclePrice::external_price, U128AsString>},
    {"timestamp", json::read_text<&SignedOraclePrice::timestamp, U32AsString>},
    {"signed_asset_id", json::read_text<&SignedOraclePrice::signed_asset_id, U256AsHexString>},
};

constexpr json::RecordLayout<SignedOraclePrice, json::Forms::object_or_array> kLayout{"SignedOraclePrice",
                                                                                      kMembers, std::nullopt};

}  // namespace

Result<SignedOraclePrice> SignedOraclePrice::from_json(std::string_view text) {
  return json::parse_record(text, kLayout);
}

}  // namespace tarvo
