#include "ui/bundle_location.h"

#include <QDir>
#include <QFileInfo>

QString bundleResourcePath(const QString& name) {
  const QString executableDir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
  const QStringList bundles = {
      executableDir + QStringLiteral("/Tarnwick_Tarnwick.bundle"),
      executableDir + QStringLiteral("/../share/tarnwick/Tarnwick_Tarnwick.bundle"),
  };
  for (const auto& bundle : bundles) {
    QString path = QDir::cleanPath(bundle + '/' + name);
    if (QFileInfo::exists(path)) return path;
  }
  return {};
}
