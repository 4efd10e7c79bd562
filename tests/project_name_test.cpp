#include "core/scan/project_name.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

// `depth` arrays, one inside the other.
std::string nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

// A valid package.json of exactly `size` bytes named "big".
std::string paddedPackage(size_t size) {
  const std::string head = R"({"name":"big","pad":")", tail = "\"}";
  return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

TEST(ProjectName, ReadsTopLevelNameOrFallsBackToTheDirectory) {
  // What package.json holds (absent: no file), and the name (absent: the directory's).
  const std::tuple<const char*, std::optional<std::string>, std::optional<std::string>> cases[] = {
      {"name", R"({"name": "shop", "version": "1.0.0"})", "shop"},
      {"empty name", R"({"name": ""})", ""},
      {"escaped name", R"({"name": "caf\u00e9 \/ x"})", "caf\xc3\xa9 / x"},
      {"name beside deep nesting", R"({"deep":)" + nested(100000) + R"(,"name":"deep"})", "deep"},
      {"no file", std::nullopt, std::nullopt},
      {"number name", R"({"name": 5})", std::nullopt},
      {"object name", R"({"name": {"name": "inner"}})", std::nullopt},
      {"array", R"(["name", "shop"])", std::nullopt},
      {"nested name only", R"({"workspace": {"name": "inner"}})", std::nullopt},
      {"truncated", R"({"name": "shop")", std::nullopt},
      {"deep nesting", nested(100000), std::nullopt},
      {"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\xff\xfe{\"name\":\"x\"}", 24), std::nullopt},
      {"exactly 1 MiB", paddedPackage(1 << 20), "big"},
      {"one byte over 1 MiB", paddedPackage((1 << 20) + 1), std::nullopt},
  };
  for (const auto& [label, packageJson, expected] : cases) {
    TempDir dir;
    std::string project = dir.path() + "/my project";
    std::filesystem::create_directory(project);
    if (packageJson) dir.write("my project/package.json", *packageJson);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(PortCore::projectName(project), expected.value_or("my project")) << label;
    // Generous: a loaded machine, a sanitizer build. Unbounded work would take far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << label;
  }
}

}  // namespace
