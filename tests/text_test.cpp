#include "core/system/text.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kReplacement = "\xef\xbf\xbd";

TEST(Text, DecodeUtf8LossyKeepsValidTextAndReplacesEachBadByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {std::string("nul\0kept", 8), std::string("nul\0kept", 8)},
      {"\xc3\xaf \xe2\x82\xac \xf0\x9f\x9a\x80", "\xc3\xaf \xe2\x82\xac \xf0\x9f\x9a\x80"},
      {"\xe0\xa0\x80 \xf0\x90\x80\x80", "\xe0\xa0\x80 \xf0\x90\x80\x80"},  // U+0800, U+10000: the lowest of their lengths
      {"a\xff" "b", std::string("a") + kReplacement + "b"},
      {"\xc0\xaf", std::string(kReplacement) + kReplacement},          // overlong "/"
      {"\xed\xa0\x80", std::string(kReplacement) + kReplacement + kReplacement},  // surrogate
      {"\xf4\x90\x80\x80", std::string(kReplacement) + kReplacement + kReplacement + kReplacement},
      {"end\xe2\x82", std::string("end") + kReplacement + kReplacement},
      {"\x80", kReplacement},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(PortCore::decodeUtf8Lossy(bytes), text);
}

}  // namespace
