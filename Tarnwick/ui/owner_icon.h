#pragma once
// The icon of the application behind a port: looked up once per listed
// process and kept while that process is listed.
#include "core/scan/processes.h"
#include "core/system/proc_files.h"
#include "ui/task_executor.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

/// The names a process is known by: its comm and its executable's file name,
/// read from `root`; empty when the process cannot be read.
QStringList processNames(int32_t pid, const ProcRoot& root = PortCore::systemProcRoot());

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

/// The icons of the application behind each listed process: the icon of the
/// process tree's root, kept until the process is no longer listed, so a reused
/// PID (a new start time) is looked up afresh. The slow part of a lookup runs
/// in the background; until it answers the row shows the generic icon.
/// GUI thread only; the application context owns the one the panel uses.
class OwnerIconCache final : public QObject {
  Q_OBJECT

 public:
  /// The icon names to try for the program running as `rootPid`, best first;
  /// empty when it cannot be read. Runs in the background.
  using Lookup = std::function<QStringList(int32_t rootPid)>;

  /// Looks up in /proc and the system's desktop entries (read once, on first
  /// use) on `background`.
  explicit OwnerIconCache(std::shared_ptr<Executor> background);
  /// Runs `lookup` on `background` and hands its answer to `gui`.
  OwnerIconCache(Lookup lookup, std::shared_ptr<Executor> background, std::shared_ptr<Executor> gui);

  /// The icon of the tree rooted at `rootPid` that `listed` belongs to; the
  /// generic icon until its lookup answers, which arrived() announces.
  QIcon iconFor(const ProcessIdentity& listed, int32_t rootPid);
  /// Drops the icons of every process not in `listed`.
  void keepOnly(const std::vector<ProcessIdentity>& listed);
  size_t size() const { return icons_.size(); }

 signals:
  void arrived();

 private:
  using Key = std::pair<int32_t, uint64_t>;  ///< PID and start time
  struct Cached {
    int32_t rootPid = 0;
    QIcon icon;
  };
  void arrive(Key key, int32_t rootPid, const QStringList& names);

  Lookup lookup_;
  std::shared_ptr<Executor> gui_;
  QIcon generic_;
  std::map<Key, Cached> icons_;
  std::shared_ptr<Executor> background_;
};

/// The generic executable icon of the theme, or a drawn one without a theme.
QIcon genericExecutableIcon();
