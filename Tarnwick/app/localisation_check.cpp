#include "app/modes.h"
#include "integrations/l10n.h"

#include <cstdio>
#include <string>

namespace {

// The key's text in one language, read from that language's table alone, so
// that a key it lacks shows as "MISSING" rather than as itself.
std::string checkLanguage(const L10n::Catalog& catalog, const std::string& code, const std::string& key) {
  auto table = catalog.table(code);
  if (!table) return "NO BUNDLE";
  auto found = table->find(key);
  return found == table->end() ? "MISSING" : found->second;
}

}  // namespace

int runLocalisationCheck(const ModeValue& value) {
  const auto* key = std::get_if<std::string>(&value);
  if (!key) return 0;
  const L10n::Catalog catalog(L10n::resources());
  for (const std::string code : {"en", "tr"}) {
    std::string line = code + ": " + checkLanguage(catalog, code, *key) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}
