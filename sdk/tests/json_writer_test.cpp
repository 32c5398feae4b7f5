#include <gtest/gtest.h>

#include <string>

#include "sdk/src/json/writer.h"

namespace tarvo::json {
namespace {

// Every byte that is escaped, one of each kind that is not, and the compact layout.
TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharactersOnly) {
  const std::string controls("\x00\x01\x1f\b\t\n\f\r", 8);
  EXPECT_EQ(compact_object({}), "{}");
  EXPECT_EQ(compact_object({{"", ""}}), R"({"":""})");
  EXPECT_EQ(compact_object({{"r", "0x12ab"}, {"s", "7"}}), R"({"r":"0x12ab","s":"7"})");
  EXPECT_EQ(compact_object({{"a\"b", "c\\d"}}), R"({"a\"b":"c\\d"})");
  EXPECT_EQ(compact_object({{"k", controls}}), R"({"k":"\u0000\u0001\u001F\b\t\n\f\r"})");
  EXPECT_EQ(compact_object({{"k", "/ \x7f \xc3\xa9 \xff"}}), "{\"k\":\"/ \x7f \xc3\xa9 \xff\"}");
}

}  // namespace
}  // namespace tarvo::json
