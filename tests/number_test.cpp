#include "core/number.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct NumberCase {
  const char* text;
  std::optional<int64_t> value64;
  std::optional<int32_t> value32;
};

TEST(NumberRule, ParsesOnlySignedDecimalWithinRange) {
  const NumberCase cases[] = {
      {"3000", 3000, 3000},
      {"+42", 42, 42},
      {"-7", -7, -7},
      {"0", 0, 0},
      {"", std::nullopt, std::nullopt},
      {"+", std::nullopt, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"+-1", std::nullopt, std::nullopt},
      {" 1", std::nullopt, std::nullopt},
      {"1 ", std::nullopt, std::nullopt},
      {"12a", std::nullopt, std::nullopt},
      {"0x10", std::nullopt, std::nullopt},
      {"1_000", std::nullopt, std::nullopt},
      {"2147483647", 2147483647, 2147483647},
      {"2147483648", 2147483648, std::nullopt},
      {"-2147483648", -2147483648LL, std::numeric_limits<int32_t>::min()},
      {"9223372036854775807", std::numeric_limits<int64_t>::max(), std::nullopt},
      {"-9223372036854775808", std::numeric_limits<int64_t>::min(), std::nullopt},
      {"9223372036854775808", std::nullopt, std::nullopt},
      {"99999999999999999999", std::nullopt, std::nullopt},
      {"\xd9\xa3", std::nullopt, std::nullopt},  // ARABIC-INDIC DIGIT THREE
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortCore::parseInt64(c.text), c.value64) << '"' << c.text << '"';
    EXPECT_EQ(PortCore::parseInt32(c.text), c.value32) << '"' << c.text << '"';
  }
}

TEST(NumberRule, LastPathComponent) {
  const std::pair<const char*, const char*> cases[] = {
      {"/usr/bin/node", "node"}, {"node", "node"}, {"/srv/app/", "app"},
      {"/", ""},                 {"", ""},          {"/Applications/Visual Studio Code.app", "Visual Studio Code.app"},
  };
  for (auto [path, last] : cases) EXPECT_EQ(PortCore::lastPathComponent(path), last) << path;
}

}  // namespace
