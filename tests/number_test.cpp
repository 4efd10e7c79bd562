#include "core/system/number.h"

#include <gtest/gtest.h>

#include <limits>

// Signed: an optional sign, then digits; unsigned: digits only. Either within its range.
TEST(NumberRule, IntegersAreDecimalDigitsWithinRange) {
  // The text, then its value as 64 bits unsigned, as 64 and as 32 bits signed.
  constexpr auto none = std::nullopt;
  using Limits64 = std::numeric_limits<int64_t>;
  // The last is ARABIC-INDIC DIGIT THREE.
  const std::tuple<const char*, std::optional<uint64_t>, std::optional<int64_t>, std::optional<int32_t>> cases[] = {
      {"3000", 3000, 3000, 3000},
      {"+42", none, 42, 42},
      {"-7", none, -7, -7},
      {"", none, none, none},
      {"+", none, none, none},
      {"+-1", none, none, none},
      {" 1", none, none, none},
      {"12a", none, none, none},
      {"2147483647", 2147483647, 2147483647, 2147483647},
      {"2147483648", 2147483648, 2147483648, none},
      {"-2147483648", none, -2147483648LL, std::numeric_limits<int32_t>::min()},
      {"9223372036854775807", Limits64::max(), Limits64::max(), none},
      {"-9223372036854775808", none, Limits64::min(), none},
      {"9223372036854775808", 9223372036854775808u, none, none},
      {"18446744073709551615", std::numeric_limits<uint64_t>::max(), none, none},
      {"18446744073709551616", none, none, none},
      {"\xd9\xa3", none, none, none},
  };
  for (const auto& [text, unsigned64, value64, value32] : cases) {
    EXPECT_EQ(PortCore::parseUint64(text), unsigned64) << '"' << text << '"';
    EXPECT_EQ(PortCore::parseInt64(text), value64) << '"' << text << '"';
    EXPECT_EQ(PortCore::parseInt32(text), value32) << '"' << text << '"';
  }
}

// The point, never the locale's comma: the application sets the user's locale.
TEST(NumberRule, DecimalsInEveryFormPsProcAndPeopleWrite) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"12.5", 12.5},
      {"-0.0", 0.0},
      {"+3", 3},
      {".5", 0.5},
      {"5.", 5},
      {"1e3", 1000},
      {"2.5E-1", 0.25},
      {"", std::nullopt},
      {".", std::nullopt},
      {"-", std::nullopt},
      {"1,5", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"0x10", std::nullopt},
      {"inf", std::nullopt},
      {"nan", std::nullopt},
      {"1e", std::nullopt},
      {"1e999", std::nullopt},
      {"\xd9\xa3", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(PortCore::parseDecimal(text), value) << text;
}
