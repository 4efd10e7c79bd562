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
  const std::pair<std::string, std::string> cases[] = {
      {"node", "node"},
      {"caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x9a\x80",  // é, 日本, an emoji
       "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x9a\x80"},
      {"\x1b[31mEVIL\x1b]0;title\x07", "\\x1b[31mEVIL\\x1b]0;title\\x07"},
      {"a\\x1b", "a\\\\x1b"},  // a name spelling an escape cannot pass for one
      {"\xc2\x9b" "31m\xc2\x80", "\\u009b31m\\u0080"},
      {"\xe2\x80\xaa\xe2\x80\xae" "exe\xe2\x81\xa6\xe2\x81\xa9\xe2\x80\xa8\xe2\x80\xa9",
       "\\u202a\\u202eexe\\u2066\\u2069\\u2028\\u2029"},
      // Neighbours of those ranges: U+00A0, U+2027, U+202F, U+2065, U+206A.
      {"\xc2\xa0\xe2\x80\xa7\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa",
       "\xc2\xa0\xe2\x80\xa7\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa"},
      // Not UTF-8: stray bytes, an overlong "/", a surrogate, past U+10FFFF, a cut sequence.
      {"\xff\x80", "\\xff\\x80"},
      {"\xc0\xaf", "\\xc0\\xaf"},
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
      {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
      {"end\xe2\x82", "end\\xe2\\x82"},
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
  const std::string alphabet = "\x00\x09\x1b\x41\x5c\x7f\x80\x81\x8f\x90\x9b\x9f\xa0\xa6\xa8\xaa\xae\xbf"
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
