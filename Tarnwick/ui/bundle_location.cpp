#include "ui/bundle_location.h"

#include "integrations/l10n.h"

#include <QDir>
#include <QFileInfo>

QString bundleResourcePath(const QString& name) {
  const QString bundle = QString::fromStdString(L10n::resources().string());
  const QString path = QDir::cleanPath(bundle + '/' + name);
  return QFileInfo::exists(path) ? path : QString();
}
