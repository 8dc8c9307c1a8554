#include "SingleInstance.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace ferrowin {

namespace {

constexpr int WaitMs = 3000;
const QByteArray ComeForward = "come forward\n";

std::function<void()>& Handler() {
  static std::function<void()> handler;
  return handler;
}

QString UserName() {
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
    return QString::fromLocal8Bit(pw->pw_name);
  return QString::number(::getuid());
}

// The user's own runtime folder keeps other users from taking the name; else the temporary
// folder, where the socket is made private to the user.
QString SocketFolder() {
  QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime;
  return QDir::tempPath();
}

void Listen(QLocalServer* server) {
  QObject::connect(server, &QLocalServer::newConnection, server, [server] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        if (!socket->canReadLine()) return;
        if (socket->readLine() == ComeForward && Handler()) Handler()();
        socket->disconnectFromServer();
      });
    }
  });
}

}  // namespace

QString SingleInstanceName(const QString& programFile) {
  return SocketFolder() + "/" + QFileInfo(programFile).fileName() + "-" + UserName();
}

bool CheckSingleInstance(const QString& programFile) {
  QString name = SingleInstanceName(programFile);
  // Two copies started at the same moment must not both find no server and both listen.
  QLockFile lock(name + ".lock");
  bool locked = lock.tryLock(WaitMs);

  QLocalSocket socket;
  socket.connectToServer(name);
  if (socket.waitForConnected(WaitMs)) {
    socket.write(ComeForward);
    socket.waitForBytesWritten(WaitMs);
    socket.disconnectFromServer();
    return false;
  }
  // Nobody answers: a socket left by a copy that ended abnormally is in the way.
  QLocalServer::removeServer(name);
  auto* server = new QLocalServer(QCoreApplication::instance());
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (server->listen(name)) Listen(server);
  if (locked) lock.unlock();
  return true;
}

void SetComeForwardHandler(std::function<void()> handler) { Handler() = std::move(handler); }

}  // namespace ferrowin
