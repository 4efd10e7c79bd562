#include "core/project_name.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>

namespace {

std::string nested(size_t depth, const std::string& inner = "") {
  return std::string(depth, '[') + inner + std::string(depth, ']');
}

// A valid package.json of exactly `size` bytes named "big".
std::string paddedPackage(size_t size) {
  std::string head = R"({"name":"big","pad":")";
  std::string tail = "\"}";
  return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

TEST(ProjectName, ReadsTopLevelNameOrFallsBackToTheDirectory) {
  struct Case {
    const char* label;
    std::optional<std::string> packageJson;  // absent: no file
    std::string expected;                    // "" with fallback = true means the directory's name
    bool fallback;
  };
  const Case cases[] = {
      {"name", R"({"name": "shop", "version": "1.0.0"})", "shop", false},
      {"empty name", R"({"name": ""})", "", false},
      {"escaped name", R"({"name": "caf\u00e9 \/ x"})", "caf\xc3\xa9 / x", false},
      {"name beside deep nesting", R"({"deep":)" + nested(100000) + R"(,"name":"deep"})", "deep", false},
      {"no file", std::nullopt, "", true},
      {"number name", R"({"name": 5})", "", true},
      {"object name", R"({"name": {"name": "inner"}})", "", true},
      {"nested name only", R"({"workspace": {"name": "inner"}})", "", true},
      {"array", R"(["name", "shop"])", "", true},
      {"truncated", R"({"name": "shop")", "", true},
      {"deep nesting", nested(100000), "", true},
      {"deep objects", [] {
         std::string s;
         for (int i = 0; i < 100000; ++i) s += R"({"a":)";
         return s + "1" + std::string(100000, '}');
       }(), "", true},
      {"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\xff\xfe{\"name\":\"x\"}", 24), "", true},
      {"exactly 1 MiB", paddedPackage(1 << 20), "big", false},
      {"one byte over 1 MiB", paddedPackage((1 << 20) + 1), "", true},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string project = dir.path() + "/my project";
    std::filesystem::create_directory(project);
    if (c.packageJson) dir.write("my project/package.json", *c.packageJson);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(PortCore::projectName(project), c.fallback ? "my project" : c.expected) << c.label;
    // Generous: a loaded machine, a sanitizer build. Unbounded work would take far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << c.label;
  }
}

TEST(ProjectName, TrailingSlashAndOddFiles) {
  TempDir dir;
  dir.write("shop/package.json", R"({"name": "shop-app"})");
  EXPECT_EQ(PortCore::projectName(dir.path() + "/shop/"), "shop-app");

  // Nobody writes to this FIFO: reading it must not block the scan.
  std::filesystem::create_directory(dir.path() + "/fifo");
  ASSERT_EQ(::mkfifo((dir.path() + "/fifo/package.json").c_str(), 0600), 0);
  EXPECT_EQ(PortCore::projectName(dir.path() + "/fifo"), "fifo");
}

}  // namespace
