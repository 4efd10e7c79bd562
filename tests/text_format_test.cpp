#include "integrations/text_format.h"

#include <gtest/gtest.h>

using L10n::formatText;

TEST(TextFormat, SubstitutesTextsAndIntegersAndDropsWhatDoesNotFit) {
  // A format, its arguments, and what it renders.
  const std::tuple<const char*, std::vector<FormatArg>, const char*> cases[] = {
      {"%i %ld %lld %qd %zd %hd", {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{4}, int64_t{5}, int64_t{6}},
       "1 2 3 4 5 6"},
      {"%u", {int64_t{-1}}, "18446744073709551615"},
      {"%@ is %@", {std::string("a"), int64_t{7}}, "a is 7"},
      {"100%% %%d", {int64_t{1}}, "100% %d"},
      {"%2$@ ← %1$@", {std::string("node"), std::string("Terminal")}, "Terminal ← node"},
      {"%2$d then %@", {int64_t{1}, int64_t{2}}, "2 then 1"},
      {"%@", {std::string("%d %@ %n %s")}, "%d %@ %n %s"},
      // Placeholders that do not fit render empty.
      {"[%@] [%@]", {std::string("a")}, "[a] []"},
      {"[%d]", {std::string("text")}, "[]"},
      {"[%n][%x][%f][%c][%p]", {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{4}, int64_t{5}}, "[][][][][]"},
      {"[%5d] [%-s] [%.2s] [%*d] [%05d]", {int64_t{1}, std::string("a"), std::string("b"), int64_t{2}, int64_t{3}},
       "[] [] [] [] []"},
      {"[%0$@]", {std::string("a")}, "[]"},
      {"[%99999999999999999999999$@]", {std::string("a")}, "[]"},
      {"end %", {int64_t{1}}, "end "},
      {"end %1$", {int64_t{1}}, "end "},
      {"[%\xF0\x9F\x98\x80] ok", {std::string("a")}, "[] ok"},
      {"[%\xE2]", {}, "[]"},
      {"[%\xC0\x80]", {}, "[]"},
  };
  for (const auto& [format, args, expected] : cases) EXPECT_EQ(formatText(format, args), expected) << format;
  // The format ends inside a longer text: nothing past its end is read.
  EXPECT_EQ(formatText(std::string_view("[%ll]", 3), {int64_t{1}}), "[");
}
