#include "integrations/port_labels.h"

#include "core/system/text.h"
#include "integrations/panel_settings.h"
#include "integrations/preferences.h"

#include <nlohmann/json.hpp>

namespace PortLabels {

namespace {

std::optional<LabelMap> decode(const std::string& text) {
  auto json = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) return std::nullopt;
  LabelMap labels;
  for (const auto& [name, value] : json.items()) {
    if (!value.is_string()) return std::nullopt;
    labels[name] = value.get<std::string>();
  }
  return labels;
}

std::optional<std::string> encode(const LabelMap& labels) {
  // A label that is not valid UTF-8 cannot become JSON; storing nothing keeps
  // the previous, valid object.
  try {
    return nlohmann::json(labels).dump();
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
}

}  // namespace

LabelMap all(const Preferences& preferences) {
  auto stored = preferences.text(SettingKey::kPortLabels);
  if (!stored) return {};
  return decode(*stored).value_or(LabelMap{});
}

void set(Preferences& preferences, const std::optional<std::string>& label, int64_t port) {
  LabelMap labels = all(preferences);
  std::string key = std::to_string(port);
  std::string_view trimmed = label ? PortCore::trim(*label, " \t") : std::string_view{};
  if (trimmed.empty()) {
    labels.erase(key);
  } else {
    labels[key] = std::string(trimmed);
  }
  if (auto text = encode(labels)) preferences.setText(SettingKey::kPortLabels, *text);
}

}  // namespace PortLabels
