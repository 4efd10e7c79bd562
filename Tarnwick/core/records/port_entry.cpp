#include "core/records/port_entry.h"

#include "core/system/text.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <limits>

std::string PortEntry::id() const { return std::to_string(pid) + ":" + std::to_string(port); }

std::string PortEntry::url() const { return "http://localhost:" + std::to_string(port); }

bool PortEntry::isExposed() const {
  return address == "*" || address == "0.0.0.0" || address == "[::]";
}

const std::unordered_set<std::string>& PortEntry::systemCommands() {
  static const std::unordered_set<std::string> names = {
      "ControlCenter", "AirPlayXPCHelper", "sharingd",   "rapportd",          "remoted",
      "mDNSResponder", "launchd",          "bluetoothd", "coreaudiod",        "WindowServer",
      "identityservicesd", "apsd",         "searchpartyd"};
  return names;
}

bool PortEntry::isSystem() const {
  return systemCommands().contains(command) || user == "root" || user.starts_with('_');
}

namespace {

void appendJsonString(std::string& out, std::string_view raw) {
  // A path or name with a byte that is not UTF-8 is written with U+FFFD in its
  // place: the line stays valid JSON instead of costing the whole list.
  std::string text = PortCore::decodeUtf8Lossy(raw);
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '/': out += "\\/"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

void appendMember(std::string& out, std::string_view key) {
  if (out.back() != '{') out += ',';
  appendJsonString(out, key);
  out += ':';
}

void appendEntry(std::string& out, const PortEntry& e) {
  out += '{';
  appendMember(out, "port");
  out += std::to_string(e.port);
  appendMember(out, "address");
  appendJsonString(out, e.address);
  appendMember(out, "pid");
  out += std::to_string(e.pid);
  appendMember(out, "command");
  appendJsonString(out, e.command);
  appendMember(out, "user");
  appendJsonString(out, e.user);
  appendMember(out, "parentChain");
  out += '[';
  for (size_t i = 0; i < e.parentChain.size(); ++i) {
    if (i) out += ',';
    appendJsonString(out, e.parentChain[i]);
  }
  out += ']';
  appendMember(out, "rootPid");
  out += std::to_string(e.rootPid);
  if (e.cwd) {
    appendMember(out, "cwd");
    appendJsonString(out, *e.cwd);
  }
  if (e.project) {
    appendMember(out, "project");
    appendJsonString(out, *e.project);
  }
  out += '}';
}

using Json = nlohmann::json;

bool fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

bool readInteger(const Json& object, const char* key, int64_t min, int64_t max, int64_t& out,
                 std::string* error) {
  auto it = object.find(key);
  if (it == object.end()) return fail(error, std::string("missing key \"") + key + "\"");
  if (it->is_number_unsigned()) {
    auto value = it->get<uint64_t>();
    if (value > static_cast<uint64_t>(max))
      return fail(error, std::string("\"") + key + "\" is out of range");
    out = static_cast<int64_t>(value);
    return true;
  }
  if (!it->is_number_integer()) return fail(error, std::string("\"") + key + "\" is not an integer");
  auto value = it->get<int64_t>();
  if (value < min || value > max) return fail(error, std::string("\"") + key + "\" is out of range");
  out = value;
  return true;
}

bool readString(const Json& object, const char* key, std::string& out, std::string* error) {
  auto it = object.find(key);
  if (it == object.end()) return fail(error, std::string("missing key \"") + key + "\"");
  if (!it->is_string()) return fail(error, std::string("\"") + key + "\" is not a string");
  out = it->get<std::string>();
  return true;
}

bool readOptionalString(const Json& object, const char* key, std::optional<std::string>& out,
                        std::string* error) {
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return true;
  if (!it->is_string()) return fail(error, std::string("\"") + key + "\" is not a string");
  out = it->get<std::string>();
  return true;
}

std::optional<PortEntry> decodeObject(const Json& object, std::string* error) {
  if (!object.is_object()) {
    fail(error, "not a JSON object");
    return std::nullopt;
  }
  constexpr int64_t int32Min = std::numeric_limits<int32_t>::min();
  constexpr int64_t int32Max = std::numeric_limits<int32_t>::max();
  PortEntry e;
  int64_t pid = 0, rootPid = 0;
  bool ok = readInteger(object, "port", std::numeric_limits<int64_t>::min(),
                        std::numeric_limits<int64_t>::max(), e.port, error) &&
            readString(object, "address", e.address, error) &&
            readInteger(object, "pid", int32Min, int32Max, pid, error) &&
            readString(object, "command", e.command, error) &&
            readString(object, "user", e.user, error);
  if (!ok) return std::nullopt;
  auto chain = object.find("parentChain");
  if (chain == object.end() || !chain->is_array()) {
    fail(error, "\"parentChain\" is missing or not an array");
    return std::nullopt;
  }
  for (const auto& name : *chain) {
    if (!name.is_string()) {
      fail(error, "\"parentChain\" holds a value that is not a string");
      return std::nullopt;
    }
    e.parentChain.push_back(name.get<std::string>());
  }
  if (!readInteger(object, "rootPid", int32Min, int32Max, rootPid, error) ||
      !readOptionalString(object, "cwd", e.cwd, error) ||
      !readOptionalString(object, "project", e.project, error))
    return std::nullopt;
  e.pid = static_cast<int32_t>(pid);
  e.rootPid = static_cast<int32_t>(rootPid);
  return e;
}

std::optional<Json> parseJson(std::string_view text, std::string* error) {
  auto parsed = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) {
    fail(error, "not valid JSON");
    return std::nullopt;
  }
  return parsed;
}

}  // namespace

std::string encodeJson(const PortEntry& entry) {
  std::string out;
  appendEntry(out, entry);
  return out;
}

std::string encodeJson(const std::vector<PortEntry>& entries) {
  std::string out = "[";
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i) out += ',';
    appendEntry(out, entries[i]);
  }
  out += ']';
  return out;
}

std::optional<PortEntry> decodePortEntry(std::string_view json, std::string* error) {
  auto parsed = parseJson(json, error);
  if (!parsed) return std::nullopt;
  return decodeObject(*parsed, error);
}

std::optional<std::vector<PortEntry>> decodePortEntries(std::string_view json, std::string* error) {
  auto parsed = parseJson(json, error);
  if (!parsed) return std::nullopt;
  if (!parsed->is_array()) {
    fail(error, "not a JSON array");
    return std::nullopt;
  }
  std::vector<PortEntry> entries;
  for (const auto& object : *parsed) {
    auto entry = decodeObject(object, error);
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
  }
  return entries;
}
