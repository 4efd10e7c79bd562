#include "ui/owner_icon.h"

#include "ui/qt_task_executors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStandardPaths>
#include <QTextStream>

#include <mutex>
#include <set>

namespace {

QString desktopValue(const QString& line, const QString& key) {
  if (!line.startsWith(key) || line.size() <= key.size() || line[key.size()] != '=') return {};
  return line.mid(key.size() + 1).trimmed();
}

// Exec's program without its path or quotes: "/usr/bin/code --new-window %F" gives "code".
QString execProgram(const QString& exec) {
  QString program = exec.section(' ', 0, 0, QString::SectionSkipEmpty);
  program.remove('"');
  return QFileInfo(program).fileName();
}

QIcon iconNamed(const QString& name) {
  if (QDir::isAbsolutePath(name)) {
    QIcon icon(name);
    return QFile::exists(name) ? icon : QIcon();
  }
  return QIcon::fromTheme(name);
}

OwnerIconCache::Lookup systemLookup() {
  struct Index {
    std::mutex mutex;
    std::optional<DesktopIconIndex> entries;
  };
  auto index = std::make_shared<Index>();
  return [index](int32_t rootPid) {
    QStringList names = processNames(rootPid);
    std::lock_guard lock(index->mutex);
    if (!index->entries) index->entries.emplace(DesktopIconIndex::systemApplicationDirs());
    if (auto icon = index->entries->iconFor(names)) names.prepend(*icon);
    return names;
  };
}

}  // namespace

OwnerIconCache::OwnerIconCache(std::shared_ptr<Executor> background)
    : OwnerIconCache(systemLookup(), std::move(background), nullptr) {
  gui_ = std::make_shared<GuiThreadExecutor>(this);
}

OwnerIconCache::OwnerIconCache(Lookup lookup, std::shared_ptr<Executor> background,
                               std::shared_ptr<Executor> gui)
    : lookup_(std::move(lookup)),
      gui_(std::move(gui)),
      generic_(genericExecutableIcon()),
      background_(std::move(background)) {}

QIcon OwnerIconCache::iconFor(const ProcessIdentity& listed, int32_t rootPid) {
  Key key{listed.pid, listed.startTime};
  auto it = icons_.find(key);
  // A process can be adopted into another tree while it lives.
  if (it != icons_.end() && it->second.rootPid == rootPid) return it->second.icon;
  icons_[key] = {rootPid, generic_};
  // `this` is only reached through gui_, which drops tasks once the cache has gone.
  background_->post([this, lookup = lookup_, gui = gui_, key, rootPid] {
    QStringList names = lookup(rootPid);
    gui->post([this, key, rootPid, names = std::move(names)] { arrive(key, rootPid, names); });
  });
  return generic_;
}

void OwnerIconCache::arrive(Key key, int32_t rootPid, const QStringList& names) {
  auto it = icons_.find(key);
  // Dropped or adopted while the lookup ran: a newer lookup answers instead.
  if (it == icons_.end() || it->second.rootPid != rootPid) return;
  for (const QString& name : names) {
    QIcon icon = iconNamed(name);
    if (icon.isNull()) continue;
    it->second.icon = icon;
    emit arrived();
    return;
  }
}

void OwnerIconCache::keepOnly(const std::vector<ProcessIdentity>& listed) {
  std::set<std::pair<int32_t, uint64_t>> kept;
  for (const ProcessIdentity& process : listed) kept.insert({process.pid, process.startTime});
  std::erase_if(icons_, [&](const auto& item) { return !kept.contains(item.first); });
}

QStringList processNames(int32_t pid, const ProcRoot& root) {
  constexpr size_t kCommLimit = 64;  // the kernel keeps 16 bytes of it
  QStringList names;
  const std::string dir = std::to_string(pid);
  QString name = QString::fromStdString(root.read(dir + "/comm", kCommLimit)).trimmed();
  if (!name.isEmpty()) names << name;
  QString exe = QFileInfo(QString::fromStdString(root.readLink(dir + "/exe"))).fileName();
  // A replaced binary reads as "name (deleted)".
  exe = exe.section(' ', 0, 0);
  if (!exe.isEmpty() && !names.contains(exe)) names << exe;
  return names;
}

DesktopIconIndex::DesktopIconIndex(const QStringList& applicationDirs) {
  for (const QString& dir : applicationDirs) {
    for (const QFileInfo& file : QDir(dir).entryInfoList({"*.desktop"}, QDir::Files))
      read(file.filePath());
  }
}

QStringList DesktopIconIndex::systemApplicationDirs() {
  return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

void DesktopIconIndex::read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
  QTextStream in(&file);
  QString icon, exec, wmClass;
  bool inEntry = false;
  while (!in.atEnd()) {
    QString line = in.readLine().trimmed();
    if (line.startsWith('[')) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    if (QString v = desktopValue(line, "Icon"); !v.isEmpty()) icon = v;
    if (QString v = desktopValue(line, "Exec"); !v.isEmpty()) exec = v;
    if (QString v = desktopValue(line, "StartupWMClass"); !v.isEmpty()) wmClass = v;
  }
  if (icon.isEmpty()) return;
  // The first directory wins, as the user's own entries come first.
  for (const QString& key : {execProgram(exec), wmClass, QFileInfo(path).completeBaseName()}) {
    if (!key.isEmpty() && !icons_.contains(key.toLower())) icons_.insert(key.toLower(), icon);
  }
}

std::optional<QString> DesktopIconIndex::iconFor(const QStringList& names) const {
  for (const QString& name : names) {
    auto it = icons_.find(name.toLower());
    if (it != icons_.end()) return *it;
  }
  return std::nullopt;
}

QIcon genericExecutableIcon() {
  QIcon themed = QIcon::fromTheme("application-x-executable");
  if (!themed.isNull()) return themed;
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x5a, 0x5d, 0x63));
  painter.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
  QPen prompt(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(prompt);
  painter.setBrush(Qt::NoBrush);
  QPainterPath chevron;
  chevron.moveTo(17, 22);
  chevron.lineTo(29, 32);
  chevron.lineTo(17, 42);
  painter.drawPath(chevron);
  painter.drawLine(QPointF(33, 43), QPointF(46, 43));
  painter.end();
  return QIcon(pixmap);
}
