#include "app/dispatch.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  std::vector<std::string> args;  // argument 0 included
  std::string option;             // "" when the application starts or on an error
  ModeValue value;
  std::string error = {};         // the usage error's line
};

TEST(Dispatch, ChoosesTheFirstApplicableOption) {
  using S = std::string;
  const std::string tw = "tarnwick";
  const Case cases[] = {
      {{tw}, "", {}},
      {{"--list"}, "--list", {}},  // argument 0 is part of the vector that is examined
      {{tw, "--kill", "1", "--list"}, "--list", {}},
      {{tw, "--kill", "3000"}, "--kill", int64_t{3000}},
      // An unusable value: the dispatch goes on, and with no mode applying it is an error.
      {{tw, "--kill"}, "", {}, "--kill needs a port number"},
      {{tw, "--kill", ""}, "", {}, "--kill needs a port number, got \"\""},  // a script's empty variable
      {{tw, "--kill", "a\"\n\\b\x7f\xe2\x80\xae\xff"}, "", {},
       "--kill needs a port number, got \"a\\\"\\x0a\\\\b\\x7f\\u202e\\xff\""},
      {{tw, "--kill", "abc", "--kill", "3000"}, "", {}, "--kill needs a port number, got \"abc\""},
      {{tw, "--probe", "--restart"}, "", {}, "--probe needs a port number, got \"--restart\""},
      {{tw, "--t", "--docker"}, "--t", S("--docker")},
      {{tw, "--t"}, "", {}, "--t needs an argument"},
      // --help and --version only when no mode applies.
      {{tw, "--help", "--kill", "3000"}, "--kill", int64_t{3000}},
      {{tw, "--kill", "x", "--version"}, "--version", {}},
  };
  for (const auto& c : cases) {
    Choice choice = selectMode(c.args, commandLineModes());
    const auto describe = ::testing::PrintToString(c.args);
    auto* error = std::get_if<UsageError>(&choice);
    auto* selection = std::get_if<Selection>(&choice);
    EXPECT_EQ(error ? error->message : "", c.error) << describe;
    EXPECT_EQ(std::holds_alternative<StartApplication>(choice), c.option.empty() && c.error.empty()) << describe;
    EXPECT_EQ(selection ? std::string(selection->mode->option) : "", c.option) << describe;
    EXPECT_EQ(selection ? selection->value : ModeValue{}, c.value) << describe;
  }
}

}  // namespace
