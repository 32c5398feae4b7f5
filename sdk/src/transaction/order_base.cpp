#include "sdk/src/transaction/order_base.h"

#include "sdk/src/json/member.h"
#include "sdk/src/numbers/number_text.h"

namespace tarvo {

namespace {

constexpr json::Member<OrderBase> kMembers[] = {
    {"nonce", json::read_text<&OrderBase::nonce, U64AsString>},
    {"public_key", json::read_text<&OrderBase::public_key, PackedPublicKeyText>},
    {"expiration_timestamp", json::read_text<&OrderBase::expiration_timestamp, U32AsString>},
};

}  // namespace

std::span<const json::Member<OrderBase>> OrderBase::json_members() { return kMembers; }

}  // namespace tarvo
