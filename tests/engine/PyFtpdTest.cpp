// The engine against a real FTP server (pyftpdlib): logging in and every control command.

#include <filesystem>
#include <fstream>

#include "EngineTestSupport.h"
#include "FTPUtils.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class RealServer : public TEngineTest {
 protected:
  TPyFtpServer Server;
};

TEST_F(RealServer, LogsInWithAUserAndAnonymously) {
  for (auto [user, password] : {std::pair{TPyFtpServer::UserName, TPyFtpServer::Password},
                                {"anonymous", "guest@example.org"}}) {
    SCOPED_TRACE(user);
    TClient client(Server.Port(), user, password);
    client.Login();
    EXPECT_EQ(client.Events->Events, (Lines{"Connect", "LoggedIn", "CommandCompleted Login 1 0"}));
    EXPECT_EQ(client.Component->ServerType(), 11);
    EXPECT_TRUE(client.Events->LogHasLine("\r\nServer Type: UNIX (standard)", InfoColor));
    // This server refuses REST in ASCII, the type right after login: the probe asks in binary.
    EXPECT_TRUE(client.Component->CanResume());
    EXPECT_TRUE(client.Events->LogHasLine("\r\nServer can resume broken downloads\r\n", InfoColor));
    EXPECT_TRUE(client.Component->LoggedIn());
  }
}

TEST_F(RealServer, ControlCommandsWithTheirNotifications) {
  std::ofstream(Server.RootFile("old.txt")) << "hello";
  std::ofstream(Server.RootFile("gone.txt")) << "bye";
  TClient client(Server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password);
  client.Login();
  auto& c = *client.Component;
  c.CreateFolder("sub");
  c.SetCurrentFolder("/sub");
  c.GetCurrentFolder();
  c.SetCurrentFolder("/");
  c.Rename("old.txt", "new.txt");
  c.ChangeAttributes("new.txt", 0x12C);
  c.Delete("gone.txt");
  c.RemoveFolder("sub");
  c.NoOp();
  ASSERT_TRUE(client.Events->WaitCompleted(10));
  c.Logout();  // drops whatever is still queued, so it comes last
  ASSERT_TRUE(client.Events->WaitCompleted(11));
  EXPECT_EQ(client.Events->Matching("CommandCompleted"),
            (Lines{"CommandCompleted Login 1 0", "CommandCompleted CreateFolder 1 0",
                   "CommandCompleted SetCurrentFolder 1 0", "CommandCompleted GetCurrentFolder 1 0",
                   "CommandCompleted SetCurrentFolder 1 0", "CommandCompleted Rename 1 0",
                   "CommandCompleted ChangeAttributes 1 0", "CommandCompleted Delete 1 0",
                   "CommandCompleted RemoveFolder 1 0", "CommandCompleted NoOp 1 0", "CommandCompleted Logout 1 0"}));
  EXPECT_EQ(client.Events->Matching("FolderReply"),
            (Lines{"FolderReply sub 2 1", "FolderReply /sub 1 1", "FolderReply /sub 0 1", "FolderReply / 1 1",
                   "FolderReply sub 3 1"}));
  EXPECT_TRUE(client.Events->Has("RenameSuccessful old.txt new.txt"));
  EXPECT_TRUE(client.Events->Has("DeleteSuccessful gone.txt"));
  EXPECT_TRUE(client.Events->Has("Disconnect"));
  EXPECT_TRUE(fs::exists(Server.RootFile("new.txt")));
  EXPECT_FALSE(fs::exists(Server.RootFile("old.txt")));
  EXPECT_FALSE(fs::exists(Server.RootFile("gone.txt")));
  EXPECT_FALSE(fs::exists(Server.RootFile("sub")));
  EXPECT_EQ(fs::status(Server.RootFile("new.txt")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

// A session whose PORT data connection went unused ends while a newer session is open, as a
// dropped preview connection does: the newer session still gets its replies.
TEST_F(RealServer, ANewerSessionOutlivesOneWhosePortConnectionWentUnused) {
  auto client = [&] { return std::make_unique<TClient>(Server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password); };
  auto first = client();
  first->Component->SetPassive(false);
  first->Login();
  first->Component->Download("", "/missing.txt", Home.File("missing.txt"), TTransferType::Binary);
  first->Component->NoOp();
  ASSERT_TRUE(PumpUntil([&] { return first->Events->Has("CommandCompleted NoOp 1 0"); }));
  auto newer = client();
  newer->Login();
  first.reset();  // without QUIT
  client()->Login();  // a few turns of the server's loop: the end of the first session is seen
  newer->Component->NoOp();
  EXPECT_TRUE(PumpUntil([&] { return newer->Events->Has("CommandCompleted NoOp 1 0"); }));
}

TEST_F(RealServer, WrongPasswordIsSentOnceWhateverTheAttemptLimit) {
  SetDebugTraceFile(Home.File("Debug.txt"));
  SetDebugTrace(true);
  for (int maxAttempts : {3, 0}) {
    SCOPED_TRACE(maxAttempts);
    EngineSettings().MaxAttempts = maxAttempts;
    TClient client(Server.Port(), TPyFtpServer::UserName, "Wr0ng-pass");
    client.Component->Login();
    ASSERT_TRUE(client.Events->WaitCompleted(1, std::chrono::seconds(30)));
    int sent = 0;
    for (const auto& line : client.Events->Log) {
      EXPECT_EQ(line.Message.find("Wr0ng-pass"), std::string::npos);
      if (line.Message == "PASS xxxxx") ++sent;
    }
    EXPECT_EQ(sent, 1);
    EXPECT_TRUE(client.Events->Has("CantLogIn"));
    EXPECT_TRUE(client.Component->LoginRefused());
    EXPECT_EQ(client.Component->LoginReply().rfind("530 ", 0), 0u) << client.Component->LoginReply();
    EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 0");
    EXPECT_FALSE(client.Component->LoggedIn());
  }
  SetDebugTrace(false);
  SetDebugTraceFile("");
  EXPECT_EQ(ReadFile(Home.File("Debug.txt")).find("Wr0ng-pass"), std::string::npos);
}

}  // namespace
}  // namespace ferrowin::test
