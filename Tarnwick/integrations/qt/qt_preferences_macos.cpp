#include "integrations/qt/qt_preferences.h"

#include <QSettings>
#include <QVariant>
#include <cmath>
#include <mutex>

namespace {

std::mutex settingsMutex;

bool isStorableKey(const std::string& key) {
  return !key.empty() && key.find('/') == std::string::npos && key.find('\\') == std::string::npos;
}

// The defaults domain keeps real types (CFString, CFNumber, CFBoolean), so the
// keys stay flat and readable with `defaults read com.ulmarsh.tarnwick`.
class DefaultsPreferences final : public Preferences {
 public:
  std::optional<std::string> text(const std::string& key) const override {
    QVariant value = read(key);
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    return value.toString().toStdString();
  }

  std::optional<double> number(const std::string& key) const override {
    QVariant value = read(key);
    switch (value.typeId()) {
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::LongLong:
      case QMetaType::ULongLong:
      case QMetaType::Float:
      case QMetaType::Double: {
        double number = value.toDouble();
        if (std::isfinite(number)) return number;
        return std::nullopt;
      }
      default: return std::nullopt;
    }
  }

  std::optional<bool> boolean(const std::string& key) const override {
    QVariant value = read(key);
    if (value.typeId() != QMetaType::Bool) return std::nullopt;
    return value.toBool();
  }

  void setText(const std::string& key, const std::string& value) override {
    write(key, QVariant(QString::fromStdString(value)));
  }
  void setNumber(const std::string& key, double value) override { write(key, QVariant(value)); }
  void setBoolean(const std::string& key, bool value) override { write(key, QVariant(value)); }
  void remove(const std::string& key) override { write(key, QVariant()); }

 private:
  static std::unique_ptr<QSettings> open() {
    // Organisation "ulmarsh.com" and application "tarnwick" name the domain
    // com.ulmarsh.tarnwick.
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("ulmarsh.com"), QStringLiteral("tarnwick"));
    settings->setFallbacksEnabled(false);
    return settings;
  }

  QVariant read(const std::string& key) const {
    if (!isStorableKey(key)) return {};
    std::lock_guard lock(settingsMutex);
    return open()->value(QString::fromStdString(key));
  }

  // An invalid `value` removes the key.
  void write(const std::string& key, const QVariant& value) {
    if (!isStorableKey(key)) return;
    {
      std::lock_guard lock(settingsMutex);
      auto settings = open();
      if (value.isValid())
        settings->setValue(QString::fromStdString(key), value);
      else
        settings->remove(QString::fromStdString(key));
      settings->sync();
    }
    changed();
  }
};

}  // namespace

std::shared_ptr<Preferences> makeQtPreferences() { return std::make_shared<DefaultsPreferences>(); }
