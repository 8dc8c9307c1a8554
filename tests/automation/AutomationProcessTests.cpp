// The program as D-Bus starts it: two clients ask the factory for a copy each; one releases
// its copy, the other connects its copy to a real server, downloads two files, hears each
// file and the end of all of them, and leaves the bus. Each copy ends with its client.

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QFile>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "BusClient.h"
#include "ServerProcess.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;

// Ended: no such process, or only its zombie is left.
bool Ended(uint pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  const QByteArray text = stat.readAll();
  return text.mid(text.lastIndexOf(')') + 2, 1) == "Z";
}

class AutomationProcess : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    // What D-Bus gives the programs it starts: no screen, and this test's private home.
    QDBusMessage update = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                         "org.freedesktop.DBus", "UpdateActivationEnvironment");
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QMap<QString, QString> environment{{"QT_QPA_PLATFORM", "offscreen"},
                                       {"FERROWIN_HOME", QString::fromStdString(Home.Path())},
                                       {"XDG_RUNTIME_DIR", QString::fromStdString(Home.Path())}};
    update << QVariant::fromValue(environment);
    ASSERT_EQ(QDBusConnection::sessionBus().call(update).type(), QDBusMessage::ReplyMessage);
  }
  // A copy for the client: its unique name, through the factory D-Bus starts.
  static QString CreateCopy(TBusClient& client) {
    const QDBusMessage reply =
        client.Call("/Factory", "Lumbra.QuorraFactory", "CreateQuorra", {}, std::chrono::seconds(60));
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().value(0).toString();
  }
  static uint PidOf(const QString& name) {
    return QDBusConnection::sessionBus().interface()->servicePid(name).value();
  }
};

TEST_F(AutomationProcess, EachClientHasItsOwnCopyUntilItLeaves) {
  TPyFtpServer server;
  std::ofstream(server.RootFile("one.txt")) << "first file";
  std::ofstream(server.RootFile("two.txt")) << "second file";
  TTempDir downloads;
  TBusClient first("first", "Lumbra.Quorra"), second("second", "Lumbra.Quorra");
  const QString copy1 = CreateCopy(first), copy2 = CreateCopy(second);
  ASSERT_TRUE(copy1.startsWith(':') && copy2.startsWith(':'));
  ASSERT_NE(copy1, copy2);
  const uint pid1 = PidOf(copy1), pid2 = PidOf(copy2);
  ASSERT_NE(pid1, pid2);

  second.Service = copy2;
  EXPECT_EQ(second.Call("/Quorra", "Lumbra.QuorraInstance", "Release").type(), QDBusMessage::ReplyMessage);
  EXPECT_TRUE(WaitFor([&] { return Ended(pid2); }, std::chrono::seconds(20))) << "a released copy ends";

  first.Service = copy1;
  first.Subscribe({"OnItemCompleted", "OnAllItemsCompleted"});
  ASSERT_EQ(first.Call("ConnectTo", {"127.0.0.1", server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password, "", ""})
                .type(),
            QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return first.Value("ItemCount").toInt() == 2; }, std::chrono::seconds(20)));
  for (int i = 0; i < 2; ++i) first.Call("SelectItem", {i, true});
  ASSERT_EQ(first.Call("Download", {QString::fromStdString(downloads.Path())}).type(), QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return first.Events.Count("OnAllItemsCompleted") == 1; }, std::chrono::seconds(30)));
  EXPECT_EQ(first.Events.Names, QStringList({"OnItemCompleted", "OnItemCompleted", "OnAllItemsCompleted"}));
  EXPECT_EQ(first.Events.Arguments.mid(0, 2),
            QStringList({QString::fromStdString(downloads.File("one.txt")), QString::fromStdString(downloads.File("two.txt"))}));
  std::ifstream got(downloads.File("two.txt"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(got), {}), "second file");

  // The factory stays a while for the next client, past its checks of the bus.
  const uint factory = PidOf("Lumbra.Quorra");
  ASSERT_NE(factory, 0u);
  EXPECT_FALSE(WaitFor([&] { return Ended(factory); }, std::chrono::seconds(5))) << "the factory left early";
  first.Leave();
  EXPECT_TRUE(WaitFor([&] { return Ended(pid1); }, std::chrono::seconds(20))) << "the copy outlived its client";
  EXPECT_FALSE(fs::exists(Home.File("ferrowin.ini.bak")));
}

}  // namespace
}  // namespace ferrowin::test
