#pragma once
// Waits until the desktop can show a status-notifier item. Qt decides once per
// process whether to export the tray item over D-Bus or fall back to the old
// XEmbed tray, at the moment the item is created; created before the desktop's
// tray is up (a start at login), it would never show. So the item is created
// only once this watch says the tray host is there.
#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <chrono>

class QDBusServiceWatcher;

class TrayHostWatch : public QObject {
  Q_OBJECT

 public:
  /// Without a tray host for this long, the item is made anyway, for desktops
  /// that only have an XEmbed tray while a session bus runs.
  static constexpr int kXembedFallbackMs = 30000;
  /// Without a tray host for this long, the user is told how to reach the
  /// panel without the item (a desktop that has none, such as plain GNOME).
  static constexpr std::chrono::milliseconds kNoHostNotice{10000};

  explicit TrayHostWatch(const QDBusConnection& bus, std::chrono::milliseconds noHostNotice = kNoHostNotice,
                         QObject* parent = nullptr);

  /// Starts watching; ready() follows at once when there is no session bus.
  void start();

 signals:
  /// Emitted once, when the item may be created.
  void ready();
  /// Emitted at most once: no host had come `noHostNotice` after start() on a
  /// session bus.
  void noHost();

 private slots:
  void check();

 private:
  void finish();

  QDBusConnection bus_;
  QDBusServiceWatcher* serviceWatcher_ = nullptr;
  QTimer fallback_;
  QTimer noHostNotice_;
  bool finished_ = false;
};
