// Feeds the same bytes to every parser of tool output and to the JSON decoder,
// and checks what must hold whatever the bytes: the lossy text is valid UTF-8,
// chains stay within 20 names, entries come sorted and unique, and the JSON
// form of an entry decodes to the same entry (or, for names that are not
// UTF-8, at least decodes).
#include "core/records/port_entry.h"
#include "core/scan/lsof_parse.h"
#include "core/scan/process_table.h"
#include "core/scan/scan.h"
#include "core/system/text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_set>

namespace {

void check(bool condition) {
  if (!condition) __builtin_trap();
}

void checkEntries(const std::vector<PortEntry>& entries) {
  std::unordered_set<std::string> ids;
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    check(ids.insert(e.id()).second);
    check(e.parentChain.size() <= 20);
    check(!e.parentChain.empty() || e.rootPid == e.pid);
    check(!e.cwd && !e.project);
    if (i > 0) {
      const auto& before = entries[i - 1];
      check(before.port < e.port || (before.port == e.port && before.pid < e.pid));
    }
  }
  auto decoded = decodePortEntries(encodeJson(entries));
  check(decoded.has_value() && *decoded == entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::string text = PortCore::decodeUtf8Lossy(bytes);
  check(PortCore::decodeUtf8Lossy(text) == text);

  auto table = PortCore::parseProcessTable(text);
  for (const auto& [pid, row] : table) {
    auto ancestry = PortCore::ancestry(pid, table);
    check(ancestry.chain.size() <= 20);
    check(!ancestry.chain.empty() || ancestry.root == pid);
  }

  checkEntries(PortCore::parseLsof(text, table));
  checkEntries(PortCore::joinScan(PortCore::parseLsofSockets(text)));
  PortCore::cwdMap(text);
  PortCore::parsePortNumbers(text);

  // The raw bytes as well: a parser must not rely on the runner's decoding.
  PortCore::parseProcessTable(bytes);
  // Whatever bytes a name holds, the printed list stays readable JSON.
  check(decodePortEntries(encodeJson(PortCore::parseLsof(bytes, table))).has_value());
  PortCore::cwdMap(bytes);
  PortCore::parsePortNumbers(bytes);

  if (auto entries = decodePortEntries(bytes)) {
    auto again = decodePortEntries(encodeJson(*entries));
    check(again.has_value() && *again == *entries);
  }
  decodePortEntry(bytes);
  return 0;
}
