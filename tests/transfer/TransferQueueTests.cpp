// The transfer queue driven on its own against pyftpdlib and the scripted server: items,
// events, the connection pool, the batch arithmetic and the ends an item can come to.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "Options.h"
#include "Prompts.h"
#include "Transfer.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return data;
}

std::int64_t MTime(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}
std::int64_t Seconds(TDateTime date) {
  return std::chrono::duration_cast<std::chrono::seconds>(ToTimePoint(date).time_since_epoch()).count();
}

// Every event of a queue, as text.
struct TQueueEvents {
  explicit TQueueEvents(TTransferItems& q) {
    auto named = [this](const char* event) {
      return [this, event](TTransferItems&, TTransferItem& item) {
        Lines.push_back(std::string(event) + " " + item.SourceName);
      };
    };
    q.OnItemAdded = named("added");
    q.OnItemStarted = named("started");
    q.OnItemCompleted = named("completed");
    q.OnItemStateChange = [this](TTransferItems&, TTransferItem& item) {
      Lines.push_back("state " + item.SourceName + " " + std::to_string(item.State));
    };
    q.OnItemProgress = [this](TTransferItems&, TTransferItem&) { ++Progress; };
    q.OnConnect = [this](TTransferItems&, TFTPComponent&) { Lines.push_back("connect"); };
    q.OnLog = [this](TTransferItems&, TFTPComponent&, const std::string&, TColor) { ++LogLines; };
  }
  [[nodiscard]] int Count(const std::string& line) const {
    return static_cast<int>(std::count(Lines.begin(), Lines.end(), line));
  }
  Names Lines;
  int Progress = 0;
  int LogLines = 0;
};

class TransferQueue : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    Prefs.SingleConnectionsOnly = false;
    Prefs.UsePASV = true;
    List = std::make_unique<TTransferItemsList>(&Prefs);
    Queue = &List->CreateQueue("tab");
    Events = std::make_unique<TQueueEvents>(*Queue);
    AskedPrompts().clear();
    SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
  }
  void Release() override {
    List.reset();
    QCoreApplication::processEvents();  // connections released later go now
    SetPromptAnswerer(nullptr);
    Fake.reset();
  }
  TTransferEntry Download(const std::string& name, int port, const std::string& user = TPyFtpServer::UserName,
                          const std::string& password = TPyFtpServer::Password) {
    TTransferEntry e;
    e.Host = "127.0.0.1";
    e.Port = static_cast<std::uint32_t>(port);
    e.UserID = user;
    e.Password = password;
    e.SourceFolder = "/";
    e.DestFolder = Local.Path() + "/";
    e.SourceName = name;
    return e;
  }
  int Add(const TTransferEntry& e) { return Queue->AddEntry(e); }
  bool WaitIdle() {
    return WaitFor([&] { return Queue->StateCount[isPending] == 0 && Queue->StateCount[isBusy] == 0; },
                   std::chrono::seconds(30));
  }
  // A scripted server whose downloads stall, so items behind the first stay pending.
  void StartStallingServer() {
    TScript script;
    script.StandardLogin()
        .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
        .On("RETR .*", {Send("150 Here it comes."), Action("data_partial", Json("xx"))})
        .On("ABOR", {Send("426 Transfer aborted."), Send("226 Abort successful.")});
    Fake = std::make_unique<TFakeFtpServer>(script.ToJson());
  }
  // A scripted server whose every download is "data".
  void StartServingServer() {
    TScript script;
    script.StandardLogin()
        .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
        .On("RETR .*", {Send("150 Here it comes."), Action("data", Json("data")), Send("226 Done.")});
    Fake = std::make_unique<TFakeFtpServer>(script.ToJson());
  }
  bool WaitRetr() {
    return WaitFor([&] {
      Names got = Fake->Received();
      return std::any_of(got.begin(), got.end(), [](const std::string& l) { return l.rfind("RETR", 0) == 0; });
    });
  }

  TPyFtpServer Server;
  std::unique_ptr<TFakeFtpServer> Fake;
  TTempDir Local;
  TPreferences Prefs;
  std::unique_ptr<TTransferItemsList> List;
  TTransferItems* Queue = nullptr;
  std::unique_ptr<TQueueEvents> Events;
};

TEST_F(TransferQueue, DownloadsFilesAndFoldersReusingOnePooledConnection) {
  const std::string data = RandomBytes(300000, 1);
  WriteFile(Server.RootFile("a.bin"), data);
  WriteFile(Server.RootFile("b.txt"), "line\r\n");
  fs::create_directory(Local.File("exists"));
  struct {
    std::string Name;
    bool Folder;
    TTransferState End;
  } cases[] = {
      {"a.bin", false, isDone},
      {"new", true, isDone},
      {"exists", true, isError},  // a local folder already there
      {"..", false, isError},     // never a path outside the destination
      {"b.txt", false, isDone},
  };
  for (const auto& c : cases) {
    TTransferEntry e = Download(c.Name, Server.Port());
    e.IsFolder = c.Folder;
    e.Size = c.Name == "a.bin" ? static_cast<std::int64_t>(data.size()) : (c.Name == "b.txt" ? 6 : 0);
    ASSERT_GE(Add(e), 0) << c.Name;
  }
  ASSERT_TRUE(WaitIdle());
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(Queue->Item(static_cast<int>(i))->State, cases[i].End) << cases[i].Name;
  EXPECT_EQ(ReadFile(Local.File("a.bin")), data);
  auto sent = [&](const std::string& command) {
    return std::any_of(Queue->Log.begin(), Queue->Log.end(),
                       [&](const TQueueLogLine& l) { return l.Message.rfind(command, 0) == 0; });
  };
  EXPECT_TRUE(sent("TYPE A")) << "b.txt goes as text by its extension";
  EXPECT_TRUE(sent("TYPE I"));
  EXPECT_TRUE(fs::is_directory(Local.File("new")));
  EXPECT_EQ(Queue->Connections.size(), 1u);
  EXPECT_EQ(Events->Count("connect"), 1);
  EXPECT_EQ(Queue->DoneCount, 5);
  EXPECT_EQ(Queue->StateCount[isDone], 3);
  EXPECT_EQ(Queue->StateCount[isError], 2);
  // Text mode counts what the local file holds: the line ends in LF here.
  EXPECT_EQ(ReadFile(Local.File("b.txt")), "line\n");
  EXPECT_EQ(Queue->BytesDone, static_cast<std::int64_t>(data.size()) + 5);
  EXPECT_EQ(Queue->PercentDone(), 100);
  EXPECT_EQ(Queue->Item(0)->BytesDone, static_cast<std::int64_t>(data.size()));
  EXPECT_EQ(Queue->Item(0)->PercentDone(), 100);
  EXPECT_GT(Events->LogLines, 0);
  EXPECT_EQ(Events->LogLines, static_cast<int>(Queue->Log.size()));
  Names first;
  for (const auto& line : Events->Lines)
    if (line.find("a.bin") != std::string::npos || line == "connect") first.push_back(line);
  EXPECT_EQ(first, (Names{"added a.bin", "state a.bin 1", "started a.bin", "connect", "completed a.bin",
                          "state a.bin 2"}));
  EXPECT_GT(Events->Progress, 0);
}

TEST_F(TransferQueue, DuplicateRefusedWhileQueuedAcceptedOnceEnded) {
  WriteFile(Server.RootFile("a.bin"), RandomBytes(1000, 2));
  ASSERT_EQ(Add(Download("a.bin", Server.Port())), 0);
  EXPECT_EQ(Add(Download("a.bin", Server.Port())), -1);
  ASSERT_EQ(AskedPrompts().size(), 1u);
  EXPECT_EQ(AskedPrompts()[0].Text, "\"a.bin\" is already in the transfer queue");
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Add(Download("a.bin", Server.Port())), 1);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue->StateCount[isDone], 2);
}

TEST_F(TransferQueue, AnItemThatCannotLogOnEndsInErrorAndTheQueueGoesOn) {
  WriteFile(Server.RootFile("a.bin"), "abc");
  Add(Download("a.bin", Server.Port(), TPyFtpServer::UserName, "wrong"));
  TTransferEntry good = Download("a.bin", Server.Port());
  good.DestName = "other";  // not a duplicate: another login
  Add(good);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue->Item(0)->State, isError);
  EXPECT_EQ(Queue->Item(1)->State, isDone);
  auto has530 = std::any_of(Queue->Log.begin(), Queue->Log.end(),
                            [](const TQueueLogLine& l) { return l.Message.rfind("530", 0) == 0; });
  EXPECT_TRUE(has530) << "the server's reason is in the queue's log";
}

TEST_F(TransferQueue, PoolKeptForOneLoginReplacedForAnother) {
  StartServingServer();
  // The third is replaced from within the second's completion, on the connection going.
  Add(Download("1", Fake->Port(), "joe", "pw"));
  Add(Download("2", Fake->Port(), "joe", "pw"));
  Add(Download("3", Fake->Port(), "ann", "pw"));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Fake->Connections(), 2);
  EXPECT_EQ(Queue->Connections.size(), 1u);
  EXPECT_EQ(Queue->Connections[0]->User, "ann");
  EXPECT_EQ(Queue->StateCount[isDone], 3);
  EXPECT_EQ(ReadFile(Local.File("3")), "data");
  for (const auto& item : Queue->Items)  // else the item, when it goes, writes into the freed one
    EXPECT_TRUE(!item->Connection || Queue->InPool(item->Connection)) << item->SourceName;
  // A late login on the kept connection starts nothing that has ended.
  TFTPComponent& kept = *Queue->Connections[0];
  kept.OnLoggedIn(kept);
  EXPECT_EQ(Queue->StateCount[isBusy], 0);
}

// An item of a firewall site logs on through the preferences' firewall (here a user with
// login: the firewall's own name first, then user@host); otherwise straight to its host.
TEST_F(TransferQueue, FirewallSitesLogOnThroughThePreferencesFirewall) {
  StartServingServer();
  Prefs.FirewallType = 2;
  Prefs.FirewallHost = "127.0.0.1";
  Prefs.FirewallPort = Fake->Port();
  Prefs.FirewallUser = "fw";
  Prefs.FirewallPassword = "fwpw";
  struct {
    bool Enabled, Site;
    const char* User;
    Names Logins;
  } cases[] = {
      {true, true, "joe", {"USER fw", "PASS fwpw", "USER joe@origin.example", "PASS pw"}},
      {true, false, "ann", {"USER ann", "PASS pw"}},
      {false, true, "kim", {"USER kim", "PASS pw"}},
  };
  for (int connection = 0; connection < 3; ++connection) {  // a new login each: a new connection
    const auto& c = cases[connection];
    Prefs.FirewallEnabled = c.Enabled;
    TTransferEntry e = Download(c.User, Fake->Port(), c.User, "pw");
    e.UseFirewall = c.Site;
    if (c.Enabled && c.Site) {  // reached only through the firewall
      e.Host = "origin.example";
      e.Port = 21;
    }
    Add(e);
    ASSERT_TRUE(WaitIdle()) << c.User;
    EXPECT_EQ(ReadFile(Local.File(c.User)), "data") << c.User;
    Names logins;
    for (const std::string& line : Fake->Received(connection))
      if (line.rfind("USER", 0) == 0 || line.rfind("PASS", 0) == 0) logins.push_back(line);
    EXPECT_EQ(logins, c.Logins) << c.User;
  }
}

TEST_F(TransferQueue, BatchArithmeticIs64BitAndFollowsCancelAndResubmit) {
  StartStallingServer();
  constexpr std::int64_t GiB = std::int64_t{1} << 30;
  // A 2.5 GiB sparse file: its real size, as an upload would take it.
  const std::string sparse = Local.File("sparse.bin");
  WriteFile(sparse, "");
  fs::resize_file(sparse, 5 * GiB / 2);
  TTransferEntry busy = Download("busy", Fake->Port(), "joe", "pw");
  busy.Size = 100;
  Add(busy);
  ASSERT_TRUE(WaitRetr());
  TTransferEntry big = Download("big", Fake->Port(), "joe", "pw");
  big.Size = static_cast<std::int64_t>(fs::file_size(sparse));
  big.RestartAt = 2 * GiB;
  Add(big);
  TTransferEntry other = Download("other", Fake->Port(), "joe", "pw");
  other.Size = 1000;
  Add(other);
  EXPECT_EQ(Queue->BytesDone, 2 * GiB);  // a resumed item counts what it has
  EXPECT_EQ(Queue->BytesLeft, 100 + GiB / 2 + 1000);
  EXPECT_EQ(Queue->PercentDone(), 80);
  Queue->Item(1)->SetState(isCancelled);
  EXPECT_EQ(Queue->BytesDone, 0);
  EXPECT_EQ(Queue->BytesLeft, 100 + 1000);
  Queue->Item(1)->SetState(isPending);
  EXPECT_EQ(Queue->BytesDone, 2 * GiB);
  EXPECT_EQ(Queue->BytesLeft, 100 + GiB / 2 + 1000);
  Queue->Item(1)->BytesDone = 9 * GiB / 4;
  EXPECT_EQ(Queue->Item(1)->PercentDone(), 90);
  Queue->Item(2)->Size = 0;  // an empty file: nothing to divide by
  EXPECT_EQ(Queue->Item(2)->PercentDone(), 0);
  // Cancelled items stay cancelled; the busy one is skipped; the queue ends.
  Queue->CancelPending();
  EXPECT_EQ(Queue->StateCount[isCancelled], 2);
  EXPECT_TRUE(Queue->SkipBusy());
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(int{Queue->Item(0)->State}, int{isCancelled}) << "a skip is an abort, not a time-out";
  EXPECT_FALSE(Queue->SkipBusy());
}

TEST_F(TransferQueue, DisconnectAllEndsTheRunningItemAndEmptiesThePool) {
  StartStallingServer();
  Add(Download("busy", Fake->Port(), "joe", "pw"));
  ASSERT_TRUE(WaitRetr());
  List->DisconnectAll();
  EXPECT_TRUE(Queue->Connections.empty());
  EXPECT_EQ(Queue->Item(0)->State, isCancelled);
  EXPECT_EQ(Events->Count("completed busy"), 1);
}

TEST_F(TransferQueue, ResumedDownloadSendsRestAndKeepsTheDateWithoutWriting) {
  const std::string data = RandomBytes(200000, 3);
  WriteFile(Server.RootFile("r.bin"), data);
  WriteFile(Local.File("r.bin"), data.substr(0, 50000));
  TTransferEntry e = Download("r.bin", Server.Port());
  e.Size = static_cast<std::int64_t>(data.size());
  e.RestartAt = 50000;
  e.FileDate = EncodeDateTime(2020, 5, 17, 10, 30);
  std::int64_t doneAtStart = -1;
  Queue->OnItemStarted = [&](TTransferItems& q, TTransferItem&) { doneAtStart = q.BytesDone; };
  Add(e);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue->Item(0)->State, isDone);
  EXPECT_EQ(doneAtStart, 50000);
  EXPECT_EQ(ReadFile(Local.File("r.bin")), data);
  EXPECT_EQ(MTime(Local.File("r.bin")), Seconds(e.FileDate));
  // A file nobody may write to still gets its date: it is never opened.
  ::chmod(Local.File("r.bin").c_str(), 0444);
  EXPECT_TRUE(SetLocalFileDate(Local.File("r.bin"), EncodeDateTime(2001, 1, 1, 0, 0)));
  EXPECT_EQ(MTime(Local.File("r.bin")), Seconds(EncodeDateTime(2001, 1, 1, 0, 0)));
}

TEST(TransferTypes, ModeAndAsciiList) {
  TPreferences p;
  struct {
    int Mode;
    const char* Name;
    TTransferType Type;
  } cases[] = {
      {0, "a.TXT", TTransferType::ASCII}, {0, "a.bin", TTransferType::Binary}, {0, "txt", TTransferType::Binary},
      {1, "a.bin", TTransferType::ASCII}, {2, "a.txt", TTransferType::Binary}, {3, "a", TTransferType::EBCDIC},
      {4, "a", TTransferType::Local},     {7, "a.txt", TTransferType::Binary},
  };
  for (const auto& c : cases) {
    p.TransferMode = c.Mode;
    EXPECT_EQ(TransferTypeOf(&p, c.Name), c.Type) << c.Mode << " " << c.Name;
  }
}

TEST(TransferServices, TheFirstListServesViewsUntilItGoes) {
  {
    TTransferItemsList first(nullptr);
    TTransferItemsList second(nullptr);
    EXPECT_EQ(TransferServices(), static_cast<TTransferServices*>(&first));
  }
  EXPECT_EQ(TransferServices(), nullptr) << "nothing left pointing at a list that is gone";
}

// Notifications already posted may still be dispatched to a released connection: none may
// reach the item or queue it served.
TEST(TransferRelease, AReleasedConnectionHandsNothingOn) {
  auto connection = std::make_unique<TFTPComponent>();
  TFTPComponent& c = *connection;
  const auto any = [](auto&&...) {};
  c.OnAbort = any;
  c.OnCantLogIn = any;
  c.OnCommandCompleted = any;
  c.OnConnect = any;
  c.OnDisconnect = any;
  c.OnError = any;
  c.OnLog = any;
  c.OnLoggedIn = any;
  c.OnProgress = any;
  c.OnUpdateFileSize = any;
  TTransferItems::ReleaseLater(std::move(connection));
  EXPECT_FALSE(c.OnAbort || c.OnCantLogIn || c.OnConnect || c.OnDisconnect || c.OnLoggedIn ||
               c.OnCommandCompleted || c.OnError || c.OnLog || c.OnProgress || c.OnUpdateFileSize);
  QCoreApplication::processEvents();
}

TEST(TransferNames, UnsafeNamesRefused) {
  for (const char* name : {"", ".", "..", "a/b", "../x"}) EXPECT_FALSE(IsSafeEntryName(name)) << name;
  EXPECT_FALSE(IsSafeEntryName(std::string("a\0b", 3)));
  EXPECT_FALSE(IsSafeEntryName(std::string(256, 'n')));
  for (const char* name : {"a", "..a", "a b", ".hidden"}) EXPECT_TRUE(IsSafeEntryName(name)) << name;
  EXPECT_TRUE(IsSafeEntryName(std::string(255, 'n')));
}

TEST_F(TransferQueue, UrlFillsTheItemAndMoveReorders) {
  TTransferItem item;
  item.SetURL("ftp://joe:pw@example.com:2121/pub/file.zip");
  EXPECT_EQ(item.Host, "example.com");
  EXPECT_EQ(item.Port, 2121u);
  EXPECT_EQ(item.UserID, "joe");
  EXPECT_EQ(item.Password, "pw");
  EXPECT_EQ(item.SourceFolder, "/pub/");
  EXPECT_EQ(item.SourceName, "file.zip");
  EXPECT_EQ(item.DestName, "file.zip");
  StartStallingServer();
  for (const char* name : {"a", "b", "c", "d"}) Add(Download(name, Fake->Port(), "joe", "pw"));
  auto order = [&] {
    Names names;
    for (int i = 0; i < Queue->Count(); ++i) names.push_back(Queue->Item(i)->SourceName);
    return names;
  };
  Queue->Move(3, 1);
  EXPECT_EQ(order(), (Names{"a", "d", "b", "c"}));
  Queue->Move(3, 0);  // the last row dragged to the top
  EXPECT_EQ(order(), (Names{"c", "a", "d", "b"}));
  Queue->Move(0, 3);
  EXPECT_EQ(order(), (Names{"a", "d", "b", "c"}));
  EXPECT_EQ(Queue->Item(1)->Index(), 1);
  EXPECT_EQ(&List->General(), &List->General());
  EXPECT_EQ(List->General().Caption(), "General");
  EXPECT_EQ(List->StateCount(isPending), 3);
}

}  // namespace
}  // namespace ferrowin::test

namespace ferrowin::test {
namespace {

// A refused download is tried again in folder mode before it ends: the item ends once, in
// error, and the next item takes the same connection.
TEST_F(TransferQueue, ARefusedDownloadEndsOnceAndTheNextGoesOn) {
  TScript script;
  script.StandardLogin()
      .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
      .Reply("RETR /?missing file.bin", "550 No such file.")
      .Reply("STOR .*", "553 Not allowed.")
      .Reply("CWD .*", "250 OK.")
      .Reply("PWD", "257 \"/\" is the current folder.")
      .On("RETR /?ok.bin", {Send("150 Here it comes."), Action("data", Json("abc")), Send("226 Done.")});
  Fake = std::make_unique<TFakeFtpServer>(script.ToJson());
  int completed = 0;
  Queue->OnItemCompleted = [&](TTransferItems&, TTransferItem& item) {
    if (item.SourceName == "missing file.bin") ++completed;
  };
  for (const char* name : {"missing file.bin", "ok.bin"}) ASSERT_GE(Add(Download(name, Fake->Port(), "user", "pw")), 0);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue->Item(0)->State, isError);
  EXPECT_EQ(Queue->Item(1)->State, isDone);
  EXPECT_EQ(completed, 1);
  EXPECT_EQ(Queue->DoneCount, 2);
  EXPECT_EQ(ReadFile(Local.File("ok.bin")), "abc");
  EXPECT_TRUE(AskedPrompts().empty()) << "the hint about spaces is for uploads only";
  // A refused upload of a name with a space hints at the conversion options.
  WriteFile(Local.File("up file.txt"), "up");
  TTransferEntry up = Download("up file.txt", Fake->Port(), "user", "pw");
  std::swap(up.SourceFolder, up.DestFolder);
  up.IsUpload = true;
  ASSERT_GE(Add(up), 0);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue->Item(2)->State, isError);
  ASSERT_EQ(AskedPrompts().size(), 1u);
  EXPECT_TRUE(AskedPrompts()[0].Text.contains("\"up file.txt\", which may be due to the fact that the filename contains spaces"));
}

}  // namespace
}  // namespace ferrowin::test
