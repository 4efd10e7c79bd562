#include "integrations/strings_table.h"

#include <gtest/gtest.h>

using L10n::parseStringsTable;
using L10n::StringsTable;

TEST(StringsTable, ParsesEntriesEscapesAndComments) {
  const std::tuple<const char*, std::string, StringsTable> cases[] = {
      {"plain", R"("quit" = "Quit";)", {{"quit", "Quit"}}},
      {"spacing and line breaks between tokens", "  \"a\"\n=\n\t\"b\"\r\n;", {{"a", "b"}}},
      {"block and line comments", "/* x */ \"a\" /* y */ = // z\n \"b\"; // tail\n/* \"c\" = \"d\"; */",
       {{"a", "b"}}},
      {"escapes", R"("k" = "say \"hi\" \\ \n\t\r";)", {{"k", "say \"hi\" \\ \n\t\r"}}},
      {"unicode escapes", R"("k" = "\U00e7\u0131 \U20AC \UD83D\UDE00";)", {{"k", "çı € \xF0\x9F\x98\x80"}}},
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
      {"missing semicolon", R"("bad" = "x")"},       {"missing equals", R"("bad" "x";)"},
      {"unquoted key", R"(bad = "x";)"},            {"unterminated text", R"("bad" = "x;)"},
      {"unknown escape", R"("bad" = "\q";)"},       {"short unicode escape", R"("bad" = "\U12";)"},
      {"escaped NUL", R"("bad" = "\U0000";)"},      {"lone high surrogate", R"("bad" = "\UD83D";)"},
      {"high surrogate with a non-surrogate", R"("bad" = "\UD83D\U0041";)"},
      {"backslash at the very end", "\"bad\" = \"\\"},
  };
  for (auto [name, line] : malformed)
    EXPECT_EQ(parseStringsTable(std::string("\"before\" = \"1\";\n") + line + "\n\"after\" = \"2\";\n"),
              (StringsTable{{"before", "1"}, {"after", "2"}})) << name;
}
