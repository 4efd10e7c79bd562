#pragma once
// The panel's parts, built once and handed down: its state (which owns the
// refresher and the action runner) and the controller over that state. The
// view and the tray item's menu are handed this.
#include "ui/panel_controller.h"
#include "ui/panel_seams.h"
#include "ui/panel_state.h"
#include "ui/task_executor.h"

#include <QObject>

#include <memory>

class Panel : public QObject {
  Q_OBJECT

 public:
  /// The real environment over `seams`: the event loop, `background` for the
  /// slow lookups, a pool of its own for actions, QTimers and the system clock.
  Panel(PanelSeams seams, std::shared_ptr<Executor> background, QObject* parent = nullptr);
  explicit Panel(const PanelStateSeams& environment, QObject* parent = nullptr);

  PanelState& state() { return state_; }
  const PanelState& state() const { return state_; }
  PanelController& controller() { return controller_; }
  const PanelController& controller() const { return controller_; }

 signals:
  /// Anything the panel shows changed, in the state or the controller.
  void changed();

 private:
  void forwardChanges();

  /// Guards the real environment's GUI tasks and owns its timers; it goes
  /// last, after everything that posts or schedules.
  QObject guard_;
  PanelState state_;
  PanelController controller_;
};
