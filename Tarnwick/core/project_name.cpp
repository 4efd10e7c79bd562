#include "core/project_name.h"

#include "core/number.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace PortCore {

namespace {

// A project file is small; a larger one is not worth parsing on every refresh.
constexpr std::streamsize maxPackageJson = 1 << 20;

std::optional<std::string> readSmallFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes(static_cast<size_t>(maxPackageJson) + 1, '\0');
  file.read(bytes.data(), maxPackageJson + 1);
  if (file.bad() || file.gcount() > maxPackageJson) return std::nullopt;
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

// Only the top-level "name" matters; everything nested below depth 1 is
// skipped, which also keeps a hostile, deeply nested file from costing memory.
std::optional<std::string> topLevelName(const std::string& text) {
  using Json = nlohmann::json;
  std::optional<std::string> name;
  bool parsed = false;
  try {
    Json::parser_callback_t keepTopLevel = [](int depth, Json::parse_event_t event, Json& value) {
      if (event == Json::parse_event_t::key) return depth == 1;
      if (event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start)
        return depth <= 0;
      (void)value;
      return true;
    };
    Json root = Json::parse(text, keepTopLevel, /*allow_exceptions=*/true);
    parsed = true;
    if (root.is_object()) {
      auto it = root.find("name");
      if (it != root.end() && it->is_string()) name = it->get<std::string>();
    }
  } catch (const Json::exception&) {
    parsed = false;
  }
  return parsed ? name : std::nullopt;
}

}  // namespace

std::string projectName(std::string_view cwd) {
  std::string path(cwd);
  path += "/package.json";
  if (auto text = readSmallFile(path))
    if (auto name = topLevelName(*text)) return *name;
  return std::string(lastPathComponent(cwd));
}

}  // namespace PortCore
