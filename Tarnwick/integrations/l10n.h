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

/// The texts a program shows: a catalog, the system's languages and the
/// language the user chose. The tray's context owns one and hands it to the
/// panel and the notifier. Safe to use from any thread.
class Texts {
 public:
  Texts(std::shared_ptr<const Catalog> catalog, std::vector<std::string> systemLanguages)
      : catalog_(std::move(catalog)), systemLanguages_(std::move(systemLanguages)) {}

  const Catalog& catalog() const { return *catalog_; }

  /// "system", "en" or "tr"; absent or anything else: the system's languages.
  void setAppLanguage(std::optional<std::string> language);

  /// The text of `key` in the chosen language; the key itself when the table lacks it.
  std::string text(const std::string& key) const;

  /// text(key) used as a printf-style format with `args` in order (see
  /// formatText). A placeholder that does not fit renders empty.
  std::string format(const std::string& key, const std::vector<FormatArg>& args) const;

 private:
  std::shared_ptr<const Catalog> catalog_;
  std::vector<std::string> systemLanguages_;  ///< best first
  mutable std::mutex mutex_;
  std::optional<std::string> appLanguage_;
};

}  // namespace L10n
