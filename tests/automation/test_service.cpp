// A small D-Bus service for the automation tests, started by the test
// bus's activation. org.kestrel.TestService serves two objects:
//
//   /org/kestrel/TestService        interfaces org.kestrel.Test and org.kestrel.Extra
//   /org/kestrel/TestService/Child  interface org.kestrel.Child
//
// with methods that echo each argument type, describe a variant, join
// strings, fail with a D-Bus error, answer late, and properties of each
// type (one of them an object path). With --notifications it stands in for
// the desktop's notification service instead. It quits when its bus goes.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QTimer>

namespace {

const QString kRoot = QStringLiteral("/org/kestrel/TestService");
const QString kChild = QStringLiteral("/org/kestrel/TestService/Child");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const char* const kTestInterface = R"(
  <interface name="org.kestrel.Test">
    <method name="EchoByte"><arg type="y" direction="in"/><arg type="y" direction="out"/></method>
    <method name="EchoInt16"><arg type="n" direction="in"/><arg type="n" direction="out"/></method>
    <method name="EchoUInt16"><arg type="q" direction="in"/><arg type="q" direction="out"/></method>
    <method name="EchoInt32"><arg type="i" direction="in"/><arg type="i" direction="out"/></method>
    <method name="EchoUInt32"><arg type="u" direction="in"/><arg type="u" direction="out"/></method>
    <method name="EchoInt64"><arg type="x" direction="in"/><arg type="x" direction="out"/></method>
    <method name="EchoUInt64"><arg type="t" direction="in"/><arg type="t" direction="out"/></method>
    <method name="EchoDouble"><arg type="d" direction="in"/><arg type="d" direction="out"/></method>
    <method name="EchoString"><arg type="s" direction="in"/><arg type="s" direction="out"/></method>
    <method name="EchoBool"><arg type="b" direction="in"/><arg type="b" direction="out"/></method>
    <method name="EchoPath"><arg type="o" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Describe"><arg name="value" type="v" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Join"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Count"><arg type="as" direction="in"/><arg type="a{sv}" direction="in"/><arg type="i" direction="out"/></method>
    <method name="MaxUInt64"><arg type="t" direction="out"/></method>
    <method name="Items"><arg type="as" direction="out"/></method>
    <method name="Unicode"><arg type="s" direction="out"/><arg type="s" direction="out"/></method>
    <method name="ChildPath"><arg type="o" direction="out"/></method>
    <method name="Fail"><arg type="s" direction="in"/></method>
    <method name="Sleep"><arg type="i" direction="in"/><arg type="s" direction="out"/></method>
    <method name="Nothing"/>
    <signal name="Changed"><arg type="s"/></signal>
    <property name="Name" type="s" access="readwrite"/>
    <property name="Size" type="i" access="readwrite"/>
    <property name="Ratio" type="d" access="read"/>
    <property name="Enabled" type="b" access="readwrite"/>
    <property name="Big" type="t" access="read"/>
    <property name="Level" type="y" access="read"/>
    <property name="Tags" type="as" access="read"/>
    <property name="Child" type="o" access="read"/>
    <property name="Partner" type="o" access="readwrite"/>
  </interface>
  <interface name="org.kestrel.Extra">
    <method name="Zeta"><arg type="s" direction="out"/></method>
    <property name="Alpha" type="s" access="read"/>
  </interface>
)";

const char* const kChildInterface = R"(
  <interface name="org.kestrel.Child">
    <method name="Greet"><arg type="s" direction="in"/><arg type="s" direction="out"/></method>
    <property name="Name" type="s" access="read"/>
  </interface>
)";

const char* const kNotificationsInterface = R"(
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
  </interface>
)";

class Objects : public QDBusVirtualObject {
 public:
  QString introspect(const QString& path) const override {
    if (notifications) return QString::fromLatin1(path == QLatin1String("/org/freedesktop/Notifications") ? kNotificationsInterface : "");
    if (path == kRoot) return QString::fromLatin1(kTestInterface);
    if (path == kChild) return QString::fromLatin1(kChildInterface);
    return {};
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() == QLatin1String("org.freedesktop.DBus.Introspectable")) {
      connection.send(message.createReply(QStringLiteral("<node>") + introspect(message.path()) +
                                          QStringLiteral("</node>")));
      return true;
    }
    const QDBusMessage reply = notifications ? notification(message) : answer(message, connection);
    if (reply.type() != QDBusMessage::InvalidMessage) connection.send(reply);
    return true;
  }

  bool notifications = false;

 private:
  static QVariant inner(const QVariant& v) { return v.value<QDBusVariant>().variant(); }

  QDBusMessage notification(const QDBusMessage& m) {
    if (m.member() == QLatin1String("Notify")) return m.createReply(QVariant::fromValue(++shown_));
    if (m.member() == QLatin1String("GetServerInformation"))
      return m.createReply(QList<QVariant>{QStringLiteral("Test notices"), QStringLiteral("Kestrel"),
                                           QStringLiteral("1.0"), QStringLiteral("1.2")});
    if (m.member() == QLatin1String("CloseNotification")) return m.createReply();
    return m.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method"));
  }

  QVariant property(const QString& path, const QString& name) const {
    if (path == kChild) return name == QLatin1String("Name") ? QVariant(QStringLiteral("child")) : QVariant();
    if (name == QLatin1String("Name")) return name_;
    if (name == QLatin1String("Size")) return size_;
    if (name == QLatin1String("Ratio")) return 0.25;
    if (name == QLatin1String("Enabled")) return enabled_;
    if (name == QLatin1String("Big")) return QVariant::fromValue(qulonglong(10000000000000000000ULL));
    if (name == QLatin1String("Level")) return QVariant::fromValue(uchar(200));
    if (name == QLatin1String("Tags")) return QStringList{QStringLiteral("a"), QStringLiteral("b")};
    if (name == QLatin1String("Child")) return QVariant::fromValue(QDBusObjectPath(kChild));
    if (name == QLatin1String("Partner")) return QVariant::fromValue(partner_);
    if (name == QLatin1String("Alpha")) return QStringLiteral("alpha");
    return {};
  }

  QDBusMessage setProperty(const QDBusMessage& m, const QString& name, const QVariant& value) {
    const auto bad = [&] { return m.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("Wrong type for ") + name); };
    if (name == QLatin1String("Name")) {
      if (value.metaType().id() != QMetaType::QString) return bad();
      name_ = value.toString();
    } else if (name == QLatin1String("Size")) {
      if (value.metaType().id() != QMetaType::Int) return bad();
      size_ = value.toInt();
    } else if (name == QLatin1String("Enabled")) {
      if (value.metaType().id() != QMetaType::Bool) return bad();
      enabled_ = value.toBool();
    } else if (name == QLatin1String("Partner")) {
      if (value.metaType() != QMetaType::fromType<QDBusObjectPath>()) return bad();
      partner_ = value.value<QDBusObjectPath>();
    } else {
      return m.createErrorReply(QDBusError::PropertyReadOnly, QStringLiteral("Property ") + name + QStringLiteral(" is read-only"));
    }
    return m.createReply();
  }

  QDBusMessage answer(const QDBusMessage& m, const QDBusConnection& connection) {
    const QList<QVariant> a = m.arguments();
    const QString member = m.member();
    if (m.interface() == kProperties) {
      const QString name = a.value(1).toString();
      if (member == QLatin1String("Get")) {
        const QVariant v = property(m.path(), name);
        if (!v.isValid()) return m.createErrorReply(QDBusError::UnknownProperty, QStringLiteral("No property ") + name);
        return m.createReply(QVariant::fromValue(QDBusVariant(v)));
      }
      if (member == QLatin1String("Set")) return setProperty(m, name, inner(a.value(2)));
      return m.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method"));
    }
    if (m.path() == kChild) {
      if (member == QLatin1String("Greet")) return m.createReply(QStringLiteral("hello ") + a.value(0).toString());
      return m.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method"));
    }
    if (member == QLatin1String("EchoPath")) return m.createReply(a.value(0).value<QDBusObjectPath>().path());
    if (member.startsWith(QLatin1String("Echo"))) return m.createReply(a.value(0));
    if (member == QLatin1String("Describe")) {
      const QVariant v = inner(a.value(0));
      const char* sig = QDBusMetaType::typeToSignature(v.metaType());
      QString text = v.metaType() == QMetaType::fromType<QDBusObjectPath>() ? v.value<QDBusObjectPath>().path()
                                                                            : v.toString();
      return m.createReply(QString::fromLatin1(sig) + QLatin1Char(':') + text);
    }
    if (member == QLatin1String("Join")) return m.createReply(a.value(0).toString() + QLatin1Char('|') + a.value(1).toString());
    if (member == QLatin1String("Count")) {
      const int n = static_cast<int>(a.value(0).toStringList().size() + qdbus_cast<QVariantMap>(a.value(1)).size());
      return m.createReply(n);
    }
    if (member == QLatin1String("MaxUInt64")) return m.createReply(QVariant::fromValue(qulonglong(18446744073709551615ULL)));
    if (member == QLatin1String("Items")) return m.createReply(QStringList{QStringLiteral("x")});
    if (member == QLatin1String("Unicode"))
      return m.createReply(QList<QVariant>{QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e"), QString::fromUtf8("\xE2\x82\xAC" "5")});
    if (member == QLatin1String("ChildPath")) return m.createReply(QVariant::fromValue(QDBusObjectPath(kChild)));
    if (member == QLatin1String("Fail"))
      return m.createErrorReply(QStringLiteral("org.kestrel.Test.Error.Failed"), a.value(0).toString());
    if (member == QLatin1String("Sleep")) {
      const QDBusMessage reply = m.createReply(QStringLiteral("awake"));
      QTimer::singleShot(a.value(0).toInt(), [connection, reply] { QDBusConnection(connection).send(reply); });
      return {};
    }
    if (member == QLatin1String("Nothing")) return m.createReply();
    if (member == QLatin1String("Zeta")) return m.createReply(QStringLiteral("zeta"));
    return m.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ") + member);
  }

  QString name_ = QStringLiteral("test");
  int size_ = 7;
  bool enabled_ = true;
  QDBusObjectPath partner_{QStringLiteral("/")};
  uint shown_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool notifications = app.arguments().contains(QStringLiteral("--notifications"));
  QDBusConnection bus = QDBusConnection::sessionBus();
  Objects objects;
  objects.notifications = notifications;
  const QString path = notifications ? QStringLiteral("/org/freedesktop/Notifications") : kRoot;
  if (!bus.registerVirtualObject(path, &objects, QDBusConnection::SubPath)) return 1;
  if (!bus.registerService(notifications ? QStringLiteral("org.freedesktop.Notifications")
                                         : QStringLiteral("org.kestrel.TestService")))
    return 1;
  // The test bus goes away with its tests; so does the service.
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!QDBusConnection::sessionBus().isConnected()) app.quit();
  });
  watch.start(200);
  return app.exec();
}
