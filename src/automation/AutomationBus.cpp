// Dispatch of the automation interface: a table per kind of member, each entry with its
// D-Bus input signature and the call on TQuorra. Failures go back to the caller as errors
// with their text.

#include "AutomationBus.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QTimer>
#include <map>

#include "Automation.h"

namespace ferrowin {
namespace {

using TArgs = QVariantList;

std::string Text(const QVariant& v) { return v.toString().toStdString(); }
QVariant Text(const std::string& s) { return QString::fromStdString(s); }

struct TMethod {
  QString In;  // the input signature the call must carry
  std::function<TArgs(TQuorra&, const TArgs&)> Call;
};

template <typename TAction>
TMethod Procedure(const char* in, TAction action) {
  return {QString::fromLatin1(in), [action](TQuorra& q, const TArgs& a) {
            action(q, a);
            return TArgs{};
          }};
}

template <typename TFunction>
TMethod Function(const char* in, TFunction function) {
  return {QString::fromLatin1(in), [function](TQuorra& q, const TArgs& a) { return TArgs{function(q, a)}; }};
}

const std::map<QString, TMethod>& Methods() {
  static const std::map<QString, TMethod> table = {
      {"ConnectTo", Procedure("sissss",
                              [](TQuorra& q, const TArgs& a) {
                                q.ConnectTo(Text(a[0]), a[1].toInt(), Text(a[2]), Text(a[3]), Text(a[4]), Text(a[5]));
                              })},
      {"Disconnect", Procedure("", [](TQuorra& q, const TArgs&) { q.Disconnect(); })},
      {"Abort", Procedure("", [](TQuorra& q, const TArgs&) { q.Abort(); })},
      {"RefreshFolder", Procedure("", [](TQuorra& q, const TArgs&) { q.RefreshFolder(); })},
      {"CreateFolder", Procedure("s", [](TQuorra& q, const TArgs& a) { q.CreateFolder(Text(a[0])); })},
      {"SelectItem", Procedure("ib", [](TQuorra& q, const TArgs& a) { q.SelectItem(a[0].toInt(), a[1].toBool()); })},
      {"ItemIsSelected", Function("i", [](TQuorra& q, const TArgs& a) { return QVariant(q.ItemIsSelected(a[0].toInt())); })},
      {"ItemIsFolder", Function("i", [](TQuorra& q, const TArgs& a) { return QVariant(q.ItemIsFolder(a[0].toInt())); })},
      {"ItemName", Function("i", [](TQuorra& q, const TArgs& a) { return Text(q.ItemName(a[0].toInt())); })},
      {"ItemSize", Function("i", [](TQuorra& q, const TArgs& a) { return QVariant(q.ItemSize(a[0].toInt())); })},
      {"ItemDate", Function("i", [](TQuorra& q, const TArgs& a) { return QVariant(q.ItemDate(a[0].toInt())); })},
      {"DeleteSelectedItems", Procedure("b", [](TQuorra& q, const TArgs& a) { q.DeleteSelectedItems(a[0].toBool()); })},
      {"RenameItem", Procedure("is", [](TQuorra& q, const TArgs& a) { q.RenameItem(a[0].toInt(), Text(a[1])); })},
      {"Upload", Procedure("ss", [](TQuorra& q, const TArgs& a) { q.Upload(Text(a[0]), Text(a[1])); })},
      {"Download", Procedure("s", [](TQuorra& q, const TArgs& a) { q.Download(Text(a[0])); })},
      {"ItemCount", Function("", [](TQuorra& q, const TArgs&) { return QVariant(q.ItemCount()); })},
      {"Show", Procedure("", [](TQuorra& q, const TArgs&) { q.Show(); })},
      {"Hide", Procedure("", [](TQuorra& q, const TArgs&) { q.Hide(); })},
      {"ClearSaveList", Procedure("", [](TQuorra& q, const TArgs&) { q.ClearSaveList(); })},
      {"AddToSaveList", Procedure("s", [](TQuorra& q, const TArgs& a) { q.AddToSaveList(Text(a[0])); })},
  };
  return table;
}

struct TProperty {
  int Type;  // the QMetaType a written value must have
  std::function<QVariant(TQuorra&)> Get;
  std::function<void(TQuorra&, const QVariant&)> Set;
};

const std::map<QString, TProperty>& Properties() {
  static const std::map<QString, TProperty> table = {
      {"Mask", {QMetaType::QString, [](TQuorra& q) { return Text(q.Mask()); },
                [](TQuorra& q, const QVariant& v) { q.SetMask(Text(v)); }}},
      {"CurrentFolder", {QMetaType::QString, [](TQuorra& q) { return Text(q.CurrentFolder()); },
                         [](TQuorra& q, const QVariant& v) { q.SetCurrentFolder(Text(v)); }}},
      {"DialogAction", {QMetaType::Int, [](TQuorra& q) { return QVariant(q.DialogAction()); },
                        [](TQuorra& q, const QVariant& v) { q.SetDialogAction(v.toInt()); }}},
      {"SaveAsFileName", {QMetaType::QString, [](TQuorra& q) { return Text(q.SaveAsFileName()); },
                          [](TQuorra& q, const QVariant& v) { q.SetSaveAsFileName(Text(v)); }}},
  };
  return table;
}

// The interfaces of the type library, without its node.
QString TypeLibraryInterfaces() {
  const QString xml = QString::fromUtf8(LumbraTypeLibrary());
  const auto first = xml.indexOf(QLatin1String("<interface"));
  const auto end = xml.lastIndexOf(QLatin1String("</interface>")) + QLatin1String("</interface>").size();
  return xml.mid(first, end - first);
}

}  // namespace

TQuorraObject::TQuorraObject(TQuorra& quorra, QDBusConnection connection)
    : Quorra(quorra), Connection(std::move(connection)) {
  Quorra.OnEvent = [this](const QString& name, const QVariantList& args) {
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(QuorraPath),
                                                     QString::fromLatin1(QuorraEventsInterface), name);
    signal.setArguments(args);
    Connection.send(signal);
  };
}

TQuorraObject::~TQuorraObject() {
  Quorra.OnEvent = nullptr;
  if (Registered) Connection.unregisterObject(QString::fromLatin1(QuorraPath));
}

bool TQuorraObject::Register() {
  Registered = Connection.registerVirtualObject(QString::fromLatin1(QuorraPath), this);
  return Registered;
}

QString TQuorraObject::introspect(const QString&) const {
  return TypeLibraryInterfaces() +
         QStringLiteral("\n  <interface name=\"%1\">\n    <method name=\"Release\"/>\n  </interface>\n")
             .arg(QLatin1String(QuorraInstanceInterface));
}

bool TQuorraObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  const QString interface = message.interface();
  QDBusMessage reply;
  if (interface == QLatin1String("org.freedesktop.DBus.Properties")) {
    reply = CallProperties(message);
  } else if (interface == QLatin1String(QuorraInstanceInterface) && message.member() == QLatin1String("Release")) {
    reply = message.createReply();
    // After the reply has gone: the object and the copy end.
    QTimer::singleShot(0, this, [this] {
      if (OnRelease) OnRelease();
    });
  } else if (interface.isEmpty() || interface == QLatin1String(QuorraInterface)) {
    reply = CallMember(message);
  } else {
    return false;
  }
  QDBusConnection(connection).send(reply);
  return true;
}

QDBusMessage TQuorraObject::CallMember(const QDBusMessage& message) {
  const auto found = Methods().find(message.member());
  if (found == Methods().end())
    return message.createErrorReply(QDBusError::UnknownMethod,
                                    QStringLiteral("No method %1 in %2").arg(message.member(), QuorraInterface));
  if (message.signature() != found->second.In)
    return message.createErrorReply(
        QDBusError::InvalidArgs,
        QStringLiteral("%1 takes (%2), not (%3)").arg(message.member(), found->second.In, message.signature()));
  try {
    return message.createReply(found->second.Call(Quorra, message.arguments()));
  } catch (const std::exception& e) {
    return message.createErrorReply(QDBusError::Failed, QString::fromStdString(e.what()));
  }
}

QDBusMessage TQuorraObject::CallProperties(const QDBusMessage& message) {
  const QString member = message.member();
  const TArgs a = message.arguments();
  const QString signature = message.signature();
  const bool ours = !a.isEmpty() && (a[0].toString() == QLatin1String(QuorraInterface) || a[0].toString().isEmpty());
  try {
    if (member == QLatin1String("GetAll") && signature == QLatin1String("s")) {
      QVariantMap all;
      if (ours)
        for (const auto& [name, property] : Properties()) all.insert(name, property.Get(Quorra));
      return message.createReply(QVariant(all));
    }
    const bool get = member == QLatin1String("Get") && signature == QLatin1String("ss");
    const bool set = member == QLatin1String("Set") && signature == QLatin1String("ssv");
    if (!get && !set) return message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("Not a property call"));
    const auto found = Properties().find(a[1].toString());
    if (!ours || found == Properties().end())
      return message.createErrorReply(QDBusError::UnknownProperty, QStringLiteral("No property %1").arg(a[1].toString()));
    if (get) return message.createReply(QVariant::fromValue(QDBusVariant(found->second.Get(Quorra))));
    const QVariant value = a[2].value<QDBusVariant>().variant();
    if (value.typeId() != found->second.Type)
      return message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("Wrong type for %1").arg(found->first));
    found->second.Set(Quorra, value);
    return message.createReply();
  } catch (const std::exception& e) {
    return message.createErrorReply(QDBusError::Failed, QString::fromStdString(e.what()));
  }
}

}  // namespace ferrowin
