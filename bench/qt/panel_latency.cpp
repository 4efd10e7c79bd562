// panel_latency: how long the panel takes from a click on the tray item to
// being on screen, and to showing a freshly scanned list, on the real system.
// Run under a display (Xvfb is fine). Prints the medians of ROUNDS openings.
#include "integrations/preferences.h"
#include "ui/app_context.h"
#include "ui/panel.h"
#include "ui/real_panel_seams.h"
#include "ui/panel_window.h"
#include "ui/port_list_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Every scan the panel shows hands its dev count on, on the GUI thread.
class CountingDesktop final : public RealPanelDesktop {
 public:
  using RealPanelDesktop::RealPanelDesktop;
  void setDevCount(int count) override {
    ++scansShown;
    RealPanelDesktop::setDevCount(count);
  }
  int scansShown = 0;
};

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  AppContext context(std::make_shared<MemoryPreferences>(), nullptr);

  // Declared after the context, so they go before it: the panel's background
  // work reads the context's scan source.
  auto desktop = std::make_shared<CountingDesktop>(context.devCount(), context.texts(), context.notifications());
  PanelSeams seams{
      .scans = std::make_shared<RealPanelScans>(context.scanSource(), context.dockerCache(), context.cpuHistory(),
                                                context.prober()),
      .actions = std::make_shared<RealProcessActions>(context.scanSource()),
      .stores = std::make_shared<RealPanelStores>(context.preferences(), context.loginService()),
      .desktop = desktop,
  };
  auto panel = std::make_unique<Panel>(seams, context.background());
  PanelState* model = &panel->state();
  PanelWindow window;
  auto* view = new PortListView(*panel, context.ownerIcons(), context.texts());
  window.setContent(view);
  QObject::connect(&window, &PanelWindow::shown, model, [model] { model->setVisibility(PanelVisibility::Shown); });
  QObject::connect(&window, &PanelWindow::hidden, model, [model] { model->setVisibility(PanelVisibility::Closed); });
  const int& applied = desktop->scansShown;

  std::vector<double> shown, filled;
  for (int round = 0; round < rounds; ++round) {
    int before = applied;
    QElapsedTimer timer;
    timer.start();
    window.openAt({QRect(390, 29, 1, 1), QRect(0, 30, 1920, 1050)});  // at (200, 30), under a top strip
    if (!QTest::qWaitForWindowExposed(&window, 5000)) {
      std::fprintf(stderr, "panel_latency: the panel never appeared\n");
      return 1;
    }
    shown.push_back(timer.nsecsElapsed() / 1e6);
    if (!QTest::qWaitFor([&] { return applied > before; }, 5000)) {
      std::fprintf(stderr, "panel_latency: no scan result arrived\n");
      return 1;
    }
    QCoreApplication::processEvents();  // the rows are laid out for the new list
    filled.push_back(timer.nsecsElapsed() / 1e6);
    std::printf("round %d: shown %.1f ms, list filled %.1f ms (%zu entries)\n", round + 1,
                shown.back(), filled.back(), model->entries().size());
    window.hide();
    QTest::qWait(300);
  }
  std::printf("median over %d openings: shown %.1f ms, list filled %.1f ms\n", rounds,
              median(shown), median(filled));
  return 0;
}
