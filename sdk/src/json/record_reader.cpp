#include "sdk/src/json/record_reader.h"

namespace tarvo::json {

std::string missing_field(std::string_view key) { return "missing field `" + std::string(key) + "`"; }

std::string duplicate_field(std::string_view key) { return "duplicate field `" + std::string(key) + "`"; }

Status read_header(std::span<const KeptEntry> kept, OrderBase& header) {
  const auto members = OrderBase::json_members();
  std::vector<bool> seen(members.size());
  for (const KeptEntry& entry : kept) {
    if (seen[entry.member]) return Error(duplicate_field(members[entry.member].key));
    ValueSource source(entry.value);
    TARVO_TRY(members[entry.member].read(source, header));
    seen[entry.member] = true;
  }
  for (size_t i = 0; i < members.size(); ++i) {
    if (!seen[i]) return Error(missing_field(members[i].key));
  }
  return ok_status();
}

}  // namespace tarvo::json
