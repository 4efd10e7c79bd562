#include "core/system/text.h"

#include <gtest/gtest.h>

TEST(Text, DecodeUtf8LossyKeepsValidTextAndReplacesEachBadByte) {
  // One replacement character per bad byte.
  auto bad = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "\xef\xbf\xbd";
    return text;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {std::string("nul\0kept", 8), std::string("nul\0kept", 8)},
      {"\xc3\xaf \xe2\x82\xac \xf0\x9f\x9a\x80", "\xc3\xaf \xe2\x82\xac \xf0\x9f\x9a\x80"},
      // U+0800 and U+10000: the lowest of their lengths
      {"\xe0\xa0\x80 \xf0\x90\x80\x80", "\xe0\xa0\x80 \xf0\x90\x80\x80"},
      {"a\xff" "b", "a" + bad(1) + "b"}, {"\xc0\xaf", bad(2)} /* overlong "/" */,
      {"\xed\xa0\x80", bad(3)} /* surrogate */,
      {"\xf4\x90\x80\x80", bad(4)}, {"end\xe2\x82", "end" + bad(2)}, {"\x80", bad(1)},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(PortCore::decodeUtf8Lossy(bytes), text);
}
