#include "core/scan/project_name.h"

#include "core/system/number.h"

#include <nlohmann/json.hpp>

#include <optional>

namespace PortCore {

namespace {

// Only the top-level "name" matters; everything nested below the top level is
// dropped while parsing, so a deeply nested file costs memory in proportion to
// its depth and builds no tree.
std::optional<std::string> topLevelName(const std::string& text) {
  using Json = nlohmann::json;
  Json::parser_callback_t keepTopLevel = [](int depth, Json::parse_event_t event, Json&) {
    if (event == Json::parse_event_t::key) return depth == 1;
    if (event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start)
      return depth == 0;
    return true;
  };
  Json root = Json::parse(text, keepTopLevel, /*allow_exceptions=*/false);
  if (!root.is_object()) return std::nullopt;
  auto name = root.find("name");
  if (name == root.end() || !name->is_string()) return std::nullopt;
  return name->get<std::string>();
}

}  // namespace

std::string packageJsonPath(std::string_view cwd) { return std::string(cwd) + "/package.json"; }

std::string projectName(std::string_view cwd, const std::optional<std::string>& packageJson) {
  if (packageJson)
    if (auto name = topLevelName(*packageJson)) return *name;
  return std::string(lastPathComponent(cwd));
}

std::string projectName(std::string_view cwd, const SmallFileReader& read) {
  return projectName(cwd, read(packageJsonPath(cwd)));
}

}  // namespace PortCore
