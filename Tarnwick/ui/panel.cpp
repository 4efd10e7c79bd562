#include "ui/panel.h"

#include "core/system/clock.h"
#include "ui/qt_task_executors.h"

namespace {

PanelStateSeams realStateSeams(QObject* guard, PanelSeams seams, std::shared_ptr<Executor> background) {
  return {.seams = std::move(seams),
          .gui = std::make_shared<GuiThreadExecutor>(guard),
          .background = std::move(background),
          .actions = std::make_shared<ThreadPoolExecutor>(),
          .scheduler = std::make_shared<TimerScheduler>(guard),
          .clock = &PortCore::systemClock()};
}

}  // namespace

Panel::Panel(PanelSeams seams, std::shared_ptr<Executor> background, QObject* parent)
    : QObject(parent),
      state_(realStateSeams(&guard_, seams, background)),
      controller_(state_, {seams.stores, seams.desktop, background}) {
  forwardChanges();
}

Panel::Panel(const PanelStateSeams& environment, QObject* parent)
    : QObject(parent),
      state_(environment),
      controller_(state_, {environment.seams.stores, environment.seams.desktop, environment.background}) {
  forwardChanges();
}

void Panel::forwardChanges() {
  connect(&state_, &PanelState::changed, this, &Panel::changed);
  connect(&controller_, &PanelController::changed, this, &Panel::changed);
}
