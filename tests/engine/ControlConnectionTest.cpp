// The control connection against the scripted server: replies of every shape, servers that
// close, stall or never answer, connection attempts, abort and time-out.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "EngineTestSupport.h"
#include "FTPUtils.h"

namespace ferrowin::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ControlConnection : public TEngineTest {};

TEST_F(ControlConnection, MultiLineRepliesEndOnlyAtTheirLastLine) {
  struct {
    const char* Name;
    std::vector<std::string> Greeting;
    std::vector<std::string> Expected;  // reply lines logged
  } cases[] = {
      {"three lines", {Send("230-Welcome"), Send("230-to the server"), Send("230 ready")},
       {"230-Welcome", "230-to the server", "230 ready"}},
      {"byte by byte", {Action("send", Json("220-split") + ", \"split\": 1"), Send("220 done")},
       {"220-split", "220 done"}},
      {"codes that never end a reply", {Send("99 too small"), Send("abc letters"), Send("2xx no"), Send("220 ok")},
       {"99 too small", "abc letters", "2xx no", "220 ok"}},
      {"many lines in one segment", {Action("raw", Json("220-a\r\n220-b\r\n220-c\r\n220 d\r\n"))},
       {"220-a", "220-b", "220-c", "220 d"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeFtpServer server(TScript().Greeting(c.Greeting).StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw");
    client.Login();
    EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 1 0");
    std::vector<std::string> logged;
    for (const auto& line : client.Events->Log)
      if (line.Color == ReplyColor && logged.size() < c.Expected.size()) logged.push_back(line.Message);
    EXPECT_EQ(logged, c.Expected);
    EXPECT_EQ(server.Received(),
              (std::vector<std::string>{"USER joe", "PASS pw", "FEAT", "SYST", "TYPE I", "REST 1", "REST 0", "TYPE A"}));
  }
}

TEST_F(ControlConnection, ServerClosingDuringAReplyResetsAndDisconnects) {
  TFakeFtpServer server(TScript().On("CWD .*", {Action("close", "true")}).StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw");
  client.Login();
  client.Component->SetCurrentFolder("/pub");
  ASSERT_TRUE(client.Events->WaitCompleted(2));
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted SetCurrentFolder 0 0");
  EXPECT_TRUE(client.Events->Has("Disconnect"));
  EXPECT_TRUE(client.Events->LogHasLine("Connection reset by peer", ErrorColor));
  EXPECT_FALSE(client.Component->LoggedIn());
  EXPECT_FALSE(client.Component->Connected());
  // Only a connection dropped for falling out of step logs in again by itself.
  client.Component->GetCurrentFolder();
  ASSERT_TRUE(client.Events->WaitCompleted(3));
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted GetCurrentFolder 0 0");
  EXPECT_EQ(server.Connections(), 1);
}

TEST_F(ControlConnection, RefusedConnectionIsRetriedAfterTheDelay) {
  EngineSettings().MaxAttempts = 3;
  EngineSettings().RetryDelay = 1;
  TClient client(ClosedPort(), "joe", "pw");
  auto start = Clock::now();
  client.Login();
  EXPECT_GE(Clock::now() - start, 2s);
  EXPECT_EQ(client.Events->Count("Error 10061 Connection refused"), 3);
  // One delay between attempts, none after the last.
  std::vector<std::string> notices;
  for (const auto& line : client.Events->Log)
    if (line.Color == InfoColor) notices.push_back(line.Message);
  EXPECT_EQ(notices, (std::vector<std::string>{"Attempting to connect to 127.0.0.1, attempt 1\r\n",
                                               "1 seconds delay before retrying...",
                                               "Attempting to connect to 127.0.0.1, attempt 2\r\n",
                                               "1 seconds delay before retrying...",
                                               "Attempting to connect to 127.0.0.1, attempt 3\r\n"}));
  auto tail = client.Events->Events;
  ASSERT_GE(tail.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(tail.end() - 3, tail.end()),
            (std::vector<std::string>{"Disconnect", "CantLogIn", "CommandCompleted Login 0 0"}));
}

TEST_F(ControlConnection, UnknownHostIsTriedOnceWhateverTheAttemptLimit) {
  EngineSettings().MaxAttempts = 5;
  TClient client(21, "joe", "pw");
  client.Component->SetHost("no-such-host.invalid");
  auto start = Clock::now();
  client.Login();
  EXPECT_LT(Clock::now() - start, 4s);  // no retry delay was waited
  EXPECT_EQ(client.Events->Count("Error 11001 Authoritative      : Host not found"), 1);
  EXPECT_FALSE(client.Events->LogHas("attempt 2"));
  EXPECT_TRUE(client.Events->Has("CantLogIn"));
}

TEST_F(ControlConnection, UnlimitedAttemptsGoOnUntilAborted) {
  EngineSettings().MaxAttempts = 0;
  EngineSettings().RetryDelay = 1;
  TClient client(ClosedPort(), "joe", "pw");
  client.Component->Login();
  ASSERT_TRUE(PumpUntil([&] { return client.Events->Count("Error 10061 Connection refused") >= 3; }, 15s));
  auto abortedAt = Clock::now();
  client.Component->Abort();
  ASSERT_TRUE(client.Events->WaitCompleted(1));
  EXPECT_LT(Clock::now() - abortedAt, 1s);
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 1");
  EXPECT_TRUE(client.Events->LogHasLine("Action aborted by user.", InfoColor));
}

TEST_F(ControlConnection, AbortEndsABlockedWaitWithinASecond) {
  TFakeFtpServer server(TScript().On("CWD .*", {Action("stall", "30")}).StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw");
  client.Login();
  client.Component->SetCurrentFolder("/slow");
  ASSERT_TRUE(PumpUntil([&] { return !server.Received().empty() && server.Received().back() == "CWD /slow"; }));
  auto abortedAt = Clock::now();
  client.Component->Abort();
  ASSERT_TRUE(client.Events->WaitCompleted(2, 5s));
  EXPECT_LT(Clock::now() - abortedAt, 1s);
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted SetCurrentFolder 0 1");
  EXPECT_TRUE(client.Events->Has("Abort"));
  EXPECT_TRUE(client.Events->LogHasLine("Action aborted by user.", InfoColor));
}

TEST_F(ControlConnection, AWaitLongerThanTheTimeOutFailsWith10060) {
  EngineSettings().TimeOut = 400;
  EngineSettings().MaxAttempts = 1;
  TFakeFtpServer server(TScript().On("USER .*", {Action("stall", "30")}).StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw");
  auto start = Clock::now();
  client.Login();
  EXPECT_LT(Clock::now() - start, 3s);
  EXPECT_TRUE(client.Events->LogHasLine("Operation timed out", ErrorColor));
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 0");
}

TEST_F(ControlConnection, EndlessRepliesEndWithAClearErrorAndBoundedMemory) {
  EngineSettings().MaxAttempts = 1;
  struct {
    const char* Name;
    std::vector<std::string> Greeting;
  } cases[] = {
      {"a line without end", {Action("raw", Json(std::string(200000, 'a')))}},
      {"a reply without end", {Action("repeat", "20000, \"send\": \"220-more\"")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeFtpServer server(TScript().Greeting(c.Greeting).StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw");
    client.Login();
    EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 0");
    EXPECT_TRUE(client.Events->LogHas("Reply from server too long"));
    EXPECT_TRUE(client.Events->LogHasLine("Message too long", ErrorColor));
    EXPECT_LE(client.Events->Log.size(), 10010u);
  }
}

TEST_F(ControlConnection, PasswordsNeverReachTheLogOrTheTrace) {
  SetDebugTraceFile(Home.File("Debug.txt"));
  SetDebugTrace(true);
  TFakeFtpServer server(TScript().StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "Sup3r-secret");
  client.Login();
  SetDebugTrace(false);
  SetDebugTraceFile("");
  EXPECT_EQ(server.Received()[1], "PASS Sup3r-secret");
  for (const auto& line : client.Events->Log) EXPECT_EQ(line.Message.find("Sup3r-secret"), std::string::npos);
  EXPECT_TRUE(client.Events->LogHasLine("PASS xxxxx", CommandColor));
  std::string trace = ReadFile(Home.File("Debug.txt"));
  EXPECT_EQ(trace.find("Sup3r-secret"), std::string::npos);
  EXPECT_NE(trace.find("Parameters = 127.0.0.1," + std::to_string(server.Port()) + ",joe,<pass>,\"\""),
            std::string::npos);
  EXPECT_NE(trace.find("Sending command \"PASS xxxxx\""), std::string::npos);
}

}  // namespace
}  // namespace ferrowin::test
