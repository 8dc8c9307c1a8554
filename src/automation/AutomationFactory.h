#pragma once
// One copy of the program per automation client. The factory owns the well-known name
// Lumbra.Quorra (D-Bus starts it from the service file): CreateQuorra starts a fresh copy in
// automation mode and answers with that copy's unique bus name once the copy has its object
// on the bus. The copy serves the client that asked and ends when that client leaves the bus
// or calls Release.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

class QDBusServiceWatcher;
class QTimer;

namespace ferrowin {

class TfrmMain;
class TQuorra;
class TQuorraObject;

inline constexpr const char* FactoryService = "Lumbra.Quorra";
inline constexpr const char* FactoryPath = "/Factory";

// How this process was started: "--automation-factory", "--automation=CLIENT,TOKEN" or
// neither. CLIENT "-": a detached copy.
struct TAutomationStart {
  enum class TKind { None, Factory, Copy };
  TKind Kind = TKind::None;
  QString Client;  // the bus name of the client a copy serves, empty for a detached copy
  QString Token;   // what the copy tells the factory, so that it knows the copy
};
[[nodiscard]] TAutomationStart ReadAutomationStart(const QStringList& args);

class TQuorraFactory : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "Lumbra.QuorraFactory")
 public:
  // program: what is started for each client.
  TQuorraFactory(QString program, QDBusConnection connection);
  ~TQuorraFactory() override;

  // A copy that has not announced itself by then is given up.
  std::chrono::milliseconds StartLimit{30000};
  [[nodiscard]] bool Idle() const { return Pending.empty(); }

 public Q_SLOTS:
  // The unique bus name of a new copy for the caller: it ends when the caller leaves the
  // bus or releases it.
  Q_SCRIPTABLE QString CreateQuorra();
  // The same, for a shell whose every call is a client of its own (gdbus): the copy ends
  // only when released (or when the session ends).
  Q_SCRIPTABLE QString CreateDetachedQuorra();
  // A copy has its object on the bus.
  Q_SCRIPTABLE void Register(const QString& token);

 private:
  QString Start(const QString& client);
  void GiveUp(const QString& token);

  QString Program;
  QDBusConnection Connection;
  std::map<QString, QDBusMessage> Pending;  // by token: the client's waiting request
};

// The factory's process: no window; ends when idle for a minute or when the bus goes.
int RunAutomationFactory(int argc, char** argv);

class TAutomationCopy : public QObject {
  Q_OBJECT
 public:
  TAutomationCopy(TfrmMain& main, TAutomationStart start, QDBusConnection connection);
  ~TAutomationCopy() override;

  // Puts the object on the bus and tells the factory; false when that is not possible.
  [[nodiscard]] bool Start();
  // The client has gone or released the object: after the object is gone (window hidden,
  // connections aborted). Empty: the application quits.
  std::function<void()> OnEnd;

 private:
  void End();

  TfrmMain& Main;
  TAutomationStart Params;
  QDBusConnection Connection;
  std::unique_ptr<TQuorra> Quorra;
  std::unique_ptr<TQuorraObject> Object;
  QDBusServiceWatcher* Watcher = nullptr;
};

}  // namespace ferrowin
