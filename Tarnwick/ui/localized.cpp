#include "ui/localized.h"

#include <QDir>
#include <QFileInfo>

QString localized(const L10n::Texts& texts, const std::string& key) {
  return QString::fromStdString(texts.text(key));
}

QString bundleResourcePath(const QString& name) {
  const QString bundle = QString::fromStdString(L10n::resources().string());
  const QString path = QDir::cleanPath(bundle + '/' + name);
  return QFileInfo::exists(path) ? path : QString();
}
