// Watched-port notifications over a private session bus, to a stand-in
// notification server that records calls, or through the fallback.
#include "integrations/dev_count.h"
#include "integrations/l10n.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"
#include "support/english_texts.h"
#include "ui/qt_task_executors.h"
#include "integrations/qt/dbus_notification_sink.h"

#include "support/recording_sink.h"
#include "support/test_process.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <QThread>
#include <QVariantMap>
#include <gtest/gtest.h>

#include <functional>
#include <future>

class StandInNotificationServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  /// The arguments of each Notify call, in order.
  std::vector<QVariantList> calls;

 public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout) {
    calls.push_back({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout});
    return static_cast<uint>(calls.size());
  }
  QStringList GetCapabilities() { return {QStringLiteral("body")}; }
  QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
    vendor = QStringLiteral("tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("stand-in");
  }
};

namespace {

// The notifier posts from its own thread while the stand-in answers on this
// one, so work that ends in a bus call runs elsewhere while events are pumped here.
void runOffGuiThread(const std::function<void()>& work) {
  auto done = std::async(std::launch::async, work);
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                              30000));
  done.get();
}

class PrivateBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The socket lives in the test's own directory, so nothing is left behind.
    bus_.emplace(TestProcess::start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address=1",
                                     "--address=unix:path=" + busDir_.path() + "/bus"}));
    auto address = bus_->readLine();
    ASSERT_TRUE(address && !address->empty()) << "dbus-daemon gave no address";
    address_ = *address;
    serverConnection_.emplace(QDBusConnection::connectToBus(QString::fromStdString(address_), serverName()));
    clientConnection_.emplace(QDBusConnection::connectToBus(QString::fromStdString(address_), clientName()));
    ASSERT_TRUE(serverConnection_->isConnected());
    ASSERT_TRUE(clientConnection_->isConnected());
  }

  void TearDown() override {
    serverConnection_.reset();
    clientConnection_.reset();
    QDBusConnection::disconnectFromBus(serverName());
    QDBusConnection::disconnectFromBus(clientName());
  }

  void serveNotifications() {
    ASSERT_TRUE(serverConnection_->registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server_,
                                                  QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serverConnection_->registerService(QStringLiteral("org.freedesktop.Notifications")));
  }

  static QString serverName() { return QStringLiteral("tw-test-server"); }
  static QString clientName() { return QStringLiteral("tw-test-client"); }

  TempDir busDir_;
  std::optional<TestProcess> bus_;
  std::string address_;
  std::optional<QDBusConnection> serverConnection_;
  std::optional<QDBusConnection> clientConnection_;
  StandInNotificationServer server_;
};

TEST_F(PrivateBusTest, NobodyServingTheInterfaceFallsBack) {
  auto fallback = std::make_shared<RecordingSink>();
  auto sink = makeDbusNotificationSink(*clientConnection_, fallback);
  runOffGuiThread([&] { sink->post("Tarnwick", "lost on the bus"); });
  EXPECT_EQ(fallback->taken(), (std::vector<RecordingSink::Post>{{"Tarnwick", "lost on the bus"}}));
}

// Points child processes (notify-send) at the private bus; this process's own
// session bus is never opened by these tests.
struct ScopedBusAddress {
  explicit ScopedBusAddress(const std::string& address) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(address));
  }
  ~ScopedBusAddress() { wasSet ? qputenv("DBUS_SESSION_BUS_ADDRESS", old) : qunsetenv("DBUS_SESSION_BUS_ADDRESS"); }
  const QByteArray old = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  const bool wasSet = qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS");
};

TEST_F(PrivateBusTest, WithoutBusNotifySendReachesTheServer) {
  if (!QFile::exists(QStringLiteral("/usr/bin/notify-send"))) GTEST_SKIP() << "libnotify-bin is not installed";
  serveNotifications();
  ScopedBusAddress address(address_);
  auto noBus = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/tw-bus"), QStringLiteral("tw-no-bus"));
  ASSERT_FALSE(noBus.isConnected());
  auto sink = makeDbusNotificationSink(noBus, Notifications::fallbackSink());
  runOffGuiThread([&] { sink->post("Tarnwick", "-3000 went away"); });
  QDBusConnection::disconnectFromBus(QStringLiteral("tw-no-bus"));
  ASSERT_EQ(server_.calls.size(), 1u);
  EXPECT_EQ(server_.calls.front().mid(3, 2), (QVariantList{"Tarnwick", "-3000 went away"}));
}

// The arguments of the Notify call that announces `key` for `port`.
QVariantList expected(const char* key, int64_t port) {
  const QString title = QStringLiteral("Tarnwick");
  return {title, 0u, QString(), title, QString::fromStdString(englishTexts().format(key, {FormatArg{port}})),
          QStringList(), QVariantMap(), -1};
}

TEST_F(PrivateBusTest, WatchedListenerClosingAndOpeningReachesTheServer) {
  serveNotifications();
  // The scan is the core's test; here, what the notifier makes of a change.
  const int64_t port = 3000;
  std::vector<int64_t> listening = {port};
  MemoryPreferences store;
  PortNotifier::setWatched(store, {port});

  const Qt::HANDLE guiThread = QThread::currentThreadId();
  std::vector<Qt::HANDLE> countWriters;
  auto fallback = std::make_shared<RecordingSink>();
  DevCount devCount;
  devCount.subscribe([&](int64_t) { countWriters.push_back(QThread::currentThreadId()); });
  auto notifier = PortNotifier::create(std::make_shared<GuiThreadExecutor>(qApp),
                                       {.listeningPorts = [&] { return listening; },
                                        .preferences = store,
                                        .devCount = devCount,
                                        .texts = englishTexts(),
                                        .sink = makeDbusNotificationSink(*clientConnection_, fallback)});

  runOffGuiThread([&] { notifier->tick(); });  // baseline
  EXPECT_TRUE(server_.calls.empty());

  listening.clear();
  runOffGuiThread([&] { notifier->tick(); });
  ASSERT_EQ(server_.calls.size(), 1u);
  EXPECT_EQ(server_.calls.back(), expected("notif_closed", port));

  listening = {port};
  runOffGuiThread([&] { notifier->tick(); });
  ASSERT_EQ(server_.calls.size(), 2u);
  EXPECT_EQ(server_.calls.back(), expected("notif_opened", port));
  EXPECT_TRUE(fallback->taken().empty());

  EXPECT_TRUE(QTest::qWaitFor([&] { return countWriters.size() >= 3; }, 5000));
  EXPECT_EQ(countWriters.size(), 3u);
  for (auto writer : countWriters) EXPECT_EQ(writer, guiThread);
}

}  // namespace

#include "notifications_test.moc"
