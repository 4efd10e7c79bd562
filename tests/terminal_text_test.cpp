#include "core/system/terminal_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <cwctype>
#include <locale.h>

namespace {

using PortCore::terminalText;
using namespace std::string_literals;

TEST(TerminalText, HostileNamesComeOutAsVisibleEscapes) {
  // Which code points are escaped is walked below; these and the ASCII loop pin how they are written.
  const std::pair<std::string, std::string> cases[] = {
      {"\xc2\x9b" "31m\xc2\x80", "\\u009b31m\\u0080"},
      // Not UTF-8: a cut sequence and stray bytes, each byte on its own.
      {"end\xe2\x82\xff\x80", "end\\xe2\\x82\\xff\\x80"},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(terminalText(name), shown) << shown;
  for (int byte = 0; byte < 0x80; ++byte) {
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    const std::string one(1, static_cast<char>(byte));
    const bool control = byte < 0x20 || byte == 0x7f;
    EXPECT_EQ(terminalText(one), control ? escape : byte == '\\' ? "\\\\" : one) << byte;
  }
}

// Every string of up to four bytes from an alphabet of leads, continuations and
// controls, decoded by glibc: what comes out holds nothing glibc calls a
// control or cannot decode, and what glibc reads as clean text is kept (glibc
// decodes past U+10FFFF, where UTF-8 ends, so that is not clean).
TEST(TerminalText, AgreesWithTheCLibraryOnWhatIsText) {
  locale_t utf8 = ::newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
  if (!utf8) GTEST_SKIP() << "no C.UTF-8 locale";
  locale_t previous = ::uselocale(utf8);
  auto clean = [](const std::string& text, bool backslashAllowed) {
    std::mbstate_t state{};
    for (size_t at = 0, n; at < text.size(); at += n) {
      wchar_t c;
      n = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
      // U+0000 (n == 0) is a control too.
      if (n > 4 || c > 0x10FFFF || std::iswcntrl(static_cast<wint_t>(c)) || (c >= 0x202A && c <= 0x202E) ||
          (c >= 0x2066 && c <= 0x2069) || (c == L'\\' && !backslashAllowed))
        return false;
    }
    return true;
  };
  // The bytes around every range escaped: U+2027 to U+202F, U+2065 to U+206A.
  const std::string alphabet = "\x00\x09\x1b\x41\x5c\x7f\x80\x81\x8f\x90\x9b\x9f\xa0\xa5\xa6\xa7\xa8\xa9\xaa\xae"
                               "\xaf\xbf"
                               "\xc0\xc1\xc2\xdf\xe0\xe2\xed\xef\xf0\xf4\xf5\xff"s;
  std::string name;
  std::function<void()> walk = [&] {
    const std::string shown = terminalText(name);
    ASSERT_TRUE(clean(shown, true)) << shown;
    if (clean(name, false)) {
      ASSERT_EQ(shown, name);
    }
    if (name.size() == 4) return;
    for (char byte : alphabet) {
      name.push_back(byte);
      walk();
      name.pop_back();
    }
  };
  walk();
  ::uselocale(previous);
  ::freelocale(utf8);
}

}  // namespace
