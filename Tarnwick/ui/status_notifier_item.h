#pragma once
// The tray item on the session bus, as a status-notifier host (GNOME's
// AppIndicator extension, Plasma, Xfce's panel) reads it: its icon, tooltip and
// menu's path, and what the user does to it. It registers with the host's
// watcher, and again whenever another process takes the watcher over (a shell
// that restarted).
#include <QDBusArgument>
#include <QDBusConnection>
#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPoint>

/// An icon at one size: (iiay), ARGB32 in network byte order.
struct SniPixmap {
  int width = 0;
  int height = 0;
  QByteArray argb;
};
using SniPixmaps = QList<SniPixmap>;

/// (sa(iiay)ss): an icon's name, its pixmaps, the title and a description.
struct SniToolTip {
  QString iconName;
  SniPixmaps pixmaps;
  QString title;
  QString description;
};

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& tip);

/// `image` as a host reads an icon's pixels.
SniPixmap sniPixmap(const QImage& image);

class StatusNotifierItemAdaptor;

class StatusNotifierItem : public QObject {
  Q_OBJECT

 public:
  /// The item of this process on `bus`; its menu is served at `menuPath`.
  StatusNotifierItem(const QDBusConnection& bus, const QString& menuPath, QObject* parent = nullptr);
  ~StatusNotifierItem() override;

  /// Takes the item's bus name, serves it and registers its object path with
  /// the watcher; false when the name or the object path is taken.
  bool start();

  /// Every size `icon` holds goes to the host; the host picks.
  void setIcon(const QIcon& icon);
  void setToolTip(const QString& text);
  const QString& toolTip() const { return toolTip_; }

  /// org.kde.StatusNotifierItem-PID-1: one item per process. Owned for hosts
  /// that look for it; the watcher knows the item by its unique name.
  const QString& serviceName() const { return service_; }

 signals:
  /// A primary click; `at` is where the host says it happened, (0, 0) when it does not say.
  void activated(QPoint at);
  /// The watcher took the item (again, after a new watcher came).
  void registered();

 private:
  friend class StatusNotifierItemAdaptor;
  void registerWithWatcher();

  QDBusConnection bus_;
  QString service_;
  QString menuPath_;
  SniPixmaps pixmaps_;
  QString toolTip_;
  StatusNotifierItemAdaptor* adaptor_;
  bool served_ = false;
};
