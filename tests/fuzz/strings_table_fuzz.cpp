// Any bytes as a strings table: the parser must end, and whatever it keeps
// must be valid UTF-8 that formats without reading past its arguments.
#include "core/system/text.h"
#include "integrations/strings_table.h"
#include "integrations/text_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto table = L10n::parseStringsTable(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const auto& [key, text] : table) {
    if (PortCore::decodeUtf8Lossy(key) != key || PortCore::decodeUtf8Lossy(text) != text) std::abort();
    (void)L10n::formatText(text, {std::string("a"), int64_t{1}});
  }
  return 0;
}
