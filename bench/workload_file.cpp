#include "bench/workload_file.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sdk/src/numbers/u256.h"
#include "sdk/src/signing/convert.h"
#include "sdk/src/signing/sign.h"

namespace tarvo::bench {

namespace {

[[noreturn]] void die(const std::string& text) {
  std::fprintf(stderr, "benchmark workload: %s\n", text.c_str());
  std::exit(2);
}

// Collects the pools of {"calls": {function: [[argument, ...], ...]}, ...} as the reader streams the
// file (rapidjson's SAX interface: its document model does not compile with every compiler the bench is
// built with). Members beside "calls" must be scalars and are ignored.
class PoolsHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, PoolsHandler> {
 public:
  using Pools = std::map<std::string, std::vector<Arguments>, std::less<>>;

  explicit PoolsHandler(Pools& pools) : pools_(pools) {}

  bool StartObject() { return depth_ == 0 || (depth_ == 1 && key_ == "calls") ? open() : misplaced(); }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    key_.assign(text, length);
    if (depth_ == 2) pool_ = &pools_[key_];
    return true;
  }
  bool EndObject(rapidjson::SizeType) {
    calls_found_ = calls_found_ || depth_ == 2;
    --depth_;
    return true;
  }
  bool StartArray() {
    if (depth_ == 3) pool_->emplace_back();
    return depth_ == 2 || depth_ == 3 ? open() : misplaced();
  }
  bool EndArray(rapidjson::SizeType) {
    --depth_;
    return true;
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    if (depth_ != 4) return Default();
    pool_->back().emplace_back(text, length);
    return true;
  }
  // Any other scalar.
  bool Default() { return depth_ == 1 || misplaced(); }

  bool calls_found() const { return calls_found_; }
  const std::string& problem() const { return problem_; }

 private:
  bool open() {
    ++depth_;
    return true;
  }
  bool misplaced() {
    static constexpr const char* kExpected[] = {
        "the workload must be an object", "only \"calls\" may hold containers",
        "the pool of a function must be an array", "an argument list must be an array",
        "arguments must be strings"};
    problem_ = kExpected[depth_];
    return false;
  }

  Pools& pools_;
  std::vector<Arguments>* pool_ = nullptr;
  std::string key_;
  std::string problem_;
  int depth_ = 0;  // containers open: 1 the document, 2 "calls", 3 a pool, 4 an argument list
  bool calls_found_ = false;
};

}  // namespace

Workload Workload::load(const std::string& path) {
  std::ifstream file(path);
  if (!file) die("cannot read " + path);
  std::stringstream text;
  text << file.rdbuf();
  const std::string json = text.str();
  Workload workload;
  PoolsHandler handler(workload.pools_);
  rapidjson::Reader reader;
  rapidjson::StringStream stream(json.c_str());
  const rapidjson::ParseResult parsed = reader.Parse(stream, handler);
  if (!handler.problem().empty()) die(path + ": " + handler.problem());
  if (parsed.IsError()) die(path + ": " + rapidjson::GetParseError_En(parsed.Code()));
  if (!handler.calls_found()) die(path + ": no \"calls\" object");
  for (const auto& [function, pool] : workload.pools_) {
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
