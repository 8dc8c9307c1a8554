// After an abort or a time-out the connection stays usable: every later command gets its own
// reply, a server that falls out of step is dropped and logged into again, and waits that
// cannot be interrupted by the system (host lookups) still end on abort and time-out.

#include <condition_variable>
#include <mutex>

#include "EngineTestSupport.h"
#include "FTPCompErrors.h"
#include "SocketAddress.h"

namespace ferrowin::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class RepliesInStep : public TEngineTest {
 protected:
  void TearDown() override {
    Client.reset();
    Server.reset();
    TEngineTest::TearDown();
  }
  // The trouble command's rules, then a server that answers the commands that follow it.
  void Start(TScript script, bool passive = true) {
    script.On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
        .On("PORT .*", {Action("port", "true"), Send("200 PORT ok.")})
        .Reply("CWD /missing", "550 No such folder.")
        .Reply("PWD", "257 \"/home\" is the current folder.");
    Server = std::make_unique<TFakeFtpServer>(script.StandardLogin().ToJson());
    Client = std::make_unique<TClient>(Server->Port(), "joe", "pw", false);
    Client->Component->SetPassive(passive);
    Client->Login();
  }
  // The commands after the trouble must each get their own reply.
  void ExpectInStep(int completed) {
    Client->Component->SetCurrentFolder("/missing");
    Client->Component->GetCurrentFolder();
    ASSERT_TRUE(Client->Events->WaitCompleted(completed + 2, 20s));
    EXPECT_EQ(Client->Events->Matching("FolderReply"), (Lines{"FolderReply /missing 1 0", "FolderReply /home 0 1"}));
  }
  std::unique_ptr<TFakeFtpServer> Server;
  std::unique_ptr<TClient> Client;
  TTempDir Local;
};

TEST_F(RepliesInStep, AfterEveryKindOfAbortAndTimeOut) {
  enum class TTrouble { AbortTransfer, AbortBeforePreliminary, AbortAccept, AcceptTimeOut, ReplyTimeOut };
  struct {
    const char* Name;
    TTrouble Trouble;
    Lines (*Actions)(const std::string& wait);  // the server's answer to the trouble command
  } cases[] = {
      // A server that sends for ever: the abort must not read the rest of it.
      {"abort during a running download", TTrouble::AbortTransfer,
       [](const std::string&) {
         return Lines{Send("150 Opening data connection."), Action("data_endless", Json("0123456789abcdef\r\n")),
                      Send("426 Connection closed; transfer aborted.")};
       }},
      {"abort while waiting for the 150 of RETR", TTrouble::AbortBeforePreliminary,
       [](const std::string& wait) {
         return Lines{wait, Send("150 Opening data connection."), Send("426 Transfer aborted.")};
       }},
      {"abort while waiting for the server's data connection", TTrouble::AbortAccept,
       [](const std::string& wait) {
         return Lines{Send("150 Opening data connection."), wait, Send("425 Can't open data connection.")};
       }},
      {"active mode, accept time-out", TTrouble::AcceptTimeOut,
       [](const std::string& wait) {
         return Lines{Send("150 Opening data connection."), wait, Send("425 Can't open data connection.")};
       }},
      {"control reply time-out", TTrouble::ReplyTimeOut,
       [](const std::string& wait) { return Lines{wait, Send("250 Changed at last.")}; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    const std::string go = dir.File("go");
    const bool download = c.Trouble != TTrouble::ReplyTimeOut;
    const bool active = c.Trouble == TTrouble::AcceptTimeOut || c.Trouble == TTrouble::AbortAccept;
    Start(TScript().On(download ? "RETR .*" : "CWD /slow", c.Actions(Action("wait_file", Json(go)))), !active);
    const bool abort = c.Trouble < TTrouble::AcceptTimeOut;
    if (!abort) EngineSettings().TimeOut = 1000;
    if (download) Client->Component->Download("", "/dir/file.bin", Local.File("file.bin"), TTransferType::Binary);
    else Client->Component->SetCurrentFolder("/slow");

    if (abort) {
      ASSERT_TRUE(PumpUntil([&] {
        switch (c.Trouble) {
          case TTrouble::AbortTransfer: return Client->Events->CountPrefix("Progress 0") > 0;
          case TTrouble::AbortAccept: return Client->Events->LogHas("150 Opening data connection.");
          default: return Contains(Server->Received(), "RETR /dir/file.bin");
        }
      }));
      const auto abortedAt = Clock::now();
      Client->Component->Abort();
      ASSERT_TRUE(Client->Events->WaitCompleted(3, 10s));
      EXPECT_LT(Clock::now() - abortedAt, 1s);
      EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 0 1");
      WriteFile(go, "");
    } else if (download) {
      // The late 425 comes while the client still waits for it.
      ASSERT_TRUE(PumpUntil([&] { return Client->Events->Has("Error 10060 Operation timed out"); }));
      WriteFile(go, "");
      ASSERT_TRUE(Client->Events->WaitCompleted(3, 20s));  // after the repeat in folder mode
    } else {
      ASSERT_TRUE(Client->Events->WaitCompleted(2, 10s));
      EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted SetCurrentFolder 0 0");
      WriteFile(go, "");
    }
    EXPECT_EQ(Client->Events->Count("Abort"), abort ? 1 : 0);
    if (c.Trouble == TTrouble::AcceptTimeOut) {
      const Lines sent = Server->Received();
      EXPECT_EQ(Client->Events->Count("Error 10060 Operation timed out"),
                std::count(sent.begin(), sent.end(), "RETR /dir/file.bin"));  // once per failed accept
    }
    ExpectInStep(Client->Events->CountPrefix("CommandCompleted"));
    TearDown();
    TEngineTest::SetUp();
  }
}

TEST_F(RepliesInStep, AServerThatNeverAnswersIsDroppedAndTheNextCommandLogsInAgain) {
  Start(TScript().On("CWD /slow", {Action("wait_file", Json(Local.File("never")))}));
  EngineSettings().TimeOut = 1000;
  Client->Component->SetCurrentFolder("/slow");
  ASSERT_TRUE(Client->Events->WaitCompleted(2));
  ExpectInStep(2);
  EXPECT_EQ(Server->Connections(), 2);
  EXPECT_TRUE(Contains(Server->Received(1), "CWD /missing"));
  EXPECT_FALSE(Contains(Server->Received(0), "CWD /missing"));
  EXPECT_TRUE(Client->Events->LogHasLine("No reply from the server to an earlier command; closing the connection",
                                         ErrorColor));
  const Lines events = Client->Events->Events;
  const auto dropped = std::find(events.begin(), events.end(), "Disconnect");
  ASSERT_NE(dropped, events.end());
  EXPECT_NE(std::find(dropped, events.end(), "LoggedIn"), events.end());
  EXPECT_TRUE(Client->Component->LoggedIn());
}

TEST_F(RepliesInStep, PassiveModeIsReadOnceATransfer) {
  Start(TScript().On("RETR .*", {Action("wait_file", Json(Local.File("go"))), Send("150 Here it comes."),
                                 Action("data", Json("hello")), Send("226 Done.")}));
  Client->Component->Download("", "/dir/file.bin", Local.File("file.bin"), TTransferType::Binary);
  ASSERT_TRUE(PumpUntil([&] { return Contains(Server->Received(), "RETR /dir/file.bin"); }));
  Client->Component->SetPassive(false);  // preferences applied in the middle of the transfer
  WriteFile(Local.File("go"), "");
  ASSERT_TRUE(Client->Events->WaitCompleted(3));
  EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Download 1 0");
  EXPECT_EQ(ReadFile(Local.File("file.bin")), "hello");
}

TEST_F(RepliesInStep, TheDataConnectionIsClosedWhenTheClosingReplyNeverComes) {
  Start(TScript().On("RETR .*", {Action("data_wait_close", "true")}));
  EngineSettings().TimeOut = 1000;
  Client->Component->Download("", "/dir/file.bin", Local.File("file.bin"), TTransferType::Binary);
  ASSERT_TRUE(PumpUntil([&] { return Client->Events->CountPrefix("CommandCompleted Download") > 0; }, 20s));
  EXPECT_TRUE(PumpUntil([&] { return Contains(Server->Received(0), "#data closed"); }, 5s));
}

// A resolver that answers only when the test lets it.
struct TStuckResolver {
  static int Resolve(const std::string&, std::vector<TAddress>&) {
    std::unique_lock lock(Lock);
    ++Waiting;
    Changed.notify_all();
    Changed.wait(lock, [] { return Released; });
    return wsa::HostNotFound;
  }
  static inline std::mutex Lock;
  static inline std::condition_variable Changed;
  static inline int Waiting = 0;
  static inline bool Released = false;
};

TEST_F(RepliesInStep, AHostLookupEndsOnAbortAndOnTheTimeOut) {
  EngineSettings().MaxAttempts = 1;
  SetResolveFunction(&TStuckResolver::Resolve);
  struct TRelease {  // the lookups given up on end with the test
    ~TRelease() {
      {
        std::lock_guard lock(TStuckResolver::Lock);
        TStuckResolver::Released = true;
      }
      TStuckResolver::Changed.notify_all();
      SetResolveFunction(nullptr);
    }
  } release;
  for (bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "abort" : "time-out");
    EngineSettings().TimeOut = abort ? 10000 : 500;
    TClient client(21, "joe", "pw");
    client.Component->SetHost("stuck.lookup.test");
    const auto start = Clock::now();
    client.Component->Login();
    if (abort) {
      ASSERT_TRUE(PumpUntil([] {
        std::lock_guard lock(TStuckResolver::Lock);
        return TStuckResolver::Waiting > 0;
      }));
      client.Component->Abort();
    }
    ASSERT_TRUE(client.Events->WaitCompleted(1, 5s));
    EXPECT_LT(Clock::now() - start, 3s);
    EXPECT_EQ(client.Events->LastCompleted(), abort ? "CommandCompleted Login 0 1" : "CommandCompleted Login 0 0");
    EXPECT_EQ(client.Events->Has("Error 10060 Operation timed out"), !abort);
  }
}

}  // namespace
}  // namespace ferrowin::test
