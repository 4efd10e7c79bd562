#pragma once
// One TCP socket in LISTEN with its owning process and what the scan learned
// about it. A plain value compared field by field.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct PortEntry {
  int64_t port = 0;
  std::string address;  ///< "127.0.0.1", "*", "[::1]": as lsof writes it
  int32_t pid = 0;
  std::string command;
  std::string user;
  std::vector<std::string> parentChain;  ///< parent first, at most 20 names
  int32_t rootPid = 0;                   ///< last ancestor of the chain, or pid
  std::optional<std::string> cwd;        ///< absent when unknown or "/"
  std::optional<std::string> project;    ///< present exactly when cwd is

  /// "PID:PORT", the row identity in the panel.
  std::string id() const;
  /// "http://localhost:PORT", whatever the address.
  std::string url() const;
  /// Bound to every interface: "*", "0.0.0.0" or "[::]".
  bool isExposed() const;
  /// Owned by root or a service account ("_" prefix), or a known system daemon:
  /// stopping it always asks first.
  bool isSystem() const;

  /// The system daemons recognised by name, matched exactly.
  static const std::unordered_set<std::string>& systemCommands();

  bool operator==(const PortEntry&) const = default;
};

/// The compact JSON object of one entry: keys in field order, "/" written as
/// "\/", cwd and project left out when absent. Always valid UTF-8: a byte
/// sequence that is not UTF-8 is written as U+FFFD.
std::string encodeJson(const PortEntry& entry);
/// A compact JSON array of the entries, in order.
std::string encodeJson(const std::vector<PortEntry>& entries);

/// An entry decoded from one JSON object; absent, with `error` set, when a
/// required key is missing or of the wrong type or pid/rootPid leave 32 bits.
std::optional<PortEntry> decodePortEntry(std::string_view json, std::string* error = nullptr);
/// A list decoded from a JSON array of such objects; absent when any fails.
std::optional<std::vector<PortEntry>> decodePortEntries(std::string_view json,
                                                        std::string* error = nullptr);
