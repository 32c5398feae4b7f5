// The harness shared by the request readers: one record type, its reader and the core hash operation
// that parses the same text.
#pragma once

#include <string>
#include <string_view>

#include "crypto/base/result.h"
#include "fuzz/invariants.h"

namespace tarvo::fuzz {

inline constexpr std::string_view kNegativeAssetError =
    "Unsigned integer can't be created from negative value";

// Checks, for one input text:
//   - a refused text gives a well-formed error positioned inside the text, the same error when read
//     again, and the hash operation fails with exactly that error;
//   - an accepted text reads to the same record again and with blanks around it, and hashes to "0x" and
//     64 lowercase digits, unless the record's synthetic asset is negative (`negative_asset`), whose
//     layout error is the one error without a position.
template <class R, class Hash, class NegativeAsset>
void check_request(std::string_view text, Hash hash, NegativeAsset negative_asset) {
  const Result<R> first = R::from_json(text);
  const Result<std::string> hashed = hash(text);
  if (!first) {
    const std::string& message = first.error().message();
    check_located_error(message, text);
    const Result<R> again = R::from_json(text);
    require(!again && again.error().message() == message, "a refused text reads differently the second time",
            message);
    require(!hashed && hashed.error().message() == message, "the hash operation's error is not the reader's",
            message);
    return;
  }
  const Result<R> again = R::from_json(text);
  require(again && *again == *first, "an accepted text reads to a different record the second time");
  const std::string padded = " \n\t" + std::string(text) + "\r\n ";
  const Result<R> spaced = R::from_json(padded);
  require(spaced && *spaced == *first, "blanks around an accepted text change its record");
  if (negative_asset(*first)) {
    require(!hashed && hashed.error().message() == kNegativeAssetError,
            "a negative synthetic asset is not refused by its hash layout");
    return;
  }
  require(hashed.ok(), "an accepted record fails to hash", hashed ? "" : hashed.error().message());
  const std::string& hex = *hashed;
  require(hex.size() == 66 && hex.starts_with("0x") &&
              hex.find_first_not_of("0123456789abcdef", 2) == std::string::npos,
          "hash text is not 0x and 64 lowercase digits", hex);
}

}  // namespace tarvo::fuzz
