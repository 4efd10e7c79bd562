#include "core/system/text.h"

#include <gtest/gtest.h>

TEST(Text, DecodeUtf8LossyKeepsValidTextAndReplacesEachBadByte) {
  const std::string r = "\xef\xbf\xbd";  // U+FFFD, one per bad byte
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {std::string("nul\0kept", 8), std::string("nul\0kept", 8)},
      {"\xc3\xaf \xe2\x82\xac \xf0\x9f\x9a\x80", "\xc3\xaf \xe2\x82\xac \xf0\x9f\x9a\x80"},
      // U+0800 and U+10000: the lowest of their lengths
      {"\xe0\xa0\x80 \xf0\x90\x80\x80", "\xe0\xa0\x80 \xf0\x90\x80\x80"},
      {"a\xff" "b", "a" + r + "b"}, {"\xc0\xaf", r + r} /* overlong "/" */, {"\xed\xa0\x80", r + r + r} /* surrogate */,
      {"\xf4\x90\x80\x80", r + r + r + r}, {"end\xe2\x82", "end" + r + r}, {"\x80", r},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(PortCore::decodeUtf8Lossy(bytes), text);
}
