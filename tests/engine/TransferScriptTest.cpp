// Transfers against the scripted server: passive reply forms, the fall-back to active mode,
// the folder-mode repeat, hostile or broken servers, and HTTP downloads.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "EngineTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;


std::string Pasv(const std::string& format, const std::string& host = "") {
  std::string value = Json(format);
  if (!host.empty()) value += ", \"host\": " + Json(host);
  return Action("pasv", value);
}

std::vector<std::string> Retr(const std::string& payload, const std::string& preliminary = "150 Opening data connection.") {
  return {Send(preliminary), Action("data", Json(payload)), Send("226 Transfer complete.")};
}

class ScriptedTransfer : public TEngineTest {
 protected:
  void TearDown() override {
    Client.reset();
    Server.reset();
    TEngineTest::TearDown();
  }
  // Logs a transfer connection in, downloads /dir/file.bin and checks that the download ends
  // once (a NOOP behind it is the next completion). A resumed download is queued with the
  // offset 1: the local file's length must win.
  void Download(TScript script, const std::string& folder = "", TTransferType type = TTransferType::Binary,
                bool resume = false) {
    Server = std::make_unique<TFakeFtpServer>(script.StandardLogin().ToJson());
    Client = std::make_unique<TClient>(Server->Port(), "joe", "pw", false);
    Client->Login();
    if (resume) Client->Component->ResumeDownload(folder, "/dir/file.bin", Local.File("file.bin"), type, 1);
    else Client->Component->Download(folder, "/dir/file.bin", Local.File("file.bin"), type);
    Client->Component->NoOp();
    ASSERT_TRUE(Client->Events->WaitCompleted(4, 15s));
    auto& events = Client->Events->Events;
    auto noop = std::find_if(events.rbegin(), events.rend(),
                             [](const std::string& e) { return e.rfind("CommandCompleted NoOp", 0) == 0; });
    ASSERT_NE(noop, events.rend());
    EXPECT_EQ(*noop, Client->Events->LastCompleted());
    events.erase(std::next(noop).base());  // the download's report is the last one again
  }
  void Again() {
    TearDown();
    TEngineTest::SetUp();
  }
  Lines Sent() const {  // after USER PASS FEAT SYST, before the NOOP that follows a download
    Lines all = Server->Received();
    if (!all.empty() && all.back() == "NOOP") all.pop_back();
    return Lines(all.begin() + std::min<std::size_t>(4, all.size()), all.end());
  }
  std::unique_ptr<TFakeFtpServer> Server;
  std::unique_ptr<TClient> Client;
  TTempDir Local;
};

TEST_F(ScriptedTransfer, PassiveReplyForms) {
  struct {
    const char* Name;
    std::string Format;
  } cases[] = {
      {"in parentheses", "227 Entering Passive Mode ({})."},
      {"bare, after the server's address", "227 Entering Passive Mode {}"},
      {"bare at the end of a line", "227 ={}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Download(TScript().On("PASV", {Pasv(c.Format)}).On("RETR .*", Retr("hello world")));
    EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 1 0");
    EXPECT_EQ(ReadFile(Local.File("file.bin")), "hello world");
    Again();
  }
}

TEST_F(ScriptedTransfer, IllegalPassiveReplyFailsTheTransfer) {
  Download(TScript().Reply("PASV", "227 Passive mode on port 1234"));
  EXPECT_TRUE(Client->Events->LogHasLine("Illegal response from server", ErrorColor));
  EXPECT_TRUE(Client->Events->LogHasLine("Unable to complete transfer", InfoColor));
  EXPECT_EQ(Sent(), (Lines{"TYPE I", "PASV", "PASV"}));  // the folder-mode repeat fails too
}

TEST_F(ScriptedTransfer, RefusedPassiveModeFallsBackToActive) {
  Download(TScript().Reply("PASV", "502 PASV not implemented.")
               .On("PORT .*", {Action("port", "true"), Send("200 PORT ok.")})
               .On("RETR .*", Retr("via port")));
  EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 1 0");
  EXPECT_EQ(ReadFile(Local.File("file.bin")), "via port");
  EXPECT_TRUE(Client->Events->LogHasLine("Server does not support passive (PASV) mode, using active mode instead...",
                                         InfoColor));
  EXPECT_FALSE(Client->Component->Passive());
  Lines sent = Sent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[1], "PASV");
  EXPECT_EQ(sent[2].rfind("PORT 127,0,0,1,", 0), 0u);
  EXPECT_EQ(sent[3], "RETR /dir/file.bin");
}

TEST_F(ScriptedTransfer, PassiveAddressOfAnotherHostIsReplacedByTheServers) {
  Download(TScript().On("PASV", {Pasv("227 Entering Passive Mode ({}).", "10,9,8,7")}).On("RETR .*", Retr("safe")));
  EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 1 0");
  EXPECT_EQ(ReadFile(Local.File("file.bin")), "safe");
  EXPECT_TRUE(Client->Events->LogHas("Server gave the passive address 10.9.8.7"));
}

TEST_F(ScriptedTransfer, FailedTransferIsRepeatedOnceInFolderMode) {
  Download(TScript()
               .On("PASV", {Pasv("227 Entering Passive Mode ({}).")})
               .Reply("RETR /dir/file.bin", "550 Use a bare name.")
               .Reply("CWD /dir/", "250 Ok.")
               .On("RETR file.bin", Retr("found it")),
           "/dir/");
  EXPECT_EQ(Client->Events->Matching("CommandCompleted"),
            (Lines{"CommandCompleted Login 1 0", "CommandCompleted SetType 1 0", "CommandCompleted Download 1 0"}));
  EXPECT_EQ(Sent(), (Lines{"TYPE I", "PASV", "RETR /dir/file.bin", "CWD /dir/", "PASV", "RETR file.bin"}));
  EXPECT_EQ(ReadFile(Local.File("file.bin")), "found it");
}

TEST_F(ScriptedTransfer, AnnouncedSizeCatchesAShortFileWhateverTheName) {
  struct {
    const char* Preliminary;
    TTransferType Type;
    const char* SizeEvent;  // the size notified, "" for none (it needs the local name)
    bool Success;
  } cases[] = {
      {"150 Opening BINARY mode data connection for FILE.BIN (1000 bytes).", TTransferType::Binary, "1000", false},
      {"150 Opening BINARY mode data connection for other.bin (1000 bytes).", TTransferType::Binary, "", false},
      {"150 Opening BINARY mode data connection for file.bin (5 bytes).", TTransferType::Binary, "5", true},
      {"150 Opening BINARY mode data connection for file.bin (999999999999999999 bytes).", TTransferType::Binary,
       "999999999999999999", false},  // the longest number taken
      // Text mode changes the length: no check.
      {"150 Opening ASCII mode data connection for other.bin (1000 bytes).", TTransferType::ASCII, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Preliminary);
    Download(TScript().On("PASV", {Pasv("227 ({})")}).On("RETR .*", Retr("short", c.Preliminary)), "", c.Type);
    const std::string size = "UpdateFileSize " + Local.File("file.bin") + " " + c.SizeEvent;
    EXPECT_EQ(Client->Events->Has(size), *c.SizeEvent != 0);
    EXPECT_EQ(Client->Events->CountPrefix("UpdateFileSize"), Client->Events->Count(size));
    EXPECT_EQ(Client->Events->Has("CommandCompleted Download 0 0"), !c.Success);
    EXPECT_EQ(Client->Events->LogHas("Unable to complete transfer"), !c.Success);
    Again();
  }
}

TEST_F(ScriptedTransfer, RefusedDownloadsLeaveTheLocalFileAndRestartsCutIt) {
  const std::string old = "old local contents, longer than the remote file";
  auto script = [] { return TScript().On("PASV", {Pasv("227 ({})")}); };
  struct {
    const char* Name;
    bool Resume;
    TScript Script;
    std::string After;  // "" with Fresh: no file at all
    bool Fresh = false;  // no local file before
  } cases[] = {
      {"download refused", false, script().Reply("RETR .*", "550 No such file."), old},
      {"a new file refused: none is left", false, script().Reply("RETR .*", "550 No such file."), "", true},
      {"a new file", false, script().On("RETR .*", Retr("new")), "new", true},
      {"resume, REST and RETR refused", true, script().Reply("REST .*", "502 No.").Reply("RETR .*", "550 No."), old},
      {"resume, REST refused: the whole file again", true, script().Reply("REST .*", "502 No.").On("RETR .*", Retr("new")), "new"},
      {"resume from the local length", true, script().Reply("REST .*", "350 Ok.").On("RETR .*", Retr("+tail")),
       old + "+tail"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Fresh) std::filesystem::remove(Local.File("file.bin"));
    else WriteFile(Local.File("file.bin"), old);
    Download(c.Script, "", TTransferType::Binary, c.Resume);
    EXPECT_EQ(std::filesystem::exists(Local.File("file.bin")), !c.After.empty());
    if (!c.After.empty()) {
      EXPECT_EQ(ReadFile(Local.File("file.bin")), c.After);
    }
    Lines sent = Sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "REST " + std::to_string(old.size())) > 0, c.Resume);
    Again();
  }
}

TEST_F(ScriptedTransfer, AResumedUploadWhoseRestartIsRefusedSendsTheWholeFile) {
  const std::string received = Local.File("received.bin");
  Server = std::make_unique<TFakeFtpServer>(TScript()
                                                .On("PASV", {Pasv("227 ({})")})
                                                .Reply("REST .*", "502 No.")
                                                .On("STOR .*", {Send("150 Ok."), Action("data_recv", Json(received)),
                                                                Send("226 Done.")})
                                                .StandardLogin()
                                                .ToJson());
  Client = std::make_unique<TClient>(Server->Port(), "joe", "pw", false);
  Client->Login();
  WriteFile(Local.File("up.bin"), "0123456789");
  Client->Component->ResumeUpload(Local.File("up.bin"), "", "/up.bin", TTransferType::Binary, 4);
  ASSERT_TRUE(Client->Events->WaitCompleted(3, 15s));
  EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted ResumeUpload 1 0");
  EXPECT_EQ(ReadFile(received), "0123456789");
}

TEST_F(ScriptedTransfer, ClosingReplyInTheSameSegmentAsThePreliminary) {
  Download(TScript()
               .On("PASV", {Pasv("227 ({})")})
               .On("RETR .*", {Action("raw", Json("150 Here.\r\n226 Done.\r\n")), Action("data", Json("both"))}));
  EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 1 0");
}

TEST_F(ScriptedTransfer, AListingWithoutEndFailsWithARedLine) {
  Server = std::make_unique<TFakeFtpServer>(
      TScript()
          .On("PASV", {Pasv("227 ({})")})
          .On("LIST", {Send("150 Here."), Action("data_endless", Json("-rw-r--r-- 1 u g 5 Jan 05 10:30 f\r\n")),
                       Send("426 Transfer aborted.")})
          .StandardLogin()
          .ToJson());
  Client = std::make_unique<TClient>(Server->Port(), "joe", "pw");
  Client->Login();
  Client->Component->List("/", "*.*");
  Client->Component->NoOp();
  ASSERT_TRUE(Client->Events->WaitCompleted(3, 60s));
  EXPECT_EQ(Client->Events->Matching("CommandCompleted"),
            (Lines{"CommandCompleted Login 1 0", "CommandCompleted List 0 0", "CommandCompleted NoOp 1 0"}));
  EXPECT_TRUE(Client->Events->LogHasLine("The listing is larger than 128 MiB; the rest was not read", ErrorColor));
  EXPECT_TRUE(Client->Events->Listings.empty());
}

TEST_F(ScriptedTransfer, LocalFolderThatCannotBeMadeFailsWithARedLine) {
  Server = std::make_unique<TFakeFtpServer>(TScript().StandardLogin().ToJson());
  Client = std::make_unique<TClient>(Server->Port(), "joe", "pw", false);
  Client->Login();
  std::ofstream(Local.File("plainfile")) << "x";
  Client->Component->Download("", "/a.bin", Local.File("plainfile/sub/a.bin"), TTransferType::Binary);
  ASSERT_TRUE(Client->Events->WaitCompleted(3));
  EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 0 0");
  EXPECT_TRUE(Client->Events->LogHas("Unable to create directory"));
}

class HttpDownload : public TEngineTest {
 protected:
  struct TResult {
    Lines Events;
    Lines Received;
    std::string File;
    bool FileExists;
  };
  TResult Get(const std::string& response) {
    TScript script;
    script.Greeting({});
    script.On("", {Action("raw", Json(response)), Action("close", "true")});
    script.On(".*", {});
    TFakeFtpServer server(script.ToJson());
    TClient client(0, "", "");
    std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/dl/my file.txt#part-2";
    client.Component->GetHTTP(url, Local.File("got.txt"));
    EXPECT_TRUE(client.Events->WaitCompleted(1));
    return {client.Events->Events, server.Received(), ReadFile(Local.File("got.txt")), fs::exists(Local.File("got.txt"))};
  }
  TTempDir Local;
};

TEST_F(HttpDownload, BodiesOfEveryKind) {
  struct {
    const char* Name;
    std::string Response;
    std::string Body;
    bool Success;
    const char* Size = "";  // the size notified, "" for none
  } cases[] = {
      {"content length", "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nhello world", "hello world", true, "11"},
      {"stops at the content length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello world", "hello", true, "5"},
      {"length not a number", "HTTP/1.1 200 OK\r\nContent-Length: many\r\n\r\nall of it", "all of it", true, "0"},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6; x=y\r\n world\r\n0\r\n\r\n",
       "hello world", true},
      {"until close", "HTTP/1.0 200 OK\r\n\r\nall of it", "all of it", true},
      {"interim response first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", "ok", true, "2"},
      {"shorter than announced", "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\nhello world", "hello world", false, "20"},
      {"broken chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TResult r = Get(c.Response);
    EXPECT_EQ(r.File, c.Body);
    EXPECT_EQ(r.Events.back(), c.Success ? "CommandCompleted Get HTTP 1 0" : "CommandCompleted Get HTTP 0 0");
    auto sized = std::find_if(r.Events.begin(), r.Events.end(), [](const std::string& e) { return e.rfind("UpdateFileSize", 0) == 0; });
    EXPECT_EQ(sized == r.Events.end() ? "" : sized->substr(sized->rfind(' ') + 1), c.Size);
    EXPECT_EQ(r.Received, (Lines{"GET /dl/my%20file.txt HTTP/1.1", "Host: 127.0.0.1", "User-Agent: Ferrowin/1.10",
                                 "Connection: close", ""}));
  }
}

TEST_F(HttpDownload, NotFoundIsAnErrorButTheCommandSucceeds) {
  TResult r = Get("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
  EXPECT_NE(std::find(r.Events.begin(), r.Events.end(), "Error 404 Not Found"), r.Events.end());
  EXPECT_EQ(r.Events.back(), "CommandCompleted Get HTTP 1 0");
  EXPECT_FALSE(r.FileExists);
}

}  // namespace
}  // namespace ferrowin::test
