#include "bench/workload_file.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sdk/src/tx/convert.h"
#include "sdk/src/tx/sign.h"
#include "sdk/src/u256.h"

namespace tarvo::bench {

namespace {

[[noreturn]] void die(const std::string& text) {
  std::fprintf(stderr, "benchmark workload: %s\n", text.c_str());
  std::exit(2);
}

}  // namespace

Workload Workload::load(const std::string& path) {
  std::ifstream file(path);
  if (!file) die("cannot read " + path);
  std::stringstream text;
  text << file.rdbuf();
  rapidjson::Document document;
  document.Parse(text.str().c_str());
  if (document.HasParseError()) die(path + ": " + rapidjson::GetParseError_En(document.GetParseError()));
  if (!document.IsObject() || !document.HasMember("calls") || !document["calls"].IsObject()) {
    die(path + ": no \"calls\" object");
  }
  Workload workload;
  for (const auto& function : document["calls"].GetObject()) {
    std::vector<Arguments>& pool = workload.pools_[function.name.GetString()];
    if (!function.value.IsArray()) die(path + ": the pool of a function must be an array");
    for (const auto& call : function.value.GetArray()) {
      if (!call.IsArray()) die(path + ": an argument list must be an array");
      Arguments& arguments = pool.emplace_back();
      for (const auto& argument : call.GetArray()) {
        if (!argument.IsString()) die(path + ": arguments must be strings");
        arguments.emplace_back(argument.GetString(), argument.GetStringLength());
      }
    }
    if (pool.empty() || (workload.pool_size_ != 0 && pool.size() != workload.pool_size_)) {
      die(path + ": every pool must hold the same, nonzero number of calls");
    }
    workload.pool_size_ = pool.size();
  }
  if (workload.pools_.empty()) die(path + ": no pools");
  return workload;
}

const std::vector<Arguments>& Workload::pool(std::string_view function) const {
  const auto found = pools_.find(function);
  if (found == pools_.end()) die("no pool for " + std::string(function));
  return found->second;
}

eddsa::PrivateKey parse_private_key(std::string_view text) {
  Result<eddsa::PrivateKey> key = private_key_from_string(text);
  if (!key) die("bad private key: " + key.error().message());
  return std::move(key).value();
}

std::array<uint8_t, 32> parse_message(std::string_view text) {
  const Result<U256> value = U256::from_hex(text);
  if (!value) die("bad message: " + value.error().message());
  return message_bytes(*value);
}

std::string workload_path(int argc, char** argv) {
  constexpr std::string_view kFlag = "--workload=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with(kFlag)) return std::string(argument.substr(kFlag.size()));
  }
  die("missing --workload=PATH (written by bench/workload.py)");
}

}  // namespace tarvo::bench
