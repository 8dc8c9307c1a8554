#pragma once
// A client of an automation object on a bus connection of its own. Calls are asynchronous
// and waited for on the event loop, so the object may live on this very thread; the
// recorder keeps every event signal the client subscribed to.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>

#include "ViewTestSupport.h"

namespace ferrowin::test {

class TSignalRecorder : public QObject {
  Q_OBJECT
 public:
  QStringList Names;      // in the order received
  QStringList Arguments;  // the first argument of each, or empty
  [[nodiscard]] int Count(const QString& name) const { return static_cast<int>(Names.count(name)); }
 public Q_SLOTS:
  void Received(const QDBusMessage& message) {
    Names << message.member();
    Arguments << (message.arguments().isEmpty() ? QString() : message.arguments().first().toString());
  }
};

class TBusClient {
 public:
  TBusClient(const QString& connectionName, QString service)
      : Name(connectionName),
        Bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName)),
        Service(std::move(service)) {}
  ~TBusClient() { Leave(); }
  void Leave() {
    Bus = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(Name);
  }

  QDBusMessage Call(const QString& path, const QString& interface, const QString& member, const QVariantList& args = {},
                    std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    QDBusMessage call = QDBusMessage::createMethodCall(Service, path, interface, member);
    call.setArguments(args);
    QDBusPendingCall pending = Bus.asyncCall(call, static_cast<int>(limit.count()));
    WaitFor([&] { return pending.isFinished(); }, limit + std::chrono::seconds(5));
    return pending.reply();
  }
  QDBusMessage Call(const QString& member, const QVariantList& args = {}) {
    return Call(QStringLiteral("/Quorra"), QStringLiteral("Lumbra.IQuorra"), member, args);
  }
  // The first value of a reply, or an invalid value for an error.
  QVariant Value(const QString& member, const QVariantList& args = {}) {
    const QDBusMessage reply = Call(member, args);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().first()
                                                                                     : QVariant();
  }
  QDBusMessage Property(const QString& member, const QVariantList& args) {
    return Call(QStringLiteral("/Quorra"), QStringLiteral("org.freedesktop.DBus.Properties"), member,
                QVariantList{QStringLiteral("Lumbra.IQuorra")} + args);
  }
  QVariant Get(const QString& name) {
    const QDBusMessage reply = Property(QStringLiteral("Get"), {name});
    return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first().value<QDBusVariant>().variant();
  }
  bool Set(const QString& name, const QVariant& value) {
    return Property(QStringLiteral("Set"), {name, QVariant::fromValue(QDBusVariant(value))}).type() ==
           QDBusMessage::ReplyMessage;
  }
  void Subscribe(const QStringList& events) {
    for (const QString& event : events)
      Bus.connect(Service, QStringLiteral("/Quorra"), QStringLiteral("Lumbra.IQuorraEvents"), event, &Events,
                  SLOT(Received(QDBusMessage)));
  }

  QString Name;
  QDBusConnection Bus;
  QString Service;
  TSignalRecorder Events;
};

}  // namespace ferrowin::test
