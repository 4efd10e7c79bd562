#include "app/dispatch.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case {
  std::vector<std::string> args;  // argument 0 included
  std::string option;             // "" when the application starts
  ModeValue value;
};

std::string describe(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& arg : args) text += "[" + arg + "] ";
  return text;
}

TEST(Dispatch, ModesInOrder) {
  std::vector<std::string> options;
  for (const auto& mode : commandLineModes()) options.push_back(mode.option);
  EXPECT_EQ(options, (std::vector<std::string>{"--list", "--kill", "--kill-tree", "--t", "--restart",
                                               "--docker", "--probe"}));
}

TEST(Dispatch, ChoosesTheFirstApplicableOption) {
  using S = std::string;
  const std::string tw = "tarnwick";
  const Case cases[] = {
      {{tw}, "", {}},
      {{tw, "stray", "words"}, "", {}},
      {{tw, "--list"}, "--list", {}},
      {{tw, "--kill", "1", "--list"}, "--list", {}},
      {{tw, "--probe", "3000", "x", "--list"}, "--list", {}},
      {{tw, "--kill", "3000"}, "--kill", int64_t{3000}},
      {{tw, "--kill", "3000", "--docker"}, "--kill", int64_t{3000}},
      {{tw, "--docker", "--kill", "3000"}, "--kill", int64_t{3000}},
      {{tw, "--kill", "+3000"}, "--kill", int64_t{3000}},
      {{tw, "--kill", "-5"}, "--kill", int64_t{-5}},
      {{tw, "--kill", "9223372036854775807"}, "--kill", std::numeric_limits<int64_t>::max()},
      // An unusable value: the dispatch goes on as if the option were absent.
      {{tw, "--kill"}, "", {}},
      {{tw, "--kill", "abc"}, "", {}},
      {{tw, "--kill", ""}, "", {}},
      {{tw, "--kill", "abc", "--docker"}, "--docker", {}},
      {{tw, "--kill", "abc", "--kill", "3000"}, "", {}},
      {{tw, "--kill=3000"}, "", {}},
      {{tw, "--KILL", "3000"}, "", {}},
      {{tw, "-kill", "3000"}, "", {}},
      {{tw, "--kill", "x", "--kill-tree", "3000"}, "--kill-tree", int64_t{3000}},
      {{tw, "--kill-tree", "3000", "--kill", "4000"}, "--kill", int64_t{4000}},
      {{tw, "--t", "menu_quit"}, "--t", S("menu_quit")},
      {{tw, "--t", ""}, "--t", S("")},
      {{tw, "--t", "--list"}, "--list", {}},
      {{tw, "--t", "--docker"}, "--t", S("--docker")},
      {{tw, "--t"}, "", {}},
      {{tw, "--docker", "--t"}, "--docker", {}},
      {{tw, "--t", "k", "--kill-tree", "1"}, "--kill-tree", int64_t{1}},
      {{tw, "--restart", "8080", "--t", "k"}, "--t", S("k")},
      {{tw, "--restart", "8080", "--docker"}, "--restart", int64_t{8080}},
      {{tw, "--restart", "x", "--docker"}, "--docker", {}},
      {{tw, "--probe", "80", "--docker"}, "--docker", {}},
      {{tw, "--probe", "80"}, "--probe", int64_t{80}},
      {{tw, "--probe", "eighty"}, "", {}},
      // Argument 0 is part of the vector that is examined.
      {{"--list"}, "--list", {}},
  };
  for (const auto& c : cases) {
    auto selection = selectMode(c.args, commandLineModes());
    if (c.option.empty()) {
      EXPECT_FALSE(selection) << describe(c.args) << "chose " << selection->mode->option;
      continue;
    }
    ASSERT_TRUE(selection) << describe(c.args);
    EXPECT_EQ(selection->mode->option, c.option) << describe(c.args);
    EXPECT_EQ(selection->value, c.value) << describe(c.args);
  }
}

}  // namespace
