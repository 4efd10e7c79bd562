#pragma once
// Localised texts, looked up by key in the resource bundle's strings tables.
#include "integrations/strings_table.h"
#include "integrations/text_format.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace L10n {

/// The strings tables of one resource bundle, each read and parsed on first
/// use and then kept for the catalog's life. Safe to use from any thread.
class Catalog {
 public:
  explicit Catalog(std::filesystem::path bundle) : bundle_(std::move(bundle)) {}

  const std::filesystem::path& bundle() const { return bundle_; }

  /// The table of language `code` (<code>.lproj/Localizable.strings); null
  /// when the bundle has no <code>.lproj directory or `code` is no plain
  /// name. A directory without a readable table gives an empty table.
  std::shared_ptr<const StringsTable> table(const std::string& code) const;

 private:
  std::filesystem::path bundle_;
  mutable std::mutex mutex_;
  mutable std::map<std::string, std::shared_ptr<const StringsTable>> tables_;
};

/// The resource bundle, located on first use and kept for the life of the
/// process. When it is nowhere, says so on standard error and ends the
/// process with status 1: without it there is no text to show.
const std::filesystem::path& resources();

/// The catalog of resources(), made on first use.
const Catalog& catalog();

/// What a lookup depends on.
struct LookupSources {
  const Catalog* catalog;
  std::optional<std::string> appLanguage;   ///< "system", "en", "tr"; absent: "system"
  std::vector<std::string> systemLanguages;  ///< best first
};

/// The language the simple forms below use ("system", "en", "tr"; absent:
/// "system"). The tray's context sets it from the store's "appLanguage"
/// whenever the store changes; the command line leaves it absent.
void setAppLanguage(std::optional<std::string> language);

/// The text of `key` in the chosen language ("appLanguage": "system", "en",
/// "tr"); the key itself when the table lacks it.
std::string text(const std::string& key);
std::string text(const std::string& key, const LookupSources& sources);

/// text(key) used as a printf-style format with `args` in order (see
/// formatText). A placeholder that does not fit renders empty.
std::string format(const std::string& key, const std::vector<FormatArg>& args);
std::string format(const std::string& key, const std::vector<FormatArg>& args,
                   const LookupSources& sources);

}  // namespace L10n
