// Feeds the same bytes to every parser of text from outside, and checks what
// must hold whatever the bytes: the lossy text is valid UTF-8, chains stay
// within 20 names, entries come sorted and unique, what a strings table keeps
// is valid UTF-8, formats read nothing past their arguments, and the JSON form
// of an entry decodes to the same entry.
#include "core/records/port_entry.h"
#include "core/scan/lsof_parse.h"
#include "core/scan/processes.h"
#include "core/scan/scan.h"
#include "core/stats/proc_stat.h"
#include "core/stats/stats.h"
#include "core/system/text.h"
#include "integrations/docker.h"
#include "integrations/strings_table.h"
#include "integrations/text_format.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_set>

namespace {

void check(bool condition) { if (!condition) __builtin_trap(); }

bool isUtf8(const std::string& text) { return PortCore::decodeUtf8Lossy(text) == text; }

void checkEntries(const std::vector<PortEntry>& entries) {
  std::unordered_set<std::string> ids;
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    check(ids.insert(e.id()).second && e.parentChain.size() <= 20 && !e.cwd && !e.project);
    check(!e.parentChain.empty() || e.rootPid == e.pid);
    check(i == 0 || entries[i - 1].port < e.port || (entries[i - 1].port == e.port && entries[i - 1].pid < e.pid));
  }
  check(decodePortEntries(encodeJson(entries)) == entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string text = PortCore::decodeUtf8Lossy(bytes);
  check(isUtf8(text));

  auto table = PortCore::parseProcessTable(text);
  for (const auto& [pid, row] : table) {
    auto ancestry = PortCore::ancestry(pid, table);
    check(ancestry.chain.size() <= 20 && (!ancestry.chain.empty() || ancestry.root == pid));
  }
  checkEntries(PortCore::parseLsof(text, table));
  checkEntries(PortCore::joinScan(PortCore::parseLsofSockets(text)));
  // The raw bytes as well: a parser must not rely on the runner's decoding,
  // and whatever bytes a name holds, the printed list stays readable JSON.
  for (std::string_view input : {std::string_view(text), bytes}) {
    PortCore::cwdMap(input);
    PortCore::parsePortNumbers(input);
    PortCore::parsePsStats(input);
    PortCore::parseProcCounters(input);
    Docker::parseContainerPorts(input);
  }
  check(decodePortEntries(encodeJson(PortCore::parseLsof(bytes, PortCore::parseProcessTable(bytes)))).has_value());
  if (auto entries = decodePortEntries(bytes)) check(decodePortEntries(encodeJson(*entries)) == *entries);
  decodePortEntry(bytes);

  for (const auto& [key, value] : L10n::parseStringsTable(bytes)) check(isUtf8(key) && isUtf8(value));
  using Args = std::vector<FormatArg>;
  for (const Args& args : {Args{}, Args{std::string("x")}, Args{std::string("x"), int64_t{-7}}})
    (void)L10n::formatText(bytes, args);
  return 0;
}
