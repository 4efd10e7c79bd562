#include "integrations/strings_table.h"

#include "support/property.h"

#include <clocale>
#include <cstdlib>
#include <cwchar>

using L10n::parseStringsTable;
using L10n::StringsTable;

TEST(StringsTable, ParsesEntriesEscapesAndComments) {
  const std::tuple<const char*, std::string, StringsTable> cases[] = {
      {"spacing and line breaks between tokens", "  \"a\"\n=\n\t\"b\"\r\n;", {{"a", "b"}}},
      {"block and line comments", "/* x */ \"a\" /* y */ = // z\n \"b\"; // tail\n/* \"c\" = \"d\"; */",
       {{"a", "b"}}},
      {"escapes", R"("k" = "say \"hi\" \\ \n\t\r";)", {{"k", "say \"hi\" \\ \n\t\r"}}},
      {"byte-order mark", "\xEF\xBB\xBF\"a\" = \"b\";", {{"a", "b"}}},
      {"empty key and empty text", R"("" = ""; "k" = "";)", {{"", ""}, {"k", ""}}},
      {"later entry wins", "\"a\" = \"1\";\n\"a\" = \"2\";", {{"a", "2"}}},
      {"invalid UTF-8 replaced", "\"k\" = \"a\xFF" "b\";", {{"k", "a\xEF\xBF\xBD" "b"}}},
      {"unterminated block comment ends the table", "\"a\" = \"b\"; /* \"c\" = \"d\";", {{"a", "b"}}},
  };
  for (const auto& [name, source, expected] : cases) EXPECT_EQ(parseStringsTable(source), expected) << name;
}

TEST(StringsTable, SkipsMalformedLinesAndKeepsTheRest) {
  const std::pair<const char*, const char*> malformed[] = {
      {"missing semicolon", R"("bad" = "x")"},
      {"missing equals", R"("bad" "x";)"},
      {"unquoted key", R"(bad = "x";)"},
      {"unterminated text", R"("bad" = "x;)"},
      {"unknown escape", R"("bad" = "\q";)"},
      {"short unicode escape", R"("bad" = "\U12";)"},
      {"backslash at the very end", "\"bad\" = \"\\"},
  };
  for (auto [name, line] : malformed)
    EXPECT_EQ(parseStringsTable(std::string("\"before\" = \"1\";\n") + line + "\n\"after\" = \"2\";\n"),
              (StringsTable{{"before", "1"}, {"after", "2"}})) << name;
}

// A \U escape against strtoul and glibc's encoder: four hex digits of either
// case naming a UTF-16 code unit, a high surrogate only with its low half in
// the next escape; NUL and lone halves are refused.
TEST(StringsTable, UnicodeEscapesNameUtf16CodeUnits) {
  const auto anyUnit = rc::gen::container<std::string>(4, rc::gen::elementOf(std::string("0123456789abcdefABCDEFgG")));
  const auto nearSurrogate = rc::gen::apply(
      [](int code, bool upper) {
        char text[8];
        std::snprintf(text, sizeof text, upper ? "%04X" : "%04x", code);
        return std::string(text);
      },
      rc::gen::inRange(0xD700, 0xE100), rc::gen::arbitrary<bool>());
  const auto encoded = [](char32_t code) {
    locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    locale_t before = ::uselocale(utf8);
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    const size_t length = std::wcrtomb(bytes, static_cast<wchar_t>(code), &state);
    ::uselocale(before);
    ::freelocale(utf8);
    return std::string(bytes, length);
  };
  const auto value = [](const std::string& hex) -> std::optional<char32_t> {
    char* end = nullptr;
    const auto number = std::strtoul(hex.c_str(), &end, 16);
    return *end == '\0' ? std::optional(static_cast<char32_t>(number)) : std::nullopt;
  };
  const auto high = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto low = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  checkProperty([&] {
    const std::string hex1 = *rc::gen::oneOf(anyUnit, nearSurrogate), hex2 = *rc::gen::oneOf(anyUnit, nearSurrogate);
    const auto first = value(hex1), second = value(hex2);
    std::optional<std::string> expected;
    if (first && high(*first) && second && low(*second))
      expected = encoded(0x10000 + ((*first - 0xD800) << 10) + (*second - 0xDC00));
    const auto alone = [&](std::optional<char32_t> unit) { return unit && *unit != 0 && !high(*unit) && !low(*unit); };
    if (alone(first) && alone(second)) expected = encoded(*first) + encoded(*second);
    const auto table = parseStringsTable("\"k\" = \"\\U" + hex1 + "\\u" + hex2 + "\";");
    RC_ASSERT(table == (expected ? StringsTable{{"k", *expected}} : StringsTable{}));
  }, 2000);
}
