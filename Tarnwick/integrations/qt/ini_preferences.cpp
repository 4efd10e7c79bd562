#include "integrations/qt/ini_preferences.h"
#include "integrations/qt/qt_preferences.h"

#include "core/system/number.h"
#include "integrations/panel_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QVariant>
#include <algorithm>
#include <charconv>
#include <mutex>

namespace {

// One lock for every store in the process: a store opens a fresh QSettings
// per call, and the lock keeps a read-modify-write of the file whole.
std::mutex settingsMutex;

constexpr const char* kSections[] = {"text", "number", "boolean"};

// Texts kept as port numbers joined by ",". Typed into the file by hand
// without quotes, QSettings reads them back as a list of the numbers.
constexpr std::string_view kCommaListKeys[] = {SettingKey::kWatchedPorts, SettingKey::kHiddenPorts};

bool isCommaList(const std::string& key) {
  return std::find(std::begin(kCommaListKeys), std::end(kCommaListKeys), key) != std::end(kCommaListKeys);
}

bool isStorableKey(const std::string& key) {
  return !key.empty() && key.find('/') == std::string::npos && key.find('\\') == std::string::npos;
}

QString entry(const char* section, const std::string& key) {
  return QString::fromLatin1(section) + '/' + QString::fromStdString(key);
}

class IniPreferences final : public Preferences {
 public:
  explicit IniPreferences(std::function<std::unique_ptr<QSettings>()> open) : open_(std::move(open)) {
    watchFolder();
  }

  std::optional<std::string> text(const std::string& key) const override { return read("text", key); }

  std::optional<double> number(const std::string& key) const override {
    auto stored = read("number", key);
    return stored ? parseStoredNumber(*stored) : std::nullopt;
  }

  std::optional<bool> boolean(const std::string& key) const override {
    auto stored = read("boolean", key);
    return stored ? parseStoredBoolean(*stored) : std::nullopt;
  }

  void setText(const std::string& key, const std::string& value) override { write("text", key, value); }
  void setNumber(const std::string& key, double value) override {
    write("number", key, formatStoredNumber(value));
  }
  void setBoolean(const std::string& key, bool value) override { write("boolean", key, value ? "true" : "false"); }
  void remove(const std::string& key) override { write(nullptr, key, {}); }

 private:
  // The stored text under section/key; absent when missing or when the file
  // holds something else there (a byte array, a variant, a list but where a
  // comma list is kept, which reads back joined by ",").
  std::optional<std::string> read(const char* section, const std::string& key) const {
    if (!isStorableKey(key)) return std::nullopt;
    std::lock_guard lock(settingsMutex);
    auto settings = open_();
    QVariant value = settings->value(entry(section, key));
    if (value.typeId() == QMetaType::QStringList && std::string_view(section) == "text" && isCommaList(key))
      return value.toStringList().join(',').toStdString();
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    return value.toString().toStdString();
  }

  // Puts `value` under section/key (none: removes the key), drops the key
  // from the other sections so that it has one type, and writes the file.
  void writeLocked(const char* section, const std::string& key, const std::string& value) {
    if (!isStorableKey(key)) return;
    std::lock_guard lock(settingsMutex);
    auto settings = open_();
    for (const char* other : kSections)
      if (!section || std::string_view(other) != section) settings->remove(entry(other, key));
    if (section) settings->setValue(entry(section, key), QString::fromStdString(value));
    settings->sync();
  }

  void write(const char* section, const std::string& key, const std::string& value) {
    writeLocked(section, key, value);
    changed();
  }

  // QSettings and editors replace the file by rename, which ends a watch on the
  // file itself; the folder's watch sees the new name arrive. The folder is
  // made first, so a store that has never been written is watched too.
  void watchFolder() {
    const QString file = open_()->fileName();
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) return;
    watcher_ = std::make_unique<QFileSystemWatcher>(QStringList{folder});
    auto rewatch = [this, file] {
      if (QFileInfo::exists(file) && !watcher_->files().contains(file)) watcher_->addPath(file);
      changed();
    };
    QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, rewatch);
    QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, rewatch);
    if (QFileInfo::exists(file)) watcher_->addPath(file);
  }

  std::function<std::unique_ptr<QSettings>()> open_;
  std::unique_ptr<QFileSystemWatcher> watcher_;
};

}  // namespace

std::shared_ptr<Preferences> makeIniPreferences(std::function<std::unique_ptr<QSettings>()> open) {
  return std::make_shared<IniPreferences>(std::move(open));
}

std::string formatStoredNumber(double value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return "nan";
  return std::string(buffer, end);
}

std::optional<double> parseStoredNumber(const std::string& text) { return PortCore::parseDecimal(text); }

std::optional<bool> parseStoredBoolean(const std::string& text) {
  if (text == "true") return true;
  if (text == "false") return false;
  return std::nullopt;
}

std::shared_ptr<Preferences> makeQtPreferences(const QString& path) {
  return makeIniPreferences([path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); });
}
