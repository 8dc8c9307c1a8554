// The automation object in this process, driven over the session bus by a client on a
// connection of its own, against a real server: the dialog's kinds and its name box, the
// accept and cancel events, a second connection, uploads, and the errors a client gets.

#include <QAbstractItemView>
#include <QComboBox>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "Automation.h"
#include "AutomationBus.h"
#include "AutomationFactory.h"
#include "AutomationHooks.h"
#include "BusClient.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "MainAutomation.h"
#include "Prompts.h"
#include "ServerProcess.h"
#include "Transfer.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;

TEST(NameBox, QuotesSeveralNamesAndNotASingleOne) {
  const struct {
    std::vector<std::string> Names;
    int Count;
    const char* Text;
  } cases[] = {
      {{}, 0, ""},
      {{"a.txt"}, 1, "a.txt"},
      {{"/home/me/site/index.htm"}, 1, "index.htm"},  // the file-name part only
      {{"a.txt", "b b.txt"}, 2, "\"a.txt\" \"b b.txt\""},
      {{"a.txt"}, 2, "\"a.txt\""},  // a folder was selected too: the count stays the selection's
      {{}, 1, ""},                  // one folder selected: nothing to unquote
  };
  for (const auto& c : cases) EXPECT_EQ(NameBoxText(c.Names, c.Count).toStdString(), c.Text) << c.Count;
}

class Automation : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    AskedPrompts().clear();
    SetAutomationServer(true);
    Window = std::make_unique<TfrmMain>();
    Quorra = std::make_unique<TQuorra>(*Window);
    Object = std::make_unique<TQuorraObject>(*Quorra, QDBusConnection::sessionBus());
    ASSERT_TRUE(Object->Register());
    Window->show();
    Client = std::make_unique<TBusClient>(QStringLiteral("client"), QDBusConnection::sessionBus().baseService());
  }
  void Release() override {
    SetDialogAnswerer(nullptr);
    Client.reset();
    Object.reset();
    Quorra.reset();
    Window.reset();
    SetAutomationServer(false);
  }
  THostView& Host() { return *Window->CurrentHostView(); }
  TAutomationPanel& Panel() { return *Window->pnlOpenSave; }
  int IndexOf(const std::string& name) {
    for (int i = 0; i < Host().ListView()->ItemCount(); ++i)
      if (Host().GetItemName(i) == name) return i;
    return -1;
  }
  // ConnectTo over the bus, then the listing.
  bool Connect(TPyFtpServer& server, const QString& folder = {}) {
    const QDBusMessage reply = Client->Call(
        "ConnectTo", {"127.0.0.1", server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password, "", folder});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return WaitFor([&] { return Host().Connected() && Host().ListView()->ItemCount() > 0 && !Host().Animating; });
  }
  QString NameBox() { return Panel().editFileName->text(); }

  std::unique_ptr<TfrmMain> Window;
  std::unique_ptr<TQuorra> Quorra;
  std::unique_ptr<TQuorraObject> Object;
  std::unique_ptr<TBusClient> Client;
};

TEST_F(Automation, TheDialogFollowsItsKindAndTheSelection) {
  TPyFtpServer server;
  std::ofstream(server.RootFile("a.txt")) << "a";
  std::ofstream(server.RootFile("b.txt")) << "b";
  fs::create_directory(server.RootFile("sub"));
  std::ofstream(server.RootFile("sub/in.txt")) << "in";
  // The window is the dialog: no menu, status bar, log, local side or tab buttons.
  for (QWidget* hidden : {static_cast<QWidget*>(Window->menuBar()), static_cast<QWidget*>(Window->statusBar()),
                          static_cast<QWidget*>(Window->memoLog), static_cast<QWidget*>(Window->pgctrlLocal),
                          static_cast<QWidget*>(Window->btnUpload), static_cast<QWidget*>(Window->btnHostNew),
                          static_cast<QWidget*>(Window->btnHostClose)})
    EXPECT_FALSE(hidden->isVisibleTo(Window.get())) << hidden->metaObject()->className();
  EXPECT_TRUE(Panel().isVisible());
  EXPECT_EQ(Window->size(), QSize(600, 400));
  // The buttons 6 pixels from the right edge, the name box and the type list 6 before them.
  const QRect button = Panel().btnOpen->geometry(), box = Panel().editFileName->geometry();
  EXPECT_EQ(Panel().width() - 1 - button.right(), 6);
  EXPECT_EQ(button.left() - 1 - box.right(), 6);
  EXPECT_EQ(Panel().cmboFileTypes->geometry().right(), box.right());
  EXPECT_FALSE(Host().ListView()->isEnabled()) << "until connected";
  Client->Subscribe({"OnConnected", "OnLoggedIn", "OnAccept", "OnCancel"});
  ASSERT_TRUE(Connect(server));
  EXPECT_TRUE(WaitFor([&] { return Client->Events.Count("OnLoggedIn") == 1; }));
  EXPECT_EQ(Client->Events.Count("OnConnected"), 1);
  EXPECT_EQ(Window->windowTitle(), "127.0.0.1 - Ferrowin");
  EXPECT_EQ(Window->pgctrlHost->tabText(Window->pgctrlHost->currentIndex()), "127.0.0.1");
  const int a = IndexOf("a.txt"), b = IndexOf("b.txt"), sub = IndexOf("sub");
  ASSERT_GE(std::min({a, b, sub}), 0);
  EXPECT_EQ(Client->Value("ItemIsFolder", {sub}), QVariant(true));
  EXPECT_EQ(Client->Value("ItemIsFolder", {a}), QVariant(false));
  EXPECT_EQ(Client->Value("ItemCount"), QVariant(3));

  // Open: one file shows bare, more are quoted; folders never show.
  Client->Call("SelectItem", {a, true});
  EXPECT_EQ(Client->Value("ItemIsSelected", {a}), QVariant(true));
  EXPECT_EQ(NameBox(), "a.txt");
  Client->Call("SelectItem", {b, true});
  Client->Call("SelectItem", {sub, true});
  EXPECT_EQ(NameBox(), "\"a.txt\" \"b.txt\"");
  Panel().btnOpen->click();
  EXPECT_TRUE(WaitFor([&] { return Client->Events.Count("OnAccept") == 1; }));
  EXPECT_EQ(Client->Value("ItemIsSelected", {sub}), QVariant(false)) << "folders are deselected before OnAccept";
  EXPECT_EQ(Client->Value("ItemIsSelected", {b}), QVariant(true));
  Panel().btnCancel->click();
  EXPECT_TRUE(WaitFor([&] { return Client->Events.Count("OnCancel") == 1; }));

  // Save as: one item at a time, the name given and then typed comes back on accept.
  ASSERT_TRUE(Client->Set("DialogAction", 2));
  EXPECT_EQ(Client->Get("DialogAction"), QVariant(2));
  EXPECT_EQ(Panel().btnOpen->text(), "Save");
  EXPECT_EQ(Host().ListView()->ReportView()->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(Host().ListView()->IconView()->selectionMode(), QAbstractItemView::SingleSelection);
  ASSERT_TRUE(Client->Set("SaveAsFileName", "new.htm"));
  EXPECT_EQ(NameBox(), "new.htm");
  EXPECT_EQ(Host().ListView()->SelCount(), 0);
  EXPECT_FALSE(Panel().editFileName->isReadOnly());
  Panel().editFileName->setText("typed.htm");
  Panel().btnOpen->click();
  EXPECT_TRUE(WaitFor([&] { return Client->Events.Count("OnAccept") == 2; }));
  EXPECT_EQ(Client->Get("SaveAsFileName"), QVariant("typed.htm"));
  Client->Call("SelectItem", {a, true});
  Client->Call("SelectItem", {b, true});
  EXPECT_EQ(Host().ListView()->SelCount(), 1);
  EXPECT_EQ(NameBox(), "b.txt");

  // Save: the box is read-only and shows the files offered.
  auto boxColour = [&] { return Panel().editFileName->palette().color(QPalette::Base); };
  EXPECT_EQ(boxColour(), Panel().palette().color(QPalette::Base));
  ASSERT_TRUE(Client->Set("DialogAction", 1));
  EXPECT_TRUE(Panel().editFileName->isReadOnly());
  EXPECT_EQ(boxColour(), Panel().palette().color(QPalette::Button)) << "read-only: the button face";
  EXPECT_EQ(Panel().btnOpen->text(), "Save");
  Client->Call("AddToSaveList", {"/home/me/site/one.htm"});
  Client->Call("AddToSaveList", {"two.htm"});
  Client->Call("SelectItem", {a, false});
  EXPECT_EQ(NameBox(), "\"one.htm\" \"two.htm\"");
  Client->Call("ClearSaveList");
  Client->Call("AddToSaveList", {"one.htm"});
  Client->Call("SelectItem", {a, true});
  EXPECT_EQ(NameBox(), "one.htm");

  // Connecting while connected keeps the first connection in its own tab.
  THostView* first = &Host();
  ASSERT_TRUE(Client->Set("DialogAction", 2));
  ASSERT_TRUE(Connect(server, "/sub"));
  EXPECT_EQ(Host().GetFolder(), "/sub/");
  EXPECT_EQ(Window->pgctrlHost->count(), 2);
  EXPECT_NE(&Host(), first);
  EXPECT_TRUE(first->Connected());
  EXPECT_EQ(Host().ListView()->ReportView()->selectionMode(), QAbstractItemView::SingleSelection)
      << "the new tab follows the dialog's kind (save as)";
}

TEST_F(Automation, UploadsGoThroughTheGeneralQueueAndLocalFoldersStay) {
  TPyFtpServer server;
  std::ofstream(server.RootFile("there.txt")) << "t";
  TTempDir disk, selection;
  std::ofstream(disk.File("lower.txt")) << "upload me";
  std::ofstream(selection.File("second.txt")) << "s";
  fs::create_directory(selection.File("folder"));
  std::ofstream(selection.File("folder/inside.txt")) << "i";
  Window->Prefs.ConversionCase = static_cast<int>(TConversionCase::Upper);
  Client->Subscribe({"OnItemCompleted", "OnAllItemsCompleted"});
  // A client that listens to nothing gets nothing, and none of its calls fails for it.
  TBusClient deaf(QStringLiteral("deaf"), Client->Service);
  ASSERT_TRUE(Connect(server));

  ASSERT_EQ(deaf.Call("Upload", {QString::fromStdString(disk.File("lower.txt")), ""}).type(),
            QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return Client->Events.Count("OnAllItemsCompleted") == 1; }, std::chrono::seconds(20)));
  EXPECT_TRUE(fs::exists(server.RootFile("LOWER.TXT"))) << "the converted name, upper case";
  EXPECT_EQ(Window->TransferList->General().Count(), 1);
  EXPECT_EQ(Window->TransferList->General().Item(0)->Size, 9) << "the progress counts the file's bytes";
  EXPECT_EQ(Client->Events.Arguments.value(Client->Events.Names.indexOf("OnItemCompleted")),
            QString::fromStdString(disk.File("lower.txt")));
  // The name given is used as it is, and what is there is replaced without a question.
  ASSERT_EQ(Client->Call("Upload", {QString::fromStdString(disk.File("lower.txt")), "there.txt"}).type(),
            QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return Client->Events.Count("OnAllItemsCompleted") == 2; }, std::chrono::seconds(20)));
  std::ifstream replaced(server.RootFile("there.txt"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(replaced), {}), "upload me");
  EXPECT_TRUE(AskedPrompts().empty());
  EXPECT_EQ(Client->Call("Upload", {QString::fromStdString(disk.File("missing.txt")), "x"}).type(),
            QDBusMessage::ReplyMessage)
      << "a file that cannot be read is ignored quietly";

  // An upload of the local selection sends the file and leaves the folder.
  TLocalView& local = *Window->CurrentLocalView();
  ASSERT_TRUE(local.ChangeFolderWait(selection.Path()));
  local.SelectAll();
  ASSERT_EQ(local.ListView()->SelCount(), 2);
  ASSERT_TRUE(Host().TransferFrom(local));
  ASSERT_TRUE(WaitFor([&] { return Client->Events.Count("OnAllItemsCompleted") == 3; }, std::chrono::seconds(20)));
  EXPECT_TRUE(fs::exists(server.RootFile("SECOND.TXT")));
  EXPECT_FALSE(fs::exists(server.RootFile("FOLDER")));
  EXPECT_EQ(Client->Events.Count("OnItemCompleted"), 3);
}

TEST_F(Automation, FailuresComeBackAsErrorsWithTheirText) {
  const QString outOfRange = QStringLiteral("List index out of bounds (%1)");
  const struct {
    const char* Member;
    QVariantList Args;
    const char* Error;
    QString Text;
  } cases[] = {
      {"ItemIsSelected", {0}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(0)},
      {"ItemIsFolder", {-1}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(-1)},
      {"ItemName", {3}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(3)},
      {"ItemSize", {0}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(0)},
      {"ItemDate", {0}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(0)},
      {"SelectItem", {0, true}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(0)},
      {"RenameItem", {0, "x"}, "org.freedesktop.DBus.Error.Failed", outOfRange.arg(0)},
      {"Download", {"relative/folder"}, "org.freedesktop.DBus.Error.Failed",
       "\"relative/folder\" is not an absolute folder"},
      {"ItemName", {"0"}, "org.freedesktop.DBus.Error.InvalidArgs", "ItemName takes (i), not (s)"},
      {"Nothing", {}, "org.freedesktop.DBus.Error.UnknownMethod", "No method Nothing in Lumbra.IQuorra"},
  };
  for (const auto& c : cases) {
    const QDBusMessage reply = Client->Call(c.Member, c.Args);
    EXPECT_EQ(reply.errorName().toStdString(), c.Error) << c.Member;
    EXPECT_EQ(reply.errorMessage(), c.Text) << c.Member;
  }
  EXPECT_FALSE(Client->Set("DialogAction", 3));
  EXPECT_FALSE(Client->Set("DialogAction", "1"));
  EXPECT_EQ(Client->Get("DialogAction"), QVariant(0));
  // Nothing half done: the refused selection left the list as it was.
  EXPECT_EQ(Host().ListView()->SelCount(), 0);
}

// A download is judged against the folder it writes to, whatever folder the hidden local
// list showed before: what is there is asked about, a same-named file elsewhere is not.
TEST_F(Automation, DownloadJudgesTheFilesOfItsOwnFolder) {
  TPyFtpServer server;
  std::ofstream(server.RootFile("a.txt")) << "SERVER";
  std::ofstream(server.RootFile("b.bin")) << "BINARY";
  TTempDir target, elsewhere;
  std::ofstream(target.File("a.txt")) << "LOCAL FILE";
  std::ofstream(elsewhere.File("b.bin")) << "BIN";
  ASSERT_TRUE(Window->CurrentLocalView()->ChangeFolderWait(elsewhere.Path()));
  std::vector<std::string> asked;
  SetDialogAnswerer([&](QDialog& dialog) {
    asked.push_back(dialog.windowTitle().toStdString());
    return int{QMessageBox::No};
  });
  ASSERT_TRUE(Connect(server));
  Client->Subscribe({"OnAllItemsCompleted"});
  for (const char* name : {"a.txt", "b.bin"}) Client->Call("SelectItem", {IndexOf(name), true});
  ASSERT_EQ(Client->Call("Download", {QString::fromStdString(target.Path())}).type(), QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return Client->Events.Count("OnAllItemsCompleted") == 1; }, std::chrono::seconds(20)));
  SetDialogAnswerer(nullptr);
  EXPECT_EQ(asked, std::vector<std::string>{"Confirm File Overwrite"});
  auto read = [](const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(read(target.File("a.txt")), "LOCAL FILE");
  EXPECT_EQ(read(target.File("b.bin")), "BINARY");
}

// Closing the dialog is cancelling it: no question, and the user's settings stay untouched.
TEST_F(Automation, ClosingTheWindowCancelsAndWritesNothing) {
  TPyFtpServer server;
  std::ofstream(server.RootFile("a.txt")) << "a";
  ASSERT_TRUE(Connect(server));
  Client->Subscribe({"OnCancel"});
  auto files = [&] {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(Home.Path()))
      found.push_back(entry.path().string() + ":" + std::to_string(entry.is_regular_file() ? fs::file_size(entry) : 0));
    return found;
  };
  const auto before = files();
  Window->close();
  EXPECT_TRUE(WaitFor([&] { return Client->Events.Count("OnCancel") == 1; }));
  EXPECT_FALSE(Window->isVisible());
  EXPECT_TRUE(AskedPrompts().empty());
  EXPECT_EQ(files(), before);
  EXPECT_TRUE(Host().Connected()) << "the copy stays its client's";
}

// The factory answers a client once its copy is on the bus, or with why there is none; either
// way it is idle again. The copy here is a script that only records how it was started.
TEST(QuorraFactory, AnswersWhenTheCopyComesOrSaysWhyNot) {
  TTempDir dir;
  const std::string script = dir.File("copy.sh"), started = dir.File("started");
  std::ofstream(script) << "#!/bin/sh\necho \"$1\" > " << started << ".part && mv " << started << ".part " << started << "\n";
  fs::permissions(script, fs::perms::owner_all);
  const struct {
    std::string Program;
    bool Registers;
    const char* Error;
  } cases[] = {{script, true, ""}, {script, false, "did not come onto the bus"}, {dir.File("none"), false, "Cannot start"}};
  QDBusConnection bus = QDBusConnection::sessionBus();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Program + (c.Registers ? " registers" : ""));
    fs::remove(started);
    TQuorraFactory factory(QString::fromStdString(c.Program), bus);
    factory.StartLimit = std::chrono::milliseconds(c.Registers ? 30000 : 300);
    ASSERT_TRUE(bus.registerObject(FactoryPath, &factory, QDBusConnection::ExportScriptableSlots));
    TBusClient client(QStringLiteral("client"), bus.baseService()), copy(QStringLiteral("copy"), bus.baseService());
    QDBusPendingCall pending = client.Bus.asyncCall(
        QDBusMessage::createMethodCall(client.Service, FactoryPath, "Lumbra.QuorraFactory", "CreateQuorra"));
    if (c.Registers) {
      ASSERT_TRUE(WaitFor([&] { return fs::exists(started); }));
      const QString args = QString::fromStdString(ReadFile(started)).trimmed();
      EXPECT_TRUE(args.startsWith("--automation=" + client.Bus.baseService() + ",")) << args.toStdString();
      copy.Call(FactoryPath, "Lumbra.QuorraFactory", "Register", {args.section(',', 1)});
    }
    ASSERT_TRUE(WaitFor([&] { return pending.isFinished(); }, std::chrono::seconds(40)));
    const QDBusMessage reply = pending.reply();
    if (c.Registers) EXPECT_EQ(reply.arguments().value(0).toString(), copy.Bus.baseService());
    else EXPECT_TRUE(reply.errorMessage().contains(c.Error)) << reply.errorMessage().toStdString();
    EXPECT_TRUE(factory.Idle());
    bus.unregisterObject(FactoryPath);
  }
}

// A released copy's object is off the bus before the copy ends: nothing reaches what is gone.
class AutomationCopy : public TViewTest {};
TEST_F(AutomationCopy, ReleaseTakesTheObjectOffTheBusFirst) {
  std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
  TfrmMain main;
  TAutomationStart start;
  start.Kind = TAutomationStart::TKind::Copy;
  start.Token = "token";
  QDBusConnection bus = QDBusConnection::sessionBus();
  TAutomationCopy copy(main, start, bus);
  bool ended = false, servedAtEnd = true;
  copy.OnEnd = [&] {
    ended = true;
    servedAtEnd = bus.objectRegisteredAt(QStringLiteral("/Quorra")) != nullptr;
  };
  ASSERT_TRUE(copy.Start());
  ASSERT_NE(bus.objectRegisteredAt(QStringLiteral("/Quorra")), nullptr);
  TBusClient client(QStringLiteral("client"), bus.baseService());
  EXPECT_EQ(client.Call("/Quorra", "Lumbra.QuorraInstance", "Release").type(), QDBusMessage::ReplyMessage);
  ASSERT_TRUE(WaitFor([&] { return ended; }));
  EXPECT_FALSE(servedAtEnd);
}

// Every member of the shipped type library is served, in its order, and answers (a call
// with no arguments is refused for its signature, never as an unknown method).
TEST_F(Automation, TheObjectServesTheTypeLibrary) {
  const QDBusMessage reply = Client->Call("/Quorra", "org.freedesktop.DBus.Introspectable", "Introspect");
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
  const QString served = reply.arguments().value(0).toString();
  const QRegularExpression member(R"x(<(method|property|signal) name="(\w+)")x");
  auto members = [&](const QString& xml) {
    QStringList names;
    for (auto it = member.globalMatch(xml); it.hasNext();) names << it.next().captured(2);
    return names;
  };
  const QStringList shipped = members(QString::fromUtf8(LumbraTypeLibrary()));
  ASSERT_EQ(shipped.size(), 20 + 4 + 10);  // methods, properties, events
  EXPECT_EQ(members(served).mid(0, shipped.size()), shipped);
  EXPECT_TRUE(served.contains(R"(<annotation name="Lumbra.DispId" value="20"/>)"));
  const QRegularExpression method(R"x(<method name="(\w+)")x");
  for (auto it = method.globalMatch(QString::fromUtf8(LumbraTypeLibrary())); it.hasNext();) {
    const QString name = it.next().captured(1);
    const QDBusMessage answer = Client->Call(name, {1.5});
    EXPECT_EQ(answer.errorName(), "org.freedesktop.DBus.Error.InvalidArgs") << name.toStdString();
  }
  const QDBusMessage all = Client->Property("GetAll", {});
  EXPECT_EQ(qdbus_cast<QVariantMap>(all.arguments().value(0)).keys(),
            QStringList({"CurrentFolder", "DialogAction", "Mask", "SaveAsFileName"}));
}

}  // namespace
}  // namespace ferrowin::test
