// The factory process and the copy's side of the start.

#include "AutomationFactory.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <QUuid>
#include <cstring>

#include "Automation.h"
#include "AutomationBus.h"
#include "Main.h"

namespace ferrowin {
namespace {

constexpr const char* FactorySwitch = "--automation-factory";
constexpr const char* CopySwitch = "--automation=";
constexpr const char* Detached = "-";
constexpr int BusCheckMs = 2000;
constexpr qint64 FactoryIdleMs = 60000;

// The session bus is gone (its session ended): nothing is left to serve.
void QuitWhenBusGone(QObject* owner, QDBusConnection connection, std::function<bool()> idle = {}) {
  auto* check = new QTimer(owner);
  auto* since = new QElapsedTimer;
  since->start();
  QObject::connect(check, &QTimer::timeout, owner, [connection, idle, since] {
    if (idle && !idle()) since->restart();
    if (!connection.isConnected() || (idle && since->elapsed() > FactoryIdleMs)) QCoreApplication::quit();
  });
  QObject::connect(check, &QObject::destroyed, [since] { delete since; });
  check->start(BusCheckMs);
}

}  // namespace

TAutomationStart ReadAutomationStart(const QStringList& args) {
  TAutomationStart start;
  for (const QString& arg : args) {
    if (arg == QLatin1String(FactorySwitch)) {
      start.Kind = TAutomationStart::TKind::Factory;
    } else if (arg.startsWith(QLatin1String(CopySwitch))) {
      const QStringList parts = arg.mid(static_cast<qsizetype>(strlen(CopySwitch))).split(QLatin1Char(','));
      if (parts.size() != 2 || parts[0].isEmpty()) continue;
      start.Kind = TAutomationStart::TKind::Copy;
      start.Client = parts[0] == QLatin1String(Detached) ? QString() : parts[0];
      start.Token = parts[1];
    }
  }
  return start;
}

TQuorraFactory::TQuorraFactory(QString program, QDBusConnection connection)
    : Program(std::move(program)), Connection(std::move(connection)) {}

TQuorraFactory::~TQuorraFactory() {
  for (const auto& [token, request] : Pending)
    Connection.send(request.createErrorReply(QDBusError::Failed, QStringLiteral("The factory ended")));
}

QString TQuorraFactory::CreateQuorra() { return Start(message().service()); }
QString TQuorraFactory::CreateDetachedQuorra() { return Start(QString::fromLatin1(Detached)); }

QString TQuorraFactory::Start(const QString& client) {
  const QString token = QUuid::createUuid().toString(QUuid::Id128);
  const QStringList args{QString::fromLatin1(CopySwitch) + client + QLatin1Char(',') + token};
  if (!QProcess::startDetached(Program, args)) {
    sendErrorReply(QDBusError::Failed, QStringLiteral("Cannot start %1").arg(Program));
    return {};
  }
  setDelayedReply(true);
  Pending.emplace(token, message());
  QTimer::singleShot(StartLimit, this, [this, token] { GiveUp(token); });
  return {};
}

void TQuorraFactory::Register(const QString& token) {
  const auto found = Pending.find(token);
  if (found == Pending.end()) return;
  Connection.send(found->second.createReply(QVariant(message().service())));
  Pending.erase(found);
}

void TQuorraFactory::GiveUp(const QString& token) {
  const auto found = Pending.find(token);
  if (found == Pending.end()) return;
  Connection.send(found->second.createErrorReply(
      QDBusError::Failed, QStringLiteral("The new copy of %1 did not come onto the bus").arg(Program)));
  Pending.erase(found);
}

int RunAutomationFactory(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  TQuorraFactory factory(QCoreApplication::applicationFilePath(), bus);
  if (!bus.registerObject(QString::fromLatin1(FactoryPath), &factory, QDBusConnection::ExportScriptableSlots) ||
      !bus.registerService(QString::fromLatin1(FactoryService)))
    return 1;  // not on a bus, or another factory serves already
  QuitWhenBusGone(&factory, bus, [&factory] { return factory.Idle(); });
  return QCoreApplication::exec();
}

TAutomationCopy::TAutomationCopy(TfrmMain& main, TAutomationStart start, QDBusConnection connection)
    : Main(main), Params(std::move(start)), Connection(std::move(connection)) {}

TAutomationCopy::~TAutomationCopy() {
  Object.reset();
  Quorra.reset();
}

bool TAutomationCopy::Start() {
  if (!Connection.isConnected()) return false;
  QGuiApplication::setQuitOnLastWindowClosed(false);  // a hidden dialog is still the client's
  Quorra = std::make_unique<TQuorra>(Main);
  Object = std::make_unique<TQuorraObject>(*Quorra, Connection);
  Object->OnRelease = [this] { End(); };
  if (!Object->Register()) return false;
  QuitWhenBusGone(this, Connection);
  if (!Params.Client.isEmpty()) {
    Watcher = new QDBusServiceWatcher(Params.Client, Connection, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(Watcher, &QDBusServiceWatcher::serviceUnregistered, this, &TAutomationCopy::End);
    // The client may have gone while we started.
    if (!Connection.interface()->isServiceRegistered(Params.Client)) return false;
  }
  QDBusMessage announce = QDBusMessage::createMethodCall(QString::fromLatin1(FactoryService),
                                                         QString::fromLatin1(FactoryPath),
                                                         QStringLiteral("Lumbra.QuorraFactory"), QStringLiteral("Register"));
  announce << Params.Token;
  Connection.asyncCall(announce);
  return true;
}

void TAutomationCopy::End() {
  if (!Quorra) return;
  if (Watcher) Watcher->disconnect(this);
  Object.reset();
  Quorra.reset();  // hides the window, aborts the connections
  if (OnEnd) OnEnd();
  else QCoreApplication::quit();
}

}  // namespace ferrowin
