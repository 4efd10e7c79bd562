#include "integrations/l10n.h"

#include "core/system/small_file.h"
#include "core/system/terminal_text.h"
#include "integrations/language.h"
#include "integrations/resource_bundle.h"

#include <cstdio>
#include <cstdlib>

namespace L10n {

namespace fs = std::filesystem;

namespace {

// Language codes become directory names: nothing that could leave the bundle.
bool isPlainCode(const std::string& code) {
  if (code.empty() || code.size() > 16) return false;
  for (char c : code)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
      return false;
  return true;
}

std::shared_ptr<const StringsTable> loadTable(const fs::path& directory) {
  std::error_code error;
  if (!fs::is_directory(directory, error)) return nullptr;
  auto content = PortCore::readSmallFile((directory / "Localizable.strings").string());
  return std::make_shared<const StringsTable>(parseStringsTable(content.value_or("")));
}

fs::path locateOrExit() {
  auto candidates = bundleCandidates();
  if (auto bundle = locateBundle(candidates)) return *bundle;
  std::string message = PortCore::terminalText(missingBundleMessage(candidates)) + "\n";
  std::fputs(message.c_str(), stderr);
  std::fflush(nullptr);
  // Other threads may be running; leave without running their destructors.
  std::_Exit(1);
}

}  // namespace

std::shared_ptr<const StringsTable> Catalog::table(const std::string& code) const {
  if (!isPlainCode(code)) return nullptr;
  std::lock_guard lock(mutex_);
  auto found = tables_.find(code);
  if (found != tables_.end()) return found->second;
  auto table = loadTable(bundle_ / (code + ".lproj"));
  tables_.emplace(code, table);
  return table;
}

const fs::path& resources() {
  static const fs::path bundle = locateOrExit();
  return bundle;
}

void Texts::setAppLanguage(std::optional<std::string> language) {
  std::lock_guard lock(mutex_);
  appLanguage_ = std::move(language);
}

std::string Texts::text(const std::string& key) const {
  std::optional<std::string> chosen;
  {
    std::lock_guard lock(mutex_);
    chosen = appLanguage_;
  }
  if (auto table = catalog_->table(chooseLanguage(chosen, systemLanguages_, *catalog_))) {
    auto found = table->find(key);
    if (found != table->end()) return found->second;
  }
  return key;
}

std::string Texts::format(const std::string& key, const std::vector<FormatArg>& args) const {
  return formatText(text(key), args);
}

}  // namespace L10n
