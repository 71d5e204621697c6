// The automation bus on Qt D-Bus: the session bus, blocking calls that
// handle no events while they wait, and introspection data read with
// QXmlStreamReader.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QXmlStreamReader>
#include <map>

#include "toolkit/automation_bus.h"
#include "toolkit/qt/qt_services.h"

namespace kestrel::qt {

namespace {

QString qText(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string text(const QString& s) { return s.toStdString(); }

bus::Reply failure(const std::string& name, const std::string& message) {
  bus::Reply r;
  r.ok = false;
  r.errorName = name;
  r.errorText = message;
  return r;
}

// The Qt types that stand for the containers a program can pass (empty):
// arrays of basic types and of variants, and two dictionaries.
QMetaType emptyContainerType(const std::string& signature) {
  static const std::map<std::string, QMetaType> types = [] {
    qDBusRegisterMetaType<QMap<QString, QString>>();
    return std::map<std::string, QMetaType>{
        {"ay", QMetaType::fromType<QByteArray>()},          {"ab", QMetaType::fromType<QList<bool>>()},
        {"an", QMetaType::fromType<QList<short>>()},        {"aq", QMetaType::fromType<QList<ushort>>()},
        {"ai", QMetaType::fromType<QList<int>>()},          {"au", QMetaType::fromType<QList<uint>>()},
        {"ax", QMetaType::fromType<QList<qlonglong>>()},    {"at", QMetaType::fromType<QList<qulonglong>>()},
        {"ad", QMetaType::fromType<QList<double>>()},       {"as", QMetaType::fromType<QStringList>()},
        {"ao", QMetaType::fromType<QList<QDBusObjectPath>>()}, {"ag", QMetaType::fromType<QList<QDBusSignature>>()},
        {"av", QMetaType::fromType<QVariantList>()},        {"a{sv}", QMetaType::fromType<QVariantMap>()},
        {"a{ss}", QMetaType::fromType<QMap<QString, QString>>()},
    };
  }();
  const auto it = types.find(signature);
  return it != types.end() ? it->second : QMetaType();
}

// A value for Qt's marshaller; false when Qt cannot write that type.
bool toVariant(const bus::Value& v, QVariant& out) {
  const std::string& sig = v.signature;
  if (sig.size() == 1) {
    switch (sig[0]) {
      case 'y': out = QVariant::fromValue(static_cast<uchar>(v.integer)); return true;
      case 'b': out = QVariant::fromValue(v.integer != 0); return true;
      case 'n': out = QVariant::fromValue(static_cast<short>(v.integer)); return true;
      case 'q': out = QVariant::fromValue(static_cast<ushort>(v.integer)); return true;
      case 'i': out = QVariant::fromValue(static_cast<int>(v.integer)); return true;
      case 'u': out = QVariant::fromValue(static_cast<uint>(v.integer)); return true;
      case 'x': out = QVariant::fromValue(static_cast<qlonglong>(v.integer)); return true;
      case 't': out = QVariant::fromValue(static_cast<qulonglong>(v.unsigned64)); return true;
      case 'd': out = QVariant::fromValue(v.real); return true;
      case 's': out = QVariant::fromValue(qText(v.text)); return true;
      case 'o': out = QVariant::fromValue(QDBusObjectPath(qText(v.text))); return true;
      case 'g': out = QVariant::fromValue(QDBusSignature(qText(v.text))); return true;
      case 'v': {
        QVariant inner;
        if (v.items.empty() || !toVariant(v.items.front(), inner)) return false;
        out = QVariant::fromValue(QDBusVariant(inner));
        return true;
      }
      default: return false;
    }
  }
  // An empty container: the default value of the Qt type that Qt writes
  // with that signature.
  const QMetaType type = emptyContainerType(sig);
  if (!type.isValid()) return false;
  out = QVariant(type);
  return true;
}

bus::Value fromVariant(const QVariant& v) {
  bus::Value out;
  const int id = v.metaType().id();
  switch (id) {
    case QMetaType::UChar: out.signature = "y"; out.integer = v.value<uchar>(); return out;
    case QMetaType::Bool: out.signature = "b"; out.integer = v.toBool() ? 1 : 0; return out;
    case QMetaType::Short: out.signature = "n"; out.integer = v.value<short>(); return out;
    case QMetaType::UShort: out.signature = "q"; out.integer = v.value<ushort>(); return out;
    case QMetaType::Int: out.signature = "i"; out.integer = v.toInt(); return out;
    case QMetaType::UInt: out.signature = "u"; out.integer = v.toUInt(); return out;
    case QMetaType::LongLong: out.signature = "x"; out.integer = v.toLongLong(); return out;
    case QMetaType::ULongLong: out.signature = "t"; out.unsigned64 = v.toULongLong(); return out;
    case QMetaType::Double: out.signature = "d"; out.real = v.toDouble(); return out;
    case QMetaType::QString: out.signature = "s"; out.text = text(v.toString()); return out;
    default: break;
  }
  if (id == qMetaTypeId<QDBusObjectPath>()) {
    out.signature = "o";
    out.text = text(v.value<QDBusObjectPath>().path());
  } else if (id == qMetaTypeId<QDBusSignature>()) {
    out.signature = "g";
    out.text = text(v.value<QDBusSignature>().signature());
  } else if (id == qMetaTypeId<QDBusVariant>()) {
    out.signature = "v";
    out.items.push_back(fromVariant(v.value<QDBusVariant>().variant()));
  } else if (id == qMetaTypeId<QDBusUnixFileDescriptor>()) {
    out.signature = "h";
  } else if (id == qMetaTypeId<QDBusArgument>()) {
    out.signature = text(v.value<QDBusArgument>().currentSignature());
    if (out.signature.size() < 2) out.signature = "a";  // a container, whatever it holds
  } else {
    const char* sig = QDBusMetaType::typeToSignature(v.metaType());
    out.signature = sig != nullptr && sig[0] != 0 && sig[1] != 0 ? sig : "a";
  }
  return out;
}

// Methods, their argument types and properties of each interface, and the
// names of the nodes right below.
void readDescription(const QString& xml, bus::Description& out) {
  QXmlStreamReader reader(xml);
  QString interface;
  bus::Member* method = nullptr;  // the method whose arguments come now
  int depth = 0;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::EndElement) {
      --depth;
      if (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal")) method = nullptr;
      if (reader.name() == QLatin1String("interface")) interface.clear();
      continue;
    }
    if (token != QXmlStreamReader::StartElement) continue;
    ++depth;
    const QXmlStreamAttributes a = reader.attributes();
    const auto name = reader.name();
    if (name == QLatin1String("node") && depth == 2) {
      out.children.push_back(text(a.value(QLatin1String("name")).toString()));
    } else if (name == QLatin1String("interface")) {
      interface = a.value(QLatin1String("name")).toString();
    } else if (name == QLatin1String("method") && !interface.isEmpty()) {
      bus::Member m;
      m.interface = text(interface);
      m.name = text(a.value(QLatin1String("name")).toString());
      out.members.push_back(std::move(m));
      method = &out.members.back();
    } else if (name == QLatin1String("arg") && method != nullptr) {
      const std::string type = text(a.value(QLatin1String("type")).toString());
      if (a.value(QLatin1String("direction")) == QLatin1String("out")) method->outputs.push_back(type);
      else method->inputs.push_back(type);
    } else if (name == QLatin1String("property") && !interface.isEmpty()) {
      bus::Member p;
      p.interface = text(interface);
      p.name = text(a.value(QLatin1String("name")).toString());
      p.property = true;
      p.type = text(a.value(QLatin1String("type")).toString());
      const auto access = a.value(QLatin1String("access"));
      p.readable = access.contains(QLatin1String("read"));
      p.writable = access.contains(QLatin1String("write"));
      out.members.push_back(std::move(p));
      method = nullptr;
    }
  }
}

class QtBus : public bus::Bus {
 public:
  explicit QtBus(QDBusConnection connection) : connection_(std::move(connection)) {}

  bus::Reply call(const std::string& service, const std::string& path, const std::string& interface,
                  const std::string& member, const std::vector<bus::Value>& arguments, int timeoutMs) override {
    QDBusMessage message = QDBusMessage::createMethodCall(qText(service), qText(path), qText(interface), qText(member));
    QList<QVariant> list;
    for (const bus::Value& v : arguments) {
      QVariant q;
      if (!toVariant(v, q)) return failure("org.kestrel.Error.TypeMismatch", "Type mismatch");
      list.push_back(q);
    }
    message.setArguments(list);
    const QDBusMessage reply = connection_.call(message, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
      return failure(text(reply.errorName()), text(reply.errorMessage()));
    if (reply.type() != QDBusMessage::ReplyMessage) return failure("org.kestrel.Error.NoReply", "No reply");
    bus::Reply r;
    for (const QVariant& v : reply.arguments()) r.values.push_back(fromVariant(v));
    return r;
  }

  bus::Reply describe(const std::string& service, const std::string& path, int timeoutMs,
                      bus::Description& out) override {
    bus::Reply r = call(service, path, "org.freedesktop.DBus.Introspectable", "Introspect", {}, timeoutMs);
    if (r.ok && !r.values.empty()) readDescription(qText(r.values.front().text), out);
    return r;
  }

 private:
  QDBusConnection connection_;
};

}  // namespace

// The bus lives as long as the process: Qt's connection manager may be
// gone before any object that would destroy it.
bus::Bus* automationBus() {
  static QtBus* bus = nullptr;
  if (bus == nullptr) {
    // Qt's bus connection wants the application object to exist first.
    application(false);
    QDBusConnection connection = QDBusConnection::sessionBus();
    if (!connection.isConnected()) return nullptr;
    bus = new QtBus(connection);
  }
  return bus;
}

}  // namespace kestrel::qt
