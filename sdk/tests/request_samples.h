// The requests of the shared cross-check vectors (the hash and signing calls of
// tests/data/golden/hashes.json, then of signatures.json, in file order), each with the member values its
// record must hold. The values, one request a line in sdk/tests/data/request_members.txt, are written as
// "member=value;..." (integers in decimal, 256-bit values as 0x and 64 digits, a nested record in braces);
// they were derived from the request texts independently of this project, by Python's json and int parsers.
#pragma once

#include <string>
#include <vector>

namespace tarvo::testing {

struct RequestSample {
  std::string record;  // the record the calling function reads
  std::string text;
  std::string members;
};

std::vector<RequestSample> shared_vector_requests();

}  // namespace tarvo::testing
