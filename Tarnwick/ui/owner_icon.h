#pragma once
// The icon of the application behind a port: looked up once per root process
// and kept for the life of the program.
#include "core/port_entry.h"

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <optional>

/// The icon of the application that owns `entry`'s process tree, keyed by its
/// rootPid: its desktop entry's or theme's icon when one matches, else a
/// generic executable icon. GUI thread only.
QIcon ownerIcon(const PortEntry& entry);

/// The names a process is known by: its comm and its executable's file name,
/// read from `procRoot`/PID; empty when the process cannot be read.
QStringList processNames(int32_t pid, const QString& procRoot = QStringLiteral("/proc"));

/// The Icon= values of the desktop entries in some application directories,
/// found by the program they start (Exec's first word, without its path), their
/// StartupWMClass or their file name, all compared without case.
class DesktopIconIndex {
 public:
  explicit DesktopIconIndex(const QStringList& applicationDirs);
  /// The application directories of the XDG data directories, user's first.
  static QStringList systemApplicationDirs();
  /// The icon of the first name that a desktop entry matches; absent for none.
  std::optional<QString> iconFor(const QStringList& names) const;

 private:
  void read(const QString& path);
  QHash<QString, QString> icons_;
};

/// The generic executable icon of the theme, or a drawn one without a theme.
QIcon genericExecutableIcon();
