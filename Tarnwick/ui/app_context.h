#pragma once
// The tray application's long-lived state, built once at start and handed
// down: the store, the texts in the chosen language, the dev count, the scan
// source, the statistics history, the docker cache, the prober, the pool the
// panel's slow work runs on, the owner icons and the notifier. Each part gets what it needs from here, so no two parts keep
// a copy of their own.
#include "core/probe/loopback_prober.h"
#include "core/scan/scan_source.h"
#include "core/stats/cpu_history.h"
#include "integrations/dev_count.h"
#include "integrations/docker.h"
#include "integrations/l10n.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"
#include "ui/owner_icon.h"

#include <QObject>
#include <functional>
#include <memory>

class LoginService;
class NotificationSink;
class TarnwickApp;

class AppContext {
 public:
  /// The real system, keeping settings in `preferences` and posting through
  /// `sink`. GUI thread, with the application object made.
  AppContext(std::shared_ptr<Preferences> preferences, std::shared_ptr<NotificationSink> sink,
             std::shared_ptr<LoginService> loginService = nullptr);
  /// Stops the notifier's poll, then lets everything go.
  ~AppContext();
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  Preferences& preferences() { return *preferences_; }
  /// GUI thread only.
  DevCount& devCount() { return devCount_; }
  ScanSource& scanSource() { return *scanSource_; }
  CpuHistory& cpuHistory() { return cpuHistory_; }
  Docker::PortCache& dockerCache() { return dockerCache_; }
  PortCore::AsyncProber& prober() { return prober_; }
  PortNotifier& notifier() { return *notifier_; }
  /// The pool for the panel's slow lookups: scans, statistics, docker, icons.
  const std::shared_ptr<Executor>& background() const { return background_; }
  /// GUI thread only.
  OwnerIconCache& ownerIcons() { return ownerIcons_; }
  /// The system's login-item service, or null where start at login needs none.
  LoginService* loginService() { return loginService_.get(); }
  /// In the language of the store's "appLanguage", followed as it changes.
  const L10n::Texts& texts() const { return texts_; }
  /// Where desktop notifications go; it falls back by itself when the
  /// desktop's server is not there.
  NotificationSink& notifications() { return *notifications_; }

  /// Starts the notifier's poll; it runs until the context goes.
  void startPolling();
  /// `listener` gets each full scan the notifier's poll takes, on the GUI
  /// thread; it replaces the one before.
  void onFullScan(std::function<void(PortNotifier::FullScan)> listener) { fullScanListener_ = std::move(listener); }

 private:
  std::shared_ptr<Preferences> preferences_;
  std::shared_ptr<LoginService> loginService_;
  std::shared_ptr<NotificationSink> notifications_;
  L10n::Texts texts_;
  Preferences::Subscription languageSubscription_ = 0;
  DevCount devCount_;
  std::unique_ptr<ScanSource> scanSource_;
  CpuHistory cpuHistory_;
  Docker::PortCache dockerCache_;
  PortCore::AsyncProber prober_;
  std::shared_ptr<Executor> background_;
  OwnerIconCache ownerIcons_;
  std::function<void(PortNotifier::FullScan)> fullScanListener_;
  QObject guiGuard_;  ///< the notifier's GUI-thread tasks run only while it lives
  std::shared_ptr<PortNotifier> notifier_;
  PollLoop poll_;
};

/// Gives `app` its panel, drawn over `context`, shows the dev count on its
/// item, follows the language, and tells the user how to reach the panel when
/// no tray host comes, taking that back when one does. `context` must outlive
/// `app`.
void installPanel(TarnwickApp& app, AppContext& context);
