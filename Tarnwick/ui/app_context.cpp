#include "ui/app_context.h"

#include "core/scan/scan.h"
#include "integrations/l10n.h"
#include "integrations/notification_sink.h"
#include "ui/no_tray_notice.h"
#include "integrations/panel_settings.h"
#include "ui/panel.h"
#include "ui/platform_integrations.h"
#include "ui/port_list_view.h"
#include "ui/qt_task_executors.h"
#include "ui/real_panel_seams.h"
#include "ui/tarnwick_app.h"

#include <QCoreApplication>
#include <QPointer>
#include <cstdio>

AppContext::AppContext(std::shared_ptr<Preferences> preferences, std::shared_ptr<NotificationSink> sink,
                       std::shared_ptr<LoginService> loginService)
    : preferences_(std::move(preferences)),
      loginService_(std::move(loginService)),
      notifications_(sink ? std::move(sink) : Notifications::fallbackSink()),
      texts_(std::make_shared<const L10n::Catalog>(L10n::resources()), platformLanguages()),
      scanSource_(PortCore::makeSystemScanSource()),
      prober_(PortCore::systemClock()),
      background_(std::make_shared<ThreadPoolExecutor>()),
      ownerIcons_(background_) {
  Preferences& store = *preferences_;
  texts_.setAppLanguage(store.text(SettingKey::kAppLanguage));
  languageSubscription_ =
      store.subscribe([this] { texts_.setAppLanguage(preferences_->text(SettingKey::kAppLanguage)); });
  ScanSource& source = *scanSource_;
  // Tasks still queued when the guard goes are dropped with it.
  notifier_ = PortNotifier::create(std::make_shared<GuiThreadExecutor>(&guiGuard_),
                                   {.listeningPorts = [&source] { return PortCore::listeningPortNumbers(source); },
                                    .preferences = store,
                                    .devCount = devCount_,
                                    .texts = texts_,
                                    .sink = notifications_,
                                    .fullScan =
                                        [this, &source] {
                                          // The containers as a refresh asks for them: cached, never waited on twice.
                                          return PortNotifier::FullScan{
                                              PortCore::scanPorts(source),
                                              Docker::containerPorts(Docker::systemClient(), dockerCache_,
                                                                     PortCore::systemClock())};
                                        },
                                    .scanned =
                                        [this](PortNotifier::FullScan full) {
                                          if (fullScanListener_) fullScanListener_(std::move(full));
                                        }});
}

AppContext::~AppContext() {
  poll_.stop();
  preferences_->unsubscribe(languageSubscription_);
}

void AppContext::startPolling() { poll_ = notifier_->start(); }

void installPanel(TarnwickApp& app, AppContext& context) {
  PanelSeams seams{
      .scans = std::make_shared<RealPanelScans>(context.scanSource(), context.dockerCache(), context.cpuHistory(),
                                                context.prober()),
      .actions = std::make_shared<RealProcessActions>(context.scanSource()),
      .stores = std::make_shared<RealPanelStores>(context.preferences(), context.loginService()),
      .desktop = std::make_shared<RealPanelDesktop>(context.devCount(), context.texts(), context.notifications()),
  };
  auto* panel = new Panel(std::move(seams), context.background(), &app);
  PanelState* model = &panel->state();
  auto* view = new PortListView(*panel, context.ownerIcons(), context.texts());
  PanelWindow& window = app.panel();
  window.setContent(view);
  QObject::connect(view, &PortListView::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  QObject::connect(&window, &PanelWindow::shown, model, [model] { model->setVisibility(PanelVisibility::Shown); });
  QObject::connect(&window, &PanelWindow::hidden, model, [model, &context] {
    model->setVisibility(PanelVisibility::Closed);
    // The panel's last refresh may be older than the notifier's last full scan, which it dropped.
    context.notifier().wantFullScan();
  });
  // The model follows the store, language included, as the panel does.
  QObject::connect(panel, &Panel::changed, &app, &TarnwickApp::retranslate);
  auto notice = std::make_shared<NoTrayNotice>(context.notifications(), context.background());
  QObject::connect(&app, &TarnwickApp::trayHostMissing, &app, [&context, notice] {
    const std::string problem = context.texts().text("no_tray"), hint = context.texts().text("no_tray_hint");
    notice->show(problem, hint);
    std::fprintf(stderr, "tarnwick: %s. %s\n", problem.c_str(), hint.c_str());
  });
  QObject::connect(&app, &TarnwickApp::trayItemShown, &app, [notice] { notice->withdraw(); });

  // The item's menu follows the model, fed by the notifier's scans while the panel is closed.
  auto act = [controller = &panel->controller()](const PortEntry& entry, RowAction action,
                                                 Confirmation confirmation) {
    controller->act(action, entry, confirmation);
  };
  auto menu = [&app, &context, model, act] { app.setMenu(trayMenu(context.texts(), model->trayMenuInputs()), act); };
  QObject::connect(panel, &Panel::changed, &app, menu);
  // The context outlives the application, and so the model.
  context.onFullScan([model = QPointer<PanelState>(model)](PortNotifier::FullScan full) {
    if (model) model->applyPolledScan(std::move(full.scan), std::move(full.containers));
  });
  menu();

  QPointer<TarnwickApp> target = &app;
  context.devCount().subscribe([target](int64_t count) {
    if (target) target->setDevCount(static_cast<int>(count));
  });
}
