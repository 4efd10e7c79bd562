#include "ui/single_instance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kAnswerTimeoutMs = 5000;
// The running one may still be starting when it holds the lock but does not
// listen yet.
constexpr int kConnectPatienceMs = 5000;

QString socketPath(const QString& directory) { return directory + QStringLiteral("/tarnwick.socket"); }
QString lockPath(const QString& directory) { return directory + QStringLiteral("/tarnwick.lock"); }

// A directory in /tmp could have been made by someone else to catch our socket:
// use it only when it is a real directory of ours that nobody else may enter.
bool isPrivateDirectory(const QString& path) {
  struct stat info {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

}  // namespace

SingleInstance::SingleInstance(const QDBusConnection& bus, const QString& runtimeDirectory, QObject* parent)
    : QObject(parent), bus_(bus), runtimeDirectory_(runtimeDirectory) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

QString SingleInstance::defaultRuntimeDirectory() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime;
  const QString own = QStringLiteral("/tmp/tarnwick-%1").arg(::getuid());
  ::mkdir(QFile::encodeName(own).constData(), 0700);
  return isPrivateDirectory(own) ? own : QString();
}

SingleInstance::Role SingleInstance::claim() { return bus_.isConnected() ? claimBusName() : claimSocket(); }

void SingleInstance::Activate() { emit activateRequested(); }

SingleInstance::Role SingleInstance::claimBusName() {
  // The object answers before the name is ours, so a second start that sees
  // the name can always call it.
  bus_.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportScriptableSlots);
  auto reply = bus_.interface()->registerService(QString::fromLatin1(kServiceName),
                                                 QDBusConnectionInterface::DontQueueService,
                                                 QDBusConnectionInterface::DontAllowReplacement);
  if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) return Role::Primary;
  // Refused although nobody holds the name (a bus policy, say): run anyway
  // rather than report a running instance that is not there.
  if (!bus_.interface()->isServiceRegistered(QString::fromLatin1(kServiceName)).value()) return Role::Primary;
  bus_.unregisterObject(QString::fromLatin1(kObjectPath));
  auto call = QDBusMessage::createMethodCall(QString::fromLatin1(kServiceName), QString::fromLatin1(kObjectPath),
                                             QString::fromLatin1(kServiceName), QStringLiteral("Activate"));
  auto answer = bus_.call(call, QDBus::Block, kAnswerTimeoutMs);
  return answer.type() == QDBusMessage::ReplyMessage ? Role::HandedOver : Role::Failed;
}

SingleInstance::Role SingleInstance::claimSocket() {
  if (runtimeDirectory_.isEmpty()) return Role::Primary;
  lock_ = std::make_unique<QLockFile>(lockPath(runtimeDirectory_));
  // Held for the life of the process: it goes stale only when its holder is
  // gone, and QLockFile then takes it over.
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
    // A socket left by a crashed instance would make listen() fail.
    QLocalServer::removeServer(socketPath(runtimeDirectory_));
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* peer = server_->nextPendingConnection()) {
        peer->disconnectFromServer();
        peer->deleteLater();
        emit activateRequested();
      }
    });
    server_->listen(socketPath(runtimeDirectory_));
    return Role::Primary;
  }
  lock_.reset();
  QDeadlineTimer deadline(kConnectPatienceMs);
  while (!deadline.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(socketPath(runtimeDirectory_));
    if (socket.waitForConnected(500)) {
      socket.disconnectFromServer();
      return Role::HandedOver;
    }
    QThread::msleep(50);
  }
  return Role::Failed;
}
