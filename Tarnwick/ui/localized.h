#pragma once
// The panel's words in the chosen language, and the files of the resource
// bundle (the one localisation located), as Qt strings.
#include "integrations/l10n.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <string>

/// texts.text(key) as a QString.
inline QString localized(const L10n::Texts& texts, const std::string& key) {
  return QString::fromStdString(texts.text(key));
}

/// The path of `name` inside the resource bundle; empty when it has none.
inline QString bundleResourcePath(const QString& name) {
  const QString bundle = QString::fromStdString(L10n::resources().string());
  const QString path = QDir::cleanPath(bundle + '/' + name);
  return QFileInfo::exists(path) ? path : QString();
}
