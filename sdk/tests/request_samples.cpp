#include "sdk/tests/request_samples.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "sdk/src/json/reader.h"

namespace tarvo::testing {

namespace {

// Of each call in a golden file (an array of objects), its function's name and its first argument, read
// with the request reader's own pull reader; a file it cannot read fails the test.
std::vector<std::pair<std::string, std::string>> golden_calls(const std::string& content) {
  json::Reader reader(content);
  std::vector<std::pair<std::string, std::string>> calls;
  const auto open = [&reader](char bracket) {
    if (reader.parse_whitespace() != bracket) throw std::runtime_error(std::string("expected ") + bracket);
    reader.eat();
  };
  open('[');
  for (bool first_call = true; reader.has_next_element(first_call).value();) {
    open('{');
    std::pair<std::string, std::string>& call = calls.emplace_back();
    for (bool first_member = true; reader.has_next_key(first_member).value();) {
      const std::string key = reader.read_key().value();
      reader.parse_object_colon().value();
      if (key == "function") {
        call.first = reader.read_string("a function name").value();
      } else if (key == "args") {
        open('[');
        bool first_argument = true;
        for (size_t index = 0; reader.has_next_element(first_argument).value(); ++index) {
          json::Value argument = reader.read_any().value();
          if (index == 0) call.second = std::move(argument.text);
        }
        reader.end_seq().value();
      } else {
        reader.read_any().value();
      }
    }
    reader.end_map();
  }
  reader.end_seq().value();
  return calls;
}

}  // namespace

std::vector<RequestSample> shared_vector_requests() {
  static const std::map<std::string, std::string> kRecordOfKind = {
      {"withdraw", "WithdrawRequest"},
      {"transfer", "Transfer"},
      {"limit_order", "LimitOrderRequest"},
      {"liquidate", "Liquidate"},
      {"signed_oracle_price", "SignedOraclePrice"},
  };
  std::vector<RequestSample> samples;
  for (const char* file : {"hashes.json", "signatures.json"}) {
    const std::string path = std::string(TARVO_GOLDEN_DIR) + "/" + file;
    std::ifstream stream(path);
    std::stringstream content;
    content << stream.rdbuf();
    if (!stream) throw std::runtime_error("cannot read " + path);
    for (const auto& [function, text] : golden_calls(content.str())) {
      const auto separator = function.find('_');
      const auto record = kRecordOfKind.find(function.substr(separator + 1));
      if (record == kRecordOfKind.end()) continue;
      samples.push_back({record->second, text, ""});
    }
  }
  std::ifstream members(std::string(TARVO_TEST_DATA_DIR) + "/request_members.txt");
  for (RequestSample& sample : samples) {
    if (!std::getline(members, sample.members)) throw std::runtime_error("fewer member lines than requests");
  }
  if (std::string line; std::getline(members, line))
    throw std::runtime_error("more member lines than requests");
  return samples;
}

}  // namespace tarvo::testing
