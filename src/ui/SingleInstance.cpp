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
const QByteArray OpenURL = "open ";  // followed by the URL and a line feed
constexpr qint64 MaxRequest = 8192;

std::function<void(const QString&)>& Handler() {
  static std::function<void(const QString&)> handler;
  return handler;
}

QByteArray Request(const QString& url) {
  return url.isEmpty() ? ComeForward : OpenURL + url.toUtf8() + '\n';
}

void Answer(const QByteArray& line) {
  if (!Handler()) return;
  if (line == ComeForward) Handler()(QString());
  else if (line.startsWith(OpenURL) && line.endsWith('\n'))
    Handler()(QString::fromUtf8(line.mid(OpenURL.size()).chopped(1)));
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
        if (!socket->canReadLine() && socket->bytesAvailable() < MaxRequest) return;
        Answer(socket->readLine(MaxRequest));
        socket->disconnectFromServer();
      });
    }
  });
}

}  // namespace

QString SingleInstanceName(const QString& programFile) {
  return SocketFolder() + "/" + QFileInfo(programFile).fileName() + "-" + UserName();
}

bool CheckSingleInstance(const QString& programFile, const QString& url) {
  QString name = SingleInstanceName(programFile);
  // Two copies started at the same moment must not both find no server and both listen.
  QLockFile lock(name + ".lock");
  bool locked = lock.tryLock(WaitMs);

  QLocalSocket socket;
  socket.connectToServer(name);
  if (socket.waitForConnected(WaitMs)) {
    socket.write(Request(url));
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

void SetComeForwardHandler(std::function<void(const QString& url)> handler) { Handler() = std::move(handler); }

}  // namespace ferrowin
