#pragma once
// Carries out the stops the panel's controller decided: each runs on an
// executor of its own, never queued behind a scan, and its outcome comes back
// to the GUI thread as a value. A refusal or failure shows on the row as a
// notice for a while, and as a desktop notification while the panel is
// closed; a restart that worked is watched until its port is held again.
// What becomes of the listed rows is for the runner's owner, which follows
// the signals; the runner never reaches into it.
#include "core/process/process_control.h"
#include "core/records/port_entry.h"
#include "integrations/text_format.h"
#include "ui/panel_seams.h"
#include "ui/pending_kill.h"
#include "ui/task_executor.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/// Whether anyone sees the panel's rows, which tell the outcome of a stop.
enum class PanelVisibility { Closed, Shown };

class ActionRunner : public QObject {
  Q_OBJECT

 public:
  struct Seams {
    std::shared_ptr<ProcessActions> actions;
    std::shared_ptr<PanelDesktop> desktop;  ///< for the notifications only
    std::shared_ptr<Executor> gui;
    std::shared_ptr<Executor> work;        ///< stops, restarts and container stops
    std::shared_ptr<Executor> background;  ///< the looks for a restarted holder
    std::shared_ptr<Scheduler> scheduler;
  };
  /// What a row shows in place of its help line, with the row as it was.
  struct Notice {
    PortEntry entry;  ///< kept listed while the notice shows, even if a scan drops it
    std::string key;
    std::vector<FormatArg> arguments;
  };
  /// A stop carried out, as the GUI thread learns of it.
  struct Finished {
    PendingKill request;
    ActionOutcome outcome;
  };

  explicit ActionRunner(Seams seams, QObject* parent = nullptr);
  ~ActionRunner() override;

  /// Carries out `request` in the background: on `container` by name when the
  /// row showed one (a restart never is), else on the process the row showed.
  void run(const PendingKill& request, const std::optional<std::string>& container);
  void setVisibility(PanelVisibility visibility) { visibility_ = visibility; }

  const std::optional<Notice>& notice() const { return notice_; }
  /// Takes the notice away before its time; false when none shows.
  bool dismissNotice();

  static constexpr std::chrono::milliseconds kNoticeDuration{4000};
  /// A restart that worked is watched this long for a new holder of its port;
  /// without one the row says so, with the relaunch's log, for kNotBackDuration.
  static constexpr std::chrono::milliseconds kRestartWait{15000};
  static constexpr std::chrono::milliseconds kNotBackDuration{10000};

 signals:
  /// A stop has been carried out; a restart that worked is watched from now.
  void finished(const ActionRunner::Finished& finished);
  /// A notice appeared or went.
  void noticeChanged();
  /// A watched restart has a holder again, or was given up: what listens changed.
  void restartSettled();

 private:
  void land(const PendingKill& request, ActionOutcome outcome, const std::optional<std::string>& log);
  void showNotice(Notice notice, std::chrono::milliseconds duration = kNoticeDuration);
  void clearNotice();
  void watchRestart(const PendingKill& request, const std::optional<std::string>& log);
  void scheduleLook(int64_t port);
  void lookForRestarted(int64_t port);
  void lookedForRestarted(int64_t port, const std::optional<PortHolder>& holder);
  void restartNotBack(int64_t port);
  void cancelTimers(int64_t port);

  Seams seams_;
  PanelVisibility visibility_ = PanelVisibility::Closed;
  std::optional<Notice> notice_;
  std::optional<Scheduler::TimerId> noticeTimer_;

  /// A restarted port being watched, by port: one look per interval on the
  /// background executor, so no worker is held while it waits.
  struct RestartWatch {
    PortEntry entry;  ///< the row as it was, shown again if the port does not come back
    ProcessIdentity former;
    std::optional<std::string> log;
    Scheduler::TimerId giveUp;
    std::optional<Scheduler::TimerId> nextLook;
  };
  std::map<int64_t, RestartWatch> restartWatches_;
};
