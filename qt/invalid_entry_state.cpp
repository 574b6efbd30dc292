// The invalid-entry state on AT-SPI, through Qt's own AT-SPI bridge: the bridge serves every
// accessible object of the application as a virtual object on the accessibility bus (the
// connection Qt names "a11y", under /org/a11y/atspi/accessible/<id>). A relay takes that place
// and hands every call on to the bridge, except GetState for a box in the invalid-entry state,
// which it answers itself: the state set the bridge would give (the same mapping of Qt's
// states), with invalid-entry added.
#include "qt/invalid_entry_state.h"

#include <QAccessible>
#include <QLineEdit>

#if KESTRINX_QT_ATSPI
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QList>
#include <optional>

#include "qt/box_accessible.h"
#endif

namespace kestrinx::qt::invalidentry {

#if KESTRINX_QT_ATSPI

namespace {

const QString kBusName = QStringLiteral("a11y");  // the connection Qt's bridge opens
const QString kObjectsPath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kObjectEvents = QStringLiteral("org.a11y.atspi.Event.Object");

// AT-SPI's state numbers (its state set is a 64-bit mask of them, sent as two 32-bit words).
enum SpiState : int {
  Active = 1, Busy = 3, Checked = 4, Collapsed = 5, Editable = 7, Enabled = 8, Expandable = 9, Expanded = 10,
  Focusable = 11, Focused = 12, Modal = 16, MultiLine = 17, MultiSelectable = 18, Pressed = 20, Resizable = 21,
  Selectable = 22, Selected = 23, Sensitive = 24, Showing = 25, Visible = 30, Indeterminate = 32, Animated = 35,
  InvalidEntry = 36, IsDefault = 39, Visited = 40, ReadOnly = 43,
};

// Qt's states as AT-SPI's, as Qt's bridge maps them.
quint64 spiStates(const QAccessible::State& s) {
  quint64 bits = 0;
  const auto set = [&bits](bool on, SpiState state) {
    if (on) bits |= quint64{1} << state;
  };
  set(s.active, Active);
  set(s.editable, Editable);
  set(!s.disabled, Enabled);
  set(!s.disabled, Sensitive);
  set(s.selected, Selected);
  set(s.focused, Focused);
  set(s.pressed, Pressed);
  set(s.checked, Checked);
  set(s.checkStateMixed, Indeterminate);
  set(s.readOnly, ReadOnly);
  set(s.defaultButton, IsDefault);
  set(s.expandable, Expandable);
  set(s.expanded, Expanded);
  set(s.collapsed, Collapsed);
  set(s.busy, Busy);
  set(s.marqueed || s.animated, Animated);
  set(!s.invisible && !s.offscreen, Showing);
  set(!s.invisible && !s.offscreen, Visible);
  set(s.sizeable, Resizable);
  set(s.focusable, Focusable);
  set(s.selectable || s.extSelectable, Selectable);
  set(s.traversed, Visited);
  set(s.multiSelectable, MultiSelectable);
  set(s.modal, Modal);
  set(s.multiLine, MultiLine);
  return bits;
}

// A reference to an object on the bus, as AT-SPI events carry the application's root.
struct ObjectReference {
  QString service;
  QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& a, const ObjectReference& r) {
  a.beginStructure();
  a << r.service << r.path;
  a.endStructure();
  return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, ObjectReference& r) {
  a.beginStructure();
  a >> r.service >> r.path;
  a.endStructure();
  return a;
}

}  // namespace

}  // namespace kestrinx::qt::invalidentry

Q_DECLARE_METATYPE(kestrinx::qt::invalidentry::ObjectReference)

namespace kestrinx::qt::invalidentry {

namespace {

// The box, when the object at `path` is one in the invalid-entry state.
const BoxAccessible* invalidBoxAt(const QString& path) {
  if (!path.startsWith(kObjectsPath + QLatin1Char('/'))) return nullptr;
  bool ok = false;
  const QAccessible::Id id = path.mid(kObjectsPath.size() + 1).toUInt(&ok);
  if (!ok) return nullptr;
  const auto* box = dynamic_cast<const BoxAccessible*>(QAccessible::accessibleInterface(id));
  return box != nullptr && box->isValid() && box->invalidEntry() ? box : nullptr;
}

// Stands where Qt's bridge serves the application's objects and hands each call on to it.
class Relay final : public QDBusVirtualObject {
 public:
  explicit Relay(QDBusVirtualObject& bridge) : QDBusVirtualObject(&bridge), bridge_(bridge) {}

  QString introspect(const QString& path) const override { return bridge_.introspect(path); }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() == kAccessible && message.member() == QLatin1String("GetState")) {
      if (const BoxAccessible* box = invalidBoxAt(message.path())) {
        const quint64 bits = spiStates(box->state()) | (quint64{1} << InvalidEntry);
        const QList<uint> words{static_cast<uint>(bits & 0xFFFFFFFFu), static_cast<uint>(bits >> 32)};
        return connection.send(message.createReply(QVariant::fromValue(words)));
      }
    }
    return bridge_.handleMessage(message, connection);
  }

 private:
  QDBusVirtualObject& bridge_;
};

// The accessibility bus with the relay in place, when Qt's bridge is on it.
std::optional<QDBusConnection> relayedBus() {
  QDBusConnection bus(kBusName);
  if (!bus.isConnected()) return std::nullopt;
  QObject* served = bus.objectRegisteredAt(kObjectsPath);
  if (dynamic_cast<Relay*>(served) != nullptr) return bus;
  auto* bridge = qobject_cast<QDBusVirtualObject*>(served);
  if (bridge == nullptr) return std::nullopt;
  bus.unregisterObject(kObjectsPath);
  auto* relay = new Relay(*bridge);  // lives as long as the bridge
  if (!bus.registerVirtualObject(kObjectsPath, relay, QDBusConnection::SubPath)) {
    delete relay;
    bus.registerVirtualObject(kObjectsPath, bridge, QDBusConnection::SubPath);
    return std::nullopt;
  }
  qDBusRegisterMetaType<ObjectReference>();
  return bus;
}

}  // namespace

void changed(QLineEdit& box, bool invalid) {
  if (!QAccessible::isActive()) return;
  const std::optional<QDBusConnection> bus = relayedBus();
  if (!bus) return;
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&box);
  if (iface == nullptr) return;
  const QString path = kObjectsPath + QLatin1Char('/') + QString::number(QAccessible::uniqueId(iface));
  QDBusMessage signal = QDBusMessage::createSignal(path, kObjectEvents, QStringLiteral("StateChanged"));
  signal << QStringLiteral("invalid-entry") << (invalid ? 1 : 0) << 0 << QVariant::fromValue(QDBusVariant(0))
         << QVariant::fromValue(ObjectReference{bus->baseService(), QDBusObjectPath(kRootPath)});
  bus->send(signal);
}

#else

void changed(QLineEdit& /*box*/, bool /*invalid*/) {}

#endif

}  // namespace kestrinx::qt::invalidentry
