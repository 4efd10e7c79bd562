#pragma once
// The panel's seams on the real system, each built from the parts of the
// application it reaches; those parts must outlive it.
#include "ui/panel_seams.h"

class CpuHistory;
class DevCount;
class LoginService;
class NotificationSink;
class ScanSource;
namespace Docker {
class PortCache;
}
namespace L10n {
class Texts;
}
namespace PortCore {
class AsyncProber;
}

class RealPanelScans : public PanelScans {
 public:
  RealPanelScans(ScanSource& source, Docker::PortCache& docker, CpuHistory& history, PortCore::AsyncProber& prober)
      : source_(source), docker_(docker), history_(history), prober_(prober) {}
  PortCore::PortScan scanPorts() override;
  ContainerMap containerPorts() override;
  StatsMap stats(const std::vector<int32_t>& pids) override;
  void probe(int64_t port, std::function<void(bool)> done) override;

 private:
  ScanSource& source_;
  Docker::PortCache& docker_;
  CpuHistory& history_;
  PortCore::AsyncProber& prober_;
};

class RealProcessActions : public ProcessActions {
 public:
  explicit RealProcessActions(ScanSource& source) : source_(source) {}
  ActionOutcome killProcess(const ProcessIdentity& target, Force force) override;
  ActionOutcome killTree(const ProcessIdentity& leaf) override;
  ActionOutcome restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) override;
  std::optional<std::string> restartLog(int64_t port) override;
  std::optional<PortHolder> portHolder(int64_t port, const PortCore::FormerHolders& former) override;
  void dockerStop(const std::string& name) override;

 private:
  ScanSource& source_;
};

class RealPanelStores : public PanelStores {
 public:
  /// `login` is the system's login-item service, or null where none is needed.
  RealPanelStores(Preferences& preferences, LoginService* login) : preferences_(preferences), login_(login) {}
  Preferences& preferences() override { return preferences_; }
  std::set<int64_t> watched() override;
  void setWatched(const std::set<int64_t>& ports) override;
  LabelMap labels() override;
  void setLabel(const std::optional<std::string>& label, int64_t port) override;
  bool startsAtLogin() override;
  void setStartAtLogin(LoginStart start) override;

 private:
  Preferences& preferences_;
  LoginService* login_;
};

class RealPanelDesktop : public PanelDesktop {
 public:
  RealPanelDesktop(DevCount& devCount, const L10n::Texts& texts, NotificationSink& notifications)
      : devCount_(devCount), texts_(texts), notifications_(notifications) {}
  std::string editorName() override;
  void openInEditor(const std::string& path) override;
  void copyText(const std::string& text) override;
  void openUrl(const std::string& url) override;
  void setDevCount(int count) override;
  void notifyOutcome(int64_t port, const std::string& key) override;

 private:
  DevCount& devCount_;
  const L10n::Texts& texts_;
  NotificationSink& notifications_;
};
