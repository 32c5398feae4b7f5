#include "sdk/tests/request_samples.h"

#include <rapidjson/document.h>

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tarvo::testing {

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
    rapidjson::Document vectors;
    vectors.Parse(content.str().c_str());
    if (!stream || vectors.HasParseError() || !vectors.IsArray())
      throw std::runtime_error("cannot read " + path);
    for (const auto& vector : vectors.GetArray()) {
      const std::string function = vector["function"].GetString();
      const auto separator = function.find('_');
      const auto record = kRecordOfKind.find(function.substr(separator + 1));
      if (record == kRecordOfKind.end()) continue;
      const auto& text = vector["args"][0];
      samples.push_back({record->second, std::string(text.GetString(), text.GetStringLength()), ""});
    }
  }
  std::ifstream members(std::string(TARVO_TEST_DATA_DIR) + "/request_members.txt");
  for (RequestSample& sample : samples) {
    if (!std::getline(members, sample.members)) throw std::runtime_error("fewer member lines than requests");
  }
  return samples;
}

}  // namespace tarvo::testing
