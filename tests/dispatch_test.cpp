#include "app/dispatch.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  std::vector<std::string> args;  // argument 0 included
  std::string option;             // "" when the application starts or on an error
  ModeValue value;
  std::string error = {};         // the usage error's line
};

std::string describe(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& arg : args) text += "[" + arg + "] ";
  return text;
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
      {{tw, "--docker", "--kill", "3000"}, "--kill", int64_t{3000}},
      {{tw, "--kill", "+3000"}, "--kill", int64_t{3000}},
      // An unusable value: the dispatch goes on, and with no mode applying it is an error.
      {{tw, "--kill"}, "", {}, "--kill needs a port number"},
      {{tw, "--kill", "abc"}, "", {}, "--kill needs a port number, got \"abc\""},
      {{tw, "--kill", ""}, "", {}, "--kill needs a port number, got \"\""},
      {{tw, "--kill", "a\"\n\\b"}, "", {}, "--kill needs a port number, got \"a\\\"\\x0a\\\\b\""},
      {{tw, "--kill", "abc", "--docker"}, "--docker", {}},
      {{tw, "--kill", "abc", "--kill", "3000"}, "", {}, "--kill needs a port number, got \"abc\""},
      {{tw, "stray", "--restart", "x", "--probe"}, "", {}, "--restart needs a port number, got \"x\""},
      {{tw, "--probe", "--restart"}, "", {}, "--probe needs a port number, got \"--restart\""},
      // Not ours: the desktop may pass arguments of its own.
      {{tw, "--kill=3000"}, "", {}},
      {{tw, "--KILL", "3000"}, "", {}},
      {{tw, "--kill", "x", "--kill-tree", "3000"}, "--kill-tree", int64_t{3000}},
      {{tw, "--kill-tree", "3000", "--kill", "4000"}, "--kill", int64_t{4000}},
      {{tw, "--t", "menu_quit"}, "--t", S("menu_quit")},
      {{tw, "--t", ""}, "--t", S("")},
      {{tw, "--t", "--list"}, "--list", {}},
      {{tw, "--t", "--docker"}, "--t", S("--docker")},
      {{tw, "--t"}, "", {}, "--t needs an argument"},
      {{tw, "--docker", "--t"}, "--docker", {}},
      {{tw, "--t", "k", "--kill-tree", "1"}, "--kill-tree", int64_t{1}},
      {{tw, "--restart", "8080", "--t", "k"}, "--t", S("k")},
      {{tw, "--restart", "8080", "--docker"}, "--restart", int64_t{8080}},
      {{tw, "--probe", "80", "--docker"}, "--docker", {}},
      {{tw, "--probe", "80"}, "--probe", int64_t{80}},
      {{tw, "--probe", "eighty"}, "", {}, "--probe needs a port number, got \"eighty\""},
      // --help and --version only when no mode applies.
      {{tw, "--help"}, "--help", {}},
      {{tw, "--version"}, "--version", {}},
      {{tw, "--list", "--help"}, "--list", {}},
      {{tw, "--version", "--help"}, "--help", {}},
      {{tw, "--help", "--kill", "3000"}, "--kill", int64_t{3000}},
      {{tw, "--kill", "x", "--version"}, "--version", {}},
      // Argument 0 is part of the vector that is examined.
      {{"--list"}, "--list", {}},
  };
  for (const auto& c : cases) {
    Choice choice = selectMode(c.args, commandLineModes());
    if (!c.error.empty()) {
      auto* error = std::get_if<UsageError>(&choice);
      ASSERT_TRUE(error) << describe(c.args);
      EXPECT_EQ(error->message, c.error) << describe(c.args);
    } else if (c.option.empty()) {
      EXPECT_TRUE(std::holds_alternative<StartApplication>(choice)) << describe(c.args);
    } else {
      auto* selection = std::get_if<Selection>(&choice);
      ASSERT_TRUE(selection) << describe(c.args);
      EXPECT_EQ(selection->mode->option, c.option) << describe(c.args);
      EXPECT_EQ(selection->value, c.value) << describe(c.args);
    }
  }
}

// A script's empty variable: with a display at hand the tray application would
// start and never return; it must fail at once, saying why.
TEST(Dispatch, UnusableValueFailsBeforeTheApplicationStarts) {
  // The shell reports the status; if the application started, the reads time
  // out and the process group is ended with the handle.
  auto process = TestProcess::start(
      {"/bin/sh", "-c", "\"$0\" --kill \"\" 2>&1 >/dev/null; echo \"status $?\"", tarnwickPath()},
      {.workingDirectory = {}, .extraEnv = {"DISPLAY=:0", "QT_QPA_PLATFORM=offscreen"}});
  auto lines = process.readUntil("status 2", std::chrono::seconds(10));
  ASSERT_TRUE(lines) << "still running, or another status";
  EXPECT_EQ(*lines, (std::vector<std::string>{"tarnwick: --kill needs a port number, got \"\"", "status 2"}));
}

}  // namespace
