// Logging in against the scripted server: the dialogues, the firewall kinds, server-type
// detection and the resume probe, asserting what the client sent and what it reported.

#include "EngineTestSupport.h"
#include "FTPUtils.h"
#include "Parsers.h"

namespace ferrowin::test {
namespace {

using Lines = std::vector<std::string>;

class Login : public TEngineTest {};

// The scripted server as a firewall in front of ftp.target.org; rules already in the script win.
std::unique_ptr<TFakeFtpServer> Firewall(TScript script) {
  script.Reply("USER fwuser", "331 Firewall password.").Reply("PASS fwpw", "230 Firewall ok.");
  script.Reply("(SITE|OPEN) .*", "200 Connected to target.");
  return std::make_unique<TFakeFtpServer>(script.StandardLogin().ToJson());
}

// Logs in to ftp.target.org:port as joe/pw through that firewall, and waits for the end.
std::unique_ptr<TClient> FirewallLogin(const TFakeFtpServer& firewall, int kind, int port) {
  auto client = std::make_unique<TClient>(port, "joe", "pw");
  client->Component->SetHost("ftp.target.org");
  client->Component->FirewallHost = "127.0.0.1";
  client->Component->FirewallPort = firewall.Port();
  client->Component->FirewallKind = kind;
  client->Component->FirewallUser = "fwuser";
  client->Component->FirewallPassword = "fwpw";
  client->Component->FirewallLogin();
  EXPECT_TRUE(client->Events->WaitCompleted(1));
  return client;
}

TEST_F(Login, DetectsTheServerTypeFromWelcomeSystOrHelp) {
  struct {
    const char* Name;
    std::string Welcome;
    std::string Syst;  // "" = SYST refused
    std::string Help;  // "" = HELP refused
    int Type;
    Lines Sent;  // after USER/PASS, before the resume probe
  } cases[] = {
      {"welcome names Serv-U", "220 Serv-U FTP Server v2.5 ready", "215 UNIX", "", 34, {}},
      {"welcome, first table entry wins", "220 BULL WAR-FTPD", "", "", 48, {}},
      {"SYST UNIX in any case", "220 ready", "215 UnIx Type: L8", "", 11, {"SYST"}},
      {"SYST VMS alone", "220 ready", "215 VMS V5.5", "", 13, {"SYST"}},
      {"SYST VMS with MultiNet", "220 ready", "215 VMS MultiNet V3.4", "", 12, {"SYST"}},
      {"SYST Windows_NT", "220 ready", "215 Windows_NT version 5.0", "", 17, {"SYST"}},
      {"SYST case-sensitive entry", "220 ready", "215 MPE/iX: HP", "", 33, {"SYST"}},
      {"HELP after a useless SYST", "220 ready", "215 Something else", "214 NCSA Telnet", 7,
       {"SYST", "HELP"}},
      {"nothing matches", "220 ready", "", "214 no idea", 11, {"SYST", "HELP"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScript script;
    script.Greeting({Send(c.Welcome)});
    script.Reply("SYST", c.Syst.empty() ? "500 SYST not understood." : c.Syst);
    script.Reply("HELP", c.Help.empty() ? "502 No help." : c.Help);
    TFakeFtpServer server(script.StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw");
    client.Login();
    EXPECT_EQ(client.Component->ServerType(), c.Type);
    Lines expected = {"USER joe", "PASS pw", "FEAT"};
    expected.insert(expected.end(), c.Sent.begin(), c.Sent.end());
    // The probe asks in binary type, then goes back to the type a login starts in.
    expected.insert(expected.end(), {"TYPE I", "REST 1", "REST 0", "TYPE A"});
    EXPECT_EQ(server.Received(), expected);
    EXPECT_TRUE(client.Events->LogHasLine("\r\nServer Type: " + std::string(ServerTypeName(c.Type)), InfoColor));
    EXPECT_FALSE(client.Events->LogHas("HELP"));  // HELP is quiet
  }
}

TEST_F(Login, AnnouncedTypeSkipsDetection) {
  TFakeFtpServer server(TScript().StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw", /*owned=*/false);
  client.Component->SetServerType(1);  // "Not Relevant": a transfer connection
  client.Login();
  EXPECT_EQ(server.Received(), (Lines{"USER joe", "PASS pw", "FEAT"}));
  EXPECT_FALSE(client.Events->LogHas("Server Type"));
  EXPECT_TRUE(client.Component->CanResume());  // no probe without an owner
  EXPECT_EQ(client.Events->Events, (Lines{"Connect", "LoggedIn", "CommandCompleted Login 1 0"}));
}

TEST_F(Login, UserPasswordAndAccountDialogues) {
  struct {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Replies;
    Lines Sent;
    bool Success;
  } cases[] = {
      {"230 right after USER", {{"USER .*", "230 No password needed."}}, {"USER joe", "FEAT", "SYST"}, true},
      {"331 then 332: ACCT after PASS",
       {{"USER .*", "331 Password."}, {"PASS .*", "332 Account."}, {"ACCT .*", "230 In."}},
       {"USER joe", "PASS pw", "ACCT acc", "FEAT", "SYST"},
       true},
      {"332 first: ACCT before PASS",
       {{"USER .*", "332 Account first."}, {"ACCT .*", "331 Now the password."}, {"PASS .*", "230 In."}},
       {"USER joe", "ACCT acc", "PASS pw", "FEAT", "SYST"},
       true},
      {"wrong password", {{"USER .*", "331 Password."}, {"PASS .*", "530 Login incorrect."}}, {"USER joe", "PASS pw"},
       false},
  };
  EngineSettings().MaxAttempts = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScript script;
    for (const auto& [match, reply] : c.Replies) script.Reply(match, reply);
    script.Reply("SYST", "215 UNIX").Reply("REST .*", "502 No.");
    TFakeFtpServer server(script.StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw");
    client.Component->Account = "acc";
    client.Login();
    Lines received = server.Received();
    received.resize(std::min(received.size(), c.Sent.size()));
    EXPECT_EQ(received, c.Sent);
    EXPECT_EQ(client.Events->LastCompleted(), c.Success ? "CommandCompleted Login 1 0" : "CommandCompleted Login 0 0");
    if (!c.Success) {
      EXPECT_TRUE(client.Events->LogHasLine("Failed to Log in to Host", ErrorColor));
      EXPECT_TRUE(client.Events->Has("CantLogIn"));
    }
  }
}

TEST_F(Login, FirewallKindsSendTheirCommands) {
  struct {
    int Kind;
    int Port;
    Lines Sent;
  } cases[] = {
      {0, 21, {"USER fwuser", "PASS fwpw", "SITE ftp.target.org", "USER joe", "PASS pw"}},
      {0, 2121, {"USER fwuser", "PASS fwpw", "SITE ftp.target.org:2121", "USER joe", "PASS pw"}},
      {1, 21, {"OPEN ftp.target.org", "USER joe", "PASS pw"}},
      {1, 2121, {"OPEN ftp.target.org:2121", "USER joe", "PASS pw"}},
      {2, 21, {"USER fwuser", "PASS fwpw", "USER joe@ftp.target.org", "PASS pw"}},
      {2, 2121, {"USER fwuser", "PASS fwpw", "USER joe@ftp.target.org:2121", "PASS pw"}},
      {3, 21, {"USER joe@ftp.target.org", "PASS pw"}},
      {3, 2121, {"USER joe@ftp.target.org:2121", "PASS pw"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.Kind) + " port " + std::to_string(c.Port));
    auto server = Firewall(TScript());
    auto client = FirewallLogin(*server, c.Kind, c.Port);
    EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted FirewallLogin 1 0");
    Lines received = server->Received();
    received.resize(std::min(received.size(), c.Sent.size()));
    EXPECT_EQ(received, c.Sent);
    for (const auto& line : client->Events->Log) {
      EXPECT_EQ(line.Message.find("fwpw"), std::string::npos);
      EXPECT_NE(line.Message, "PASS pw");
    }
  }
}

TEST_F(Login, RefusedFirewallLogin) {
  EngineSettings().MaxAttempts = 1;
  TFakeFtpServer server(TScript().Reply("USER fwuser", "530 Not you.").StandardLogin().ToJson());
  TClient client(0, "joe", "pw");
  client.Component->SetHost("target");
  client.Component->FirewallHost = "127.0.0.1";
  client.Component->FirewallPort = server.Port();
  client.Component->FirewallUser = "fwuser";
  client.Component->FirewallLogin();
  ASSERT_TRUE(client.Events->WaitCompleted(1));
  EXPECT_EQ(server.Received(), (Lines{"USER fwuser"}));
  EXPECT_TRUE(client.Events->LogHasLine("Failed to Log in to Firewall", ErrorColor));
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted FirewallLogin 0 0");
  EXPECT_TRUE(client.Events->Has("CantLogIn"));
}

// The password was taken but the line dropped before the login ended: still a failed login.
TEST_F(Login, ConnectionLostAfterThePasswordIsAFailedLogin) {
  EngineSettings().MaxAttempts = 1;
  TFakeFtpServer server(TScript().On("FEAT", {Action("close", "true")}).StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw");
  client.Login();
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 0");
  EXPECT_TRUE(client.Events->Has("CantLogIn"));
}

// Neither password may show in the log or the trace, whatever way the login ended.
void ExpectNoPassword(const TEventRecorder& events, const std::string& trace, const Lines& passwords) {
  for (const std::string& password : passwords) {
    for (const auto& line : events.Log) EXPECT_EQ(line.Message.find(password), std::string::npos) << line.Message;
    EXPECT_EQ(trace.find(password), std::string::npos);
  }
}

TEST_F(Login, DefiniteRefusalsEndTheLoginAtOnceTemporaryOnesAreRetried) {
  EngineSettings().MaxAttempts = 2;
  EngineSettings().RetryDelay = 1;
  SetDebugTraceFile(Home.File("Debug.txt"));
  SetDebugTrace(true);
  struct {
    const char* Name;
    std::vector<std::pair<std::string, Lines>> Rules;  // match, actions
    int Connections;
    std::string Reply;  // as the cannot-log-in notification gives it
    bool Refused;
  } cases[] = {
      {"530 to PASS", {{"PASS .*", {Send("530 Login incorrect.")}}}, 1, "530 Login incorrect.", true},
      {"530 to USER, two lines", {{"USER .*", {Send("530-Not you."), Send("530 Go away.")}}}, 1,
       "530-Not you.\n530 Go away.", true},
      {"530 to ACCT", {{"PASS .*", {Send("332 Account?")}}, {"ACCT .*", {Send("530 No such account.")}}}, 1,
       "530 No such account.", true},
      {"501 to USER", {{"USER .*", {Send("501 Bad user name.")}}}, 1, "501 Bad user name.", true},
      {"421 to PASS", {{"PASS .*", {Send("421 Too many users, try later.")}}}, 2, "421 Too many users, try later.",
       false},
      {"450 to USER", {{"USER .*", {Send("450 Busy.")}}}, 2, "450 Busy.", false},
      {"closed after PASS", {{"PASS .*", {Action("close", "true")}}}, 2, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScript script;
    for (const auto& [match, actions] : c.Rules) script.On(match, actions);
    TFakeFtpServer server(script.StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "Pw-53cret");
    client.Component->Account = "acc";
    client.Login();
    EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 0");
    EXPECT_EQ(server.Connections(), c.Connections);
    EXPECT_EQ(client.Events->LogHas("1 seconds delay before retrying..."), !c.Refused);
    ASSERT_TRUE(client.Events->Has("CantLogIn"));
    EXPECT_EQ(client.Component->LoginReply(), c.Reply);
    EXPECT_EQ(client.Component->LoginRefused(), c.Refused);
    ExpectNoPassword(*client.Events, ReadFile(Home.File("Debug.txt")), {"Pw-53cret"});
  }
  SetDebugTrace(false);
  SetDebugTraceFile("");
}

TEST_F(Login, FirewallRefusingTheUserEndsAtOnce) {
  EngineSettings().MaxAttempts = 3;
  EngineSettings().RetryDelay = 1;
  SetDebugTraceFile(Home.File("Debug.txt"));
  SetDebugTrace(true);
  struct {
    int Kind;
    const char* Refused;  // the command refused
    const char* Reply;
    const char* Message;
  } cases[] = {
      {0, "USER fwuser", "530 Not a firewall user.", "Failed to Log in to Firewall"},
      {1, "USER joe", "530 Login incorrect.", "Failed to Log in to Host"},
      {2, "PASS fwpw", "530 Wrong firewall password.", "Failed to Log in to Firewall"},
      {3, "USER joe@ftp.target.org", "530 Unknown user.", "Failed to Log in to Host"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Refused);
    auto server = Firewall(TScript().Reply(c.Refused, c.Reply));
    auto client = FirewallLogin(*server, c.Kind, 21);
    EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted FirewallLogin 0 0");
    EXPECT_EQ(server->Connections(), 1);
    EXPECT_TRUE(client->Events->LogHasLine(c.Message, ErrorColor));
    EXPECT_EQ(client->Component->LoginReply(), c.Reply);
    EXPECT_TRUE(client->Component->LoginRefused());
    ExpectNoPassword(*client->Events, ReadFile(Home.File("Debug.txt")), {"fwpw", "PASS pw"});
  }
  SetDebugTrace(false);
  SetDebugTraceFile("");
}

TEST_F(Login, ResumeProbe) {
  struct {
    const char* Rest1;
    bool CanResume;
    const char* Logged;
  } cases[] = {
      {"350 Restarting at 1.", true, "\r\nServer can resume broken downloads\r\n"},
      {"502 REST not implemented.", false, "\r\nServer unable to resume broken downloads\r\n"},
  };
  for (const auto& c : cases) {
    TFakeFtpServer server(TScript().Reply("REST 1", c.Rest1).StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw");
    client.Login();
    EXPECT_EQ(client.Component->CanResume(), c.CanResume);
    EXPECT_TRUE(client.Events->LogHasLine(c.Logged, InfoColor));
    EXPECT_FALSE(client.Events->LogHas("REST"));  // the probe is quiet
    EXPECT_TRUE(client.Component->LoggedIn());
  }
}

}  // namespace
}  // namespace ferrowin::test
