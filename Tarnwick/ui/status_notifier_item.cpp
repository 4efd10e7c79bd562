#include "ui/status_notifier_item.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QtEndian>

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
// A host that does not answer is not waited on past this.
constexpr int kRegisterTimeoutMs = 5000;

}  // namespace

// The bus-facing side; hosts read the properties and call the methods.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ category)
  Q_PROPERTY(QString Id READ id)
  Q_PROPERTY(QString Title READ title)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(int WindowId READ windowId)
  Q_PROPERTY(QString IconThemePath READ empty)
  Q_PROPERTY(QString IconName READ empty)
  Q_PROPERTY(SniPixmaps IconPixmap READ iconPixmap)
  Q_PROPERTY(QString IconAccessibleDesc READ accessibleDescription)
  Q_PROPERTY(QString AttentionAccessibleDesc READ empty)
  Q_PROPERTY(QString OverlayIconName READ empty)
  Q_PROPERTY(SniPixmaps OverlayIconPixmap READ noPixmaps)
  Q_PROPERTY(QString AttentionIconName READ empty)
  Q_PROPERTY(SniPixmaps AttentionIconPixmap READ noPixmaps)
  Q_PROPERTY(QString AttentionMovieName READ empty)
  Q_PROPERTY(SniToolTip ToolTip READ toolTip)
  Q_PROPERTY(QDBusObjectPath Menu READ menu)
  Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)

 public:
  explicit StatusNotifierItemAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), item_(*item) {}

  QString category() const { return QStringLiteral("ApplicationStatus"); }
  QString id() const { return QCoreApplication::applicationName(); }
  QString title() const { return QStringLiteral("Tarnwick"); }
  QString status() const { return QStringLiteral("Active"); }
  int windowId() const { return 0; }
  QString empty() const { return {}; }
  SniPixmaps iconPixmap() const { return item_.pixmaps_; }
  SniPixmaps noPixmaps() const { return {}; }
  // The text goes in the title: hosts show a tooltip's title, and not all show its description.
  SniToolTip toolTip() const { return {{}, {}, item_.toolTip_, {}}; }
  // What a screen reader says of the item: the count, as the tooltip says it.
  QString accessibleDescription() const { return item_.toolTip_.isEmpty() ? title() : item_.toolTip_; }
  QDBusObjectPath menu() const { return QDBusObjectPath(item_.menuPath_); }
  // Plasma opens the menu on a plain click when this says so; the click is the panel's.
  bool itemIsMenu() const { return false; }

 public slots:
  void Activate(int x, int y) { emit item_.activated({x, y}); }
  void SecondaryActivate(int, int) {}
  // The host draws the menu it reads from Menu.
  void ContextMenu(int, int) {}
  void Scroll(int, const QString&) {}

 signals:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  StatusNotifierItem& item_;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap) {
  argument.beginStructure();
  argument << pixmap.width << pixmap.height << pixmap.argb;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap) {
  argument.beginStructure();
  argument >> pixmap.width >> pixmap.height >> pixmap.argb;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& tip) {
  argument.beginStructure();
  argument << tip.iconName << tip.pixmaps << tip.title << tip.description;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& tip) {
  argument.beginStructure();
  argument >> tip.iconName >> tip.pixmaps >> tip.title >> tip.description;
  argument.endStructure();
  return argument;
}

SniPixmap sniPixmap(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  SniPixmap pixmap{argb.width(), argb.height(), {}};
  pixmap.argb.reserve(argb.width() * argb.height() * 4);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const quint32*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      const quint32 pixel = qToBigEndian(line[x]);
      pixmap.argb.append(reinterpret_cast<const char*>(&pixel), sizeof pixel);
    }
  }
  return pixmap;
}

StatusNotifierItem::StatusNotifierItem(const QDBusConnection& bus, const QString& menuPath, QObject* parent)
    : QObject(parent),
      bus_(bus),
      service_(QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid())),
      menuPath_(menuPath) {
  qDBusRegisterMetaType<SniPixmap>();
  qDBusRegisterMetaType<SniPixmaps>();
  qDBusRegisterMetaType<SniToolTip>();
  adaptor_ = new StatusNotifierItemAdaptor(this);
}

StatusNotifierItem::~StatusNotifierItem() {
  if (!served_) return;
  bus_.unregisterObject(kItemPath);
  bus_.unregisterService(service_);
}

bool StatusNotifierItem::start() {
  if (!bus_.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors)) return false;
  if (!bus_.registerService(service_)) {
    bus_.unregisterObject(kItemPath);
    return false;
  }
  served_ = true;
  auto* watcher = new QDBusServiceWatcher(kWatcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
  connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
          [this](const QString&, const QString&, const QString& owner) {
            if (!owner.isEmpty()) registerWithWatcher();
          });
  registerWithWatcher();
  return true;
}

void StatusNotifierItem::registerWithWatcher() {
  auto message = QDBusMessage::createMethodCall(kWatcherService, QStringLiteral("/StatusNotifierWatcher"),
                                                kWatcherService, QStringLiteral("RegisterStatusNotifierItem"));
  // By object path: the watcher lists the item under this connection's unique
  // name. Registered by the well-known name, GNOME's AppIndicator extension
  // also follows that name's owner, and an owner notice that lands after its
  // proxy is set up blanks the item's properties and makes it drop the item.
  message << kItemPath;
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(message, kRegisterTimeoutMs), this);
  connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    if (!call->isError()) emit registered();
  });
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
  pixmaps_.clear();
  for (const QSize& size : icon.availableSizes()) pixmaps_ << sniPixmap(icon.pixmap(size).toImage());
  emit adaptor_->NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text) {
  if (text == toolTip_) return;
  toolTip_ = text;
  emit adaptor_->NewToolTip();
}

#include "status_notifier_item.moc"
