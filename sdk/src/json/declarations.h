// The record reader's types that the request records name in their declarations (their member tables
// and layouts), without the reader itself.
#pragma once

namespace tarvo::json {

template <class R>
struct Member;
template <class R>
struct RecordLayout;

}  // namespace tarvo::json
